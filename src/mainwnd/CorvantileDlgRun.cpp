// Running what the user chose: Enter in the edit box (through the shell, or an action with its
// argument), an element chosen in the results list, an action or a property chosen in the
// choosers. Every failure beeps and says nothing more.
#include "core_iface/VCorvantileCore.h"
#include "mainwnd/CorvantileDlg.h"
#include "mainwnd/TypedCommand.h"
#include "resultlist/VFileBrowser.h"

#include <shellapi.h>

namespace {

void beep() {
    MessageBeep(MB_ICONASTERISK);
}

// True when the shell took the text (a program, document, folder or address).
bool openWithShell(HWND owner, const CString& text) {
    const auto code = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, nullptr, text.W().c_str(), nullptr, nullptr, SW_SHOWDEFAULT));
    return code > 32;
}

} // namespace

void CCorvantileDlg::emptyAndHide() {
    m_commandLine.setTextQuietly("");
    if (m_autoHide)
        hideWindows();
}

void CCorvantileDlg::finishRun() {
    getList().clear(!m_alwaysShowList);
    emptyAndHide();
    m_mode = SearchMode::Idle;
}

void CCorvantileDlg::onRun() {
    if (!m_core)
        return;
    m_commandLine.stopDelay();
    CString text;
    m_commandLine.GetWindowText(text);
    const TypedCommand typed = splitAtFirstBlank(text);

    switch (m_mode) {
    case SearchMode::Idle: {
        VAction* action = findAction(*m_core, typed.name, typed.hasBlank);
        if (!action) {
            CString trimmed = text;
            trimmed.Trim();
            if (openWithShell(m_hWnd, trimmed)) {
                emptyAndHide();
            } else {
                // Not something to open: search for it at once instead of after the delay.
                m_mode = SearchMode::Searching;
                startSearch(trimmed);
            }
        } else if (typed.argument.IsEmpty()) {
            m_mode = SearchMode::ActionChosen;
            setCurrentAction(action);
            m_commandLine.setTextQuietly("");
        } else if (action->runWithText(typed.argument)) {
            emptyAndHide();
        } else {
            beep();
        }
        break;
    }
    case SearchMode::Searching:
    case SearchMode::FileBrowsing:
        // A refused text stays with its search for correction.
        if (!openWithShell(m_hWnd, text)) {
            beep();
            break;
        }
        cancelRunningSearch();
        if (m_fileBrowser)
            m_fileBrowser->cancel();
        finishRun();
        break;
    case SearchMode::ActionChosen:
        if (!m_currentAction || !m_currentAction->runWithText(text)) {
            beep(); // the argument stays for correction
            break;
        }
        setCurrentAction(nullptr);
        emptyAndHide();
        m_mode = SearchMode::Idle;
        break;
    }
}

void CCorvantileDlg::onElementChosen(VElement* element) {
    cancelRunningSearch();
    m_commandLine.stopDelay();
    CString text;
    m_commandLine.GetWindowText(text);

    if (auto* result = dynamic_cast<VResult*>(element)) {
        VProperty* property = result->getDefaultProperty();
        VAction* action = property && m_core ? m_core->getDefaultAction(property->type) : nullptr;
        if (!action || !action->run(result, property, text))
            beep();
    } else if (auto* action = dynamic_cast<VAction*>(element)) {
        const TypedCommand typed = splitAtFirstBlank(text);
        if (!typed.hasBlank) {
            setCurrentAction(action);
            getList().clear(!m_alwaysShowList);
            m_commandLine.setTextQuietly("");
            m_mode = SearchMode::ActionChosen;
            return;
        }
        if (!action->runWithText(typed.argument))
            beep();
    }
    finishRun();
}

LRESULT CCorvantileDlg::onActionChosen(VAction* action, VProperty* property) {
    cancelRunningSearch();
    m_commandLine.stopDelay();
    // The choosers open only beside a selected result; without one there is nothing to run on.
    auto* result = dynamic_cast<VResult*>(getList().getSelectedElement());
    CString text;
    m_commandLine.GetWindowText(text);
    if (!action || !result || !action->run(result, property, text)) {
        beep();
        return 1;
    }
    finishRun();
    return 0;
}
