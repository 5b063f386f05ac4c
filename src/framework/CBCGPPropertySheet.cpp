#include "framework/CBCGPPropertySheet.h"

#include <algorithm>
#include <tuple>

#include "framework/AfxWin.h"

namespace {

// Skips a menu or class field of a dialog template: none, an ordinal or a string.
const WORD* SkipNameOrOrdinal(const WORD* at) {
    if (*at == 0)
        return at + 1;
    if (*at == 0xFFFF)
        return at + 2;
    while (*at != 0)
        ++at;
    return at + 1;
}

// The caption of a dialog resource, or empty.
CString TemplateCaption(UINT templateId) {
    const HINSTANCE instance = AfxGetResourceHandle();
    const LPCWSTR dialogType = MAKEINTRESOURCEW(5); // RT_DIALOG, which is narrow here
    const HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(templateId), dialogType);
    const HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
    const auto* words = loaded ? static_cast<const WORD*>(::LockResource(loaded)) : nullptr;
    if (!words)
        return {};
    // An extended template begins with version 1 and signature 0xFFFF.
    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    const WORD* at = words + (extended ? 13 : 9);
    at = SkipNameOrOrdinal(SkipNameOrOrdinal(at));
    return CString(reinterpret_cast<const wchar_t*>(at));
}

void AppendText(std::vector<WORD>& out, const wchar_t* text) {
    do
        out.push_back(static_cast<WORD>(*text));
    while (*text++ != 0);
}

} // namespace

CBCGPPropertyPage::CBCGPPropertyPage(UINT templateId, UINT captionId)
    : CDialog(templateId), m_pageTemplateId(templateId), m_captionId(captionId) {}

CString CBCGPPropertyPage::GetCaption() const {
    CString caption;
    if (m_captionId != 0 && caption.LoadString(m_captionId))
        return caption;
    return TemplateCaption(m_pageTemplateId);
}

CBCGPPropertySheet::CBCGPPropertySheet(const char* caption, CWnd* parent, UINT selectPage)
    : CDialog(0, parent), m_caption(caption), m_firstPage(static_cast<int>(selectPage)) {}

void CBCGPPropertySheet::SetLook(int, int navigationWidth) {
    m_navigationWidth = navigationWidth;
}

void CBCGPPropertySheet::AddPageToTree(void*, CBCGPPropertyPage* page, int, int) {
    m_pages.push_back(page);
}

INT_PTR CBCGPPropertySheet::DoModal() {
    if (m_pages.empty())
        return -1;
    // An empty captioned frame in the dialog font; OnInitDialog fills and sizes it.
    m_template.assign(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(m_template.data());
    header->style = DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS | WS_POPUP | WS_CAPTION | WS_SYSMENU |
                    WS_CLIPCHILDREN;
    header->dwExtendedStyle = WS_EX_CONTROLPARENT;
    m_template.push_back(0); // no menu
    m_template.push_back(0); // the standard dialog class
    AppendText(m_template, m_caption.W().c_str());
    m_template.push_back(8);
    AppendText(m_template, L"MS Shell Dlg");
    InitModalIndirect(reinterpret_cast<LPCDLGTEMPLATE>(m_template.data()), m_pParentWnd);
    m_active = -1;
    return CDialog::DoModal();
}

BOOL CBCGPPropertySheet::OnInitDialog() {
    CDialog::OnInitDialog();
    const auto font = static_cast<WPARAM>(SendMessage(WM_GETFONT));
    m_tree = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_SHOWSELALWAYS |
                                   TVS_FULLROWSELECT | TVS_DISABLEDRAGDROP,
                               0, 0, 0, 0, m_hWnd, nullptr, AfxGetInstanceHandle(), nullptr);
    ::SendMessageW(m_tree, WM_SETFONT, font, FALSE);
    m_items.clear();
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        const std::wstring caption = m_pages[i]->GetCaption().W();
        TVINSERTSTRUCTW insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = const_cast<wchar_t*>(caption.c_str());
        insert.item.lParam = static_cast<LPARAM>(i);
        m_items.push_back(reinterpret_cast<HTREEITEM>(
            ::SendMessageW(m_tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert))));
    }
    for (const auto& [id, text, style] : {std::tuple{IDOK, L"OK", BS_DEFPUSHBUTTON},
                                          std::tuple{IDCANCEL, L"Cancel", BS_PUSHBUTTON}}) {
        const HWND button = ::CreateWindowExW(
            0, L"Button", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 0, 0, 0, m_hWnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), AfxGetInstanceHandle(), nullptr);
        ::SendMessageW(button, WM_SETFONT, font, FALSE);
    }
    const int first = m_firstPage < GetPageCount() ? m_firstPage : 0;
    if (!ShowPage(first))
        return TRUE;
    CRect page;
    m_pages[first]->GetWindowRect(&page);
    Layout(CRect(0, 0, page.Width(), page.Height()));
    m_selecting = true;
    ::SendMessageW(m_tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(m_items[first]));
    m_selecting = false;
    return TRUE;
}

// Tree on the left, the pages beside it, OK and Cancel under them on the right.
void CBCGPPropertySheet::Layout(const CRect& pageSize) {
    CRect units(7, 7, 50, 14);
    ::MapDialogRect(m_hWnd, &units);
    const int margin = units.left;
    const int buttonWidth = units.right, buttonHeight = units.bottom;
    const int pageLeft = margin + m_navigationWidth + margin;
    ::MoveWindow(m_tree, margin, margin, m_navigationWidth, pageSize.Height(), FALSE);
    for (CBCGPPropertyPage* page : m_pages)
        if (page->m_hWnd)
            page->SetWindowPos(nullptr, pageLeft, margin, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int width = pageLeft + pageSize.Width() + margin;
    const int buttonsTop = margin + pageSize.Height() + margin;
    ::MoveWindow(::GetDlgItem(m_hWnd, IDCANCEL), width - margin - buttonWidth, buttonsTop,
                 buttonWidth, buttonHeight, FALSE);
    ::MoveWindow(::GetDlgItem(m_hWnd, IDOK), width - 2 * (margin + buttonWidth) + margin / 2,
                 buttonsTop, buttonWidth, buttonHeight, FALSE);
    CRect frame(0, 0, width, buttonsTop + buttonHeight + margin);
    ::AdjustWindowRectEx(&frame, GetStyle(), FALSE, ::GetWindowLongW(m_hWnd, GWL_EXSTYLE));
    // Centred over the owner, or the screen.
    CRect over;
    const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && ::IsWindowVisible(owner))
        ::GetWindowRect(owner, &over);
    else
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
    const int x = std::max<int>(over.left + (over.Width() - frame.Width()) / 2, 0);
    const int y = std::max<int>(over.top + (over.Height() - frame.Height()) / 2, 0);
    SetWindowPos(nullptr, x, y, frame.Width(), frame.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

CBCGPPropertyPage* CBCGPPropertySheet::GetActivePage() const {
    return m_active >= 0 ? m_pages[m_active] : nullptr;
}

bool CBCGPPropertySheet::ShowPage(int index) {
    CBCGPPropertyPage* page = m_pages[index];
    if (!page->m_hWnd) {
        if (!page->Create(page->GetTemplateId(), this))
            return false;
        // A page is a plain child of the sheet, whatever frame its template asks for.
        page->ModifyStyle(WS_CAPTION | WS_POPUP | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME,
                          WS_CHILD, SWP_FRAMECHANGED);
        page->ModifyStyleEx(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, WS_EX_CONTROLPARENT,
                            SWP_FRAMECHANGED);
        // Tab goes from the tree into the page, then to OK and Cancel.
        ::SetWindowPos(page->m_hWnd, m_tree, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (m_active >= 0) {
            CRect at;
            m_pages[m_active]->GetWindowRect(&at);
            ScreenToClient(&at);
            page->SetWindowPos(nullptr, at.left, at.top, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (!page->OnSetActive())
        return false;
    if (m_active >= 0 && m_active != index)
        m_pages[m_active]->ShowWindow(SW_HIDE);
    page->ShowWindow(SW_SHOW);
    m_active = index;
    return true;
}

BOOL CBCGPPropertySheet::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom != m_tree || m_selecting)
        return CDialog::OnNotify(wParam, lParam, result);
    const auto* change = reinterpret_cast<const NMTREEVIEWW*>(lParam);
    if (header->code == TVN_SELCHANGINGW) {
        // A page that refuses to be left keeps the selection where it is.
        const int to = static_cast<int>(change->itemNew.lParam);
        *result = to != m_active && m_active >= 0 && !m_pages[m_active]->OnKillActive();
        return TRUE;
    }
    if (header->code == TVN_SELCHANGEDW) {
        ShowPage(static_cast<int>(change->itemNew.lParam));
        *result = 0;
        return TRUE;
    }
    return CDialog::OnNotify(wParam, lParam, result);
}

void CBCGPPropertySheet::OnOK() {
    if (CBCGPPropertyPage* active = GetActivePage(); active && !active->OnKillActive())
        return;
    for (CBCGPPropertyPage* page : m_pages)
        if (page->m_hWnd)
            page->OnOK();
    EndDialog(IDOK);
}

void CBCGPPropertySheet::OnCancel() {
    EndDialog(IDCANCEL);
}
