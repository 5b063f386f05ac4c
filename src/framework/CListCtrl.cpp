#include "framework/CListCtrl.h"

BOOL CImageList::Create(int width, int height, UINT flags, int initial, int grow) {
    DeleteImageList();
    m_handle = ImageList_Create(width, height, flags, initial, grow);
    return m_handle != nullptr;
}

void CImageList::DeleteImageList() {
    if (m_handle)
        ImageList_Destroy(m_handle);
    m_handle = nullptr;
}

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width) {
    std::wstring text = CString(heading).W();
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    info.fmt = format;
    info.pszText = text.data();
    info.cx = width;
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                                        reinterpret_cast<LPARAM>(&info)));
}

int CListCtrl::InsertItem(int row, const CString& text, int image) {
    std::wstring wide = text.W();
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row;
    item.iImage = image;
    item.pszText = wide.data();
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemText(int row, int column, const CString& text) {
    std::wstring wide = text.W();
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemData(int row, DWORD_PTR data) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = static_cast<LPARAM>(data);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

DWORD_PTR CListCtrl::GetItemData(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return static_cast<DWORD_PTR>(item.lParam);
}

int CListCtrl::FindItemData(DWORD_PTR data) const {
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = static_cast<LPARAM>(data);
    return static_cast<int>(
        SendMessage(LVM_FINDITEMW, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
}
