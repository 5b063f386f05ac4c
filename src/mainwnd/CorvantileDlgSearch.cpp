// The search flow: the edit box's text becomes a core search, an action to take an argument or
// a folder to list; the core's elements come back through the search gate into the list; every
// cancel ends in the same reset.
#include "core_iface/VCorvantileCore.h"
#include "mainwnd/CorvantileDlg.h"
#include "mainwnd/TypedCommand.h"
#include "resultlist/VFileBrowser.h"
#include "ui/ProgramTiming.h"

namespace {

bool isAsciiLetter(char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

// "c:\" and anything after it: a folder to list rather than a text to search.
bool isDrivePath(const CString& text) {
    return text.GetLength() >= 3 && isAsciiLetter(text.GetAt(0)) && text.GetAt(1) == ':' &&
           text.GetAt(2) == '\\';
}

// Restores the cursor it replaced with the wait cursor.
class WaitCursor {
public:
    WaitCursor() : m_previous(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(m_previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_previous;
};

} // namespace

void CCorvantileDlg::deliverElements(DWORD searchId, VElement** elements, int count, bool batch) {
    m_gate.deliver(searchId, elements, count, batch);
}

void CCorvantileDlg::addToList(VElement** elements, int count, bool batch) {
    if (batch)
        getList().addElements(elements, count);
    else
        for (int i = 0; i < count; ++i)
            getList().addElement(elements[i]);
}

void CCorvantileDlg::startSearch(const CString& text) {
    // Elements may come before startSeach returns with the id; the gate holds them till then.
    m_gate.beginStart();
    ProgramTiming::searchStarted();
    m_core->startSeach(text, m_searchId);
    m_gate.open(m_searchId);
}

void CCorvantileDlg::cancelRunningSearch() {
    m_gate.close();
    if (m_searchId != 0 && m_core)
        m_core->cancelSearch(m_searchId);
}

void CCorvantileDlg::onTextChanged() {
    if (!m_core)
        return;
    CString text;
    m_commandLine.GetWindowText(text);
    switch (m_mode) {
    case SearchMode::ActionChosen:
        return; // the text is the action's argument
    case SearchMode::Searching:
    case SearchMode::FileBrowsing:
        reset(false);
        break;
    case SearchMode::Idle:
        break;
    }
    if (text.IsEmpty()) {
        m_mode = SearchMode::Idle;
        return;
    }
    if (isDrivePath(text)) {
        m_mode = SearchMode::FileBrowsing;
        m_fileBrowser->browse(text);
        return;
    }

    TypedCommand typed;
    if (VAction* action = typedAction(text, typed)) {
        setCurrentAction(action);
        getList().clear(!m_alwaysShowList);
        m_commandLine.setTextQuietly(typed.argument);
        const int end = static_cast<int>(m_commandLine.GetWindowTextLength());
        m_commandLine.SetSel(end, end);
        m_mode = SearchMode::ActionChosen;
        return;
    }

    m_mode = SearchMode::Searching;
    startSearch(text);
}

VAction* CCorvantileDlg::typedAction(const CString& text, TypedCommand& typed) {
    // Without matching after a space, the whole text names the action and it takes no text.
    typed = splitAtFirstBlank(text);
    if (!m_matchActionsAfterSpace || !typed.hasBlank)
        typed = {text, CString(), false};
    return findAction(*m_core, typed.name, typed.hasBlank);
}

void CCorvantileDlg::searchAhead() {
    if (!m_core || (m_mode != SearchMode::Idle && m_mode != SearchMode::Searching))
        return;
    CString text;
    m_commandLine.GetWindowText(text);
    TypedCommand typed;
    if (text.IsEmpty() || isDrivePath(text) || typedAction(text, typed))
        return;
    m_core->searchAhead(text);
}

void CCorvantileDlg::reset(bool clearText) {
    CString remembered;
    m_commandLine.GetWindowText(remembered);
    cancelRunningSearch();
    if (m_fileBrowser)
        m_fileBrowser->cancel();

    VElementListCtrl& list = getList();
    const bool listVisible = list.m_hWnd && list.IsWindowVisible();
    const bool hideAll = m_autoHide && remembered.IsEmpty();
    if (listVisible && m_alwaysShowList) {
        if (!remembered.IsEmpty()) {
            if (clearText)
                m_commandLine.setTextQuietly("");
            list.clear(false);
            m_commandLine.SetFocus();
        } else if (m_autoHide) {
            hideWindows();
        }
    } else if (listVisible) {
        if (clearText)
            m_commandLine.setTextQuietly("");
        list.clear(true);
        m_commandLine.SetFocus();
        if (hideAll)
            hideWindows();
    } else {
        if (clearText)
            m_commandLine.setTextQuietly("");
        list.clear(!m_alwaysShowList);
        if (hideAll)
            hideWindows();
    }
    m_mode = SearchMode::Idle;
}

void CCorvantileDlg::onCancelRequest() {
    if (m_mode != SearchMode::ActionChosen) {
        reset(true);
        return;
    }
    // Escape in an action's argument: first the argument goes, then the action.
    if (m_commandLine.GetWindowTextLength() == 0) {
        setCurrentAction(nullptr);
        m_mode = SearchMode::Idle;
    } else {
        m_commandLine.setTextQuietly("");
    }
}

void CCorvantileDlg::onUpdateCache() {
    if (!m_core)
        return;
    WaitCursor wait;
    if (m_core->busy != 0)
        return;
    showWindows();
    m_commandLine.setTextQuietly("Updating cache...");
    m_commandLine.RedrawWindow();
    m_commandLine.HideCaret();
    m_core->updateCache();
    m_commandLine.setTextQuietly("");
    m_commandLine.RedrawWindow();
    m_commandLine.ShowCaret();
}
