// The search bar while the index is being rebuilt: the tray tip says how far it has come, and
// so does the edit box while it is empty; what the core has to tell the user comes as a balloon.
#include <windows.h>

#include <commctrl.h>

#include "core_iface/VCorvantileCore.h"
#include "mainwnd/CorvantileDlg.h"
#include "ui/ProgramEvents.h"

void CCorvantileDlg::showIndexingStatus() {
    const CString status = m_core->indexingStatus();
    if (status != m_indexingStatus) {
        if (m_indexingStatus.IsEmpty())
            ProgramEvents::record("The index is being rebuilt.");
        else if (status.IsEmpty())
            ProgramEvents::record("The index has been rebuilt.");
        m_indexingStatus = status;
        TraySetToolTip(status.IsEmpty() ? "Corvantile" : status.GetString());
        TrayUpdate();
        const HWND edit = m_commandLine.GetSafeHwnd();
        if (edit)
            ::SendMessageW(edit, EM_SETCUEBANNER, TRUE,
                           reinterpret_cast<LPARAM>(status.W().c_str()));
    }
    for (CString notice = m_core->takeNotice(); !notice.IsEmpty(); notice = m_core->takeNotice()) {
        ProgramEvents::record(notice.GetString());
        showTrayBalloon(notice.GetString());
    }
}
