// A list view in report mode, and an image list that frees its images: the parts the
// Preferences' lists use. Texts are UTF-8.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/CWnd.h"

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    BOOL Create(int width, int height, UINT flags, int initial, int grow);
    // The index of the added icon, or -1.
    int Add(HICON icon) { return m_handle ? ImageList_AddIcon(m_handle, icon) : -1; }
    void DeleteImageList();
    operator HIMAGELIST() const { return m_handle; }

private:
    HIMAGELIST m_handle = nullptr;
};

class CListCtrl : public CWnd {
public:
    void SetExtendedStyle(DWORD style) {
        SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, style, static_cast<LPARAM>(style));
    }
    int InsertColumn(int column, const char* heading, int format, int width);
    // Inserts a row with its text and image (-1: none); returns its index or -1.
    int InsertItem(int row, const CString& text, int image);
    BOOL SetItemText(int row, int column, const CString& text);
    BOOL SetItemData(int row, DWORD_PTR data);
    DWORD_PTR GetItemData(int row) const;
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    // The first selected row after `after` (-1: from the start), or -1.
    int GetNextSelected(int after = -1) const {
        return static_cast<int>(SendMessage(LVM_GETNEXTITEM, WPARAM(after), LVNI_SELECTED));
    }
    // The row whose item data is data, or -1.
    int FindItemData(DWORD_PTR data) const;
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    // The list does not own the image list (the template's LVS_SHAREIMAGELISTS).
    void SetSmallImageList(HIMAGELIST images) {
        SendMessage(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    }
};
