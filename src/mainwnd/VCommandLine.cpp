#include "mainwnd/VCommandLine.h"

#include "core_iface/VPreferences.h"
#include "mainwnd/CorvantileDlg.h"
#include "ui/NavigationKeys.h"
#include "ui/OwnerMessages.h"
#include "ui/ProgramTiming.h"

namespace {

bool controlDown() {
    return (GetKeyState(VK_CONTROL) & 0x8000) != 0;
}

} // namespace

bool VCommandLine::createList(CCorvantileDlg* owner) {
    if (m_list.m_hWnd)
        return false;
    m_owner = owner;
    return m_list.Create(owner, this);
}

void VCommandLine::setTextQuietly(const char* text) {
    m_quiet = true;
    SetWindowText(text);
    m_quiet = false;
}

void VCommandLine::stopDelay() {
    KillTimer(kDelayTimer);
}

void VCommandLine::followOwner() {
    if (!m_owner || !m_list.m_hWnd || !m_list.IsWindowVisible())
        return;
    CRect owner;
    m_owner->GetWindowRect(&owner);
    m_list.SetWindowPos(nullptr, owner.left, owner.bottom, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void VCommandLine::loadPrefs(VPreferencesNode* windowNode) {
    VPreferencesNode* node = windowNode ? windowNode->getChild("CommandLine") : nullptr;
    if (node)
        node->getParam("Delay", m_delay);
    m_list.loadPrefs(node);
}

void VCommandLine::savePrefs(VPreferencesNode* windowNode) {
    if (!windowNode)
        return;
    VPreferencesNode* node = VPreferencesNode::createInstance("CommandLine");
    node->setParam("Delay", m_delay);
    m_list.savePrefs(node);
    if (!windowNode->addChild(node))
        node->deleteThis();
}

BOOL VCommandLine::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        const WORD code = HIWORD(wParam);
        if (code == EN_CHANGE) {
            onTextChange();
            *result = 0;
            return TRUE;
        }
        if (code == EN_KILLFOCUS) {
            *result = 0;
            return TRUE;
        }
    }
    return CEdit::OnChildNotify(message, wParam, lParam, result);
}

void VCommandLine::onTextChange() {
    if (m_quiet || !m_owner)
        return;
    ProgramTiming::textEdited();
    if (m_owner->getMode() == SearchMode::FileBrowsing) {
        sendToOwner(WM_CL_TEXTCHANGED);
        return;
    }
    // A timer already running starts again from zero.
    SetTimer(kDelayTimer, static_cast<UINT>(m_delay > 0 ? m_delay : 0));
    // The results wait for the delay; the work to find them need not.
    if (m_delay > 0)
        m_owner->searchAhead();
}

void VCommandLine::OnTimer(UINT_PTR id) {
    CEdit::OnTimer(id);
    if (id != kDelayTimer)
        return;
    sendToOwner(WM_CL_TEXTCHANGED);
    KillTimer(kDelayTimer);
}

void VCommandLine::sendToOwner(UINT message) {
    if (m_owner && m_owner->m_hWnd)
        m_owner->SendMessage(message, 0, static_cast<LPARAM>(GetDlgCtrlID()));
}

bool VCommandLine::handleKey(UINT key) {
    if (!m_owner)
        return false;
    switch (key) {
    case VK_BACK: {
        const SearchMode mode = m_owner->getMode();
        if (mode == SearchMode::ActionChosen) {
            if (GetWindowTextLength() == 0)
                sendToOwner(WM_CL_CANCEL);
            return false;
        }
        if (mode == SearchMode::Searching) {
            if (controlDown()) {
                m_owner->reset(true);
                return true;
            }
            m_owner->reset(false);
        }
        return false;
    }
    case VK_TAB:
        if (!m_list.handleKey(key))
            sendToOwner(WM_CL_TAB);
        return true;
    case VK_RETURN:
        if (!m_list.handleKey(key))
            sendToOwner(WM_CL_RUN);
        return true;
    case VK_ESCAPE:
        if (!m_list.handleKey(key))
            sendToOwner(WM_CL_CANCEL);
        return true;
    case VK_LEFT:
    case VK_RIGHT:
        return m_list.handleKey(key);
    default:
        return isNavigationKey(key) && m_list.handleKey(key);
    }
}

BOOL VCommandLine::PreTranslateMessage(MSG* msg) {
    // Alt with one of the keys works like the key alone.
    if (msg->hwnd == m_hWnd && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN))
        return handleKey(static_cast<UINT>(msg->wParam)) ? TRUE : FALSE;
    return CEdit::PreTranslateMessage(msg);
}

void VCommandLine::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    if (handleKey(key))
        return;
    CEdit::OnKeyDown(key, repeat, flags);
}

UINT VCommandLine::OnGetDlgCode() {
    return DLGC_WANTALLKEYS;
}
