// A property sheet whose pages are listed in a tree down its left side, with OK and Cancel.
//
// A page's window is made the first time the page is shown; leaving a page (for another one,
// or for OK) asks it first (OnKillActive, which takes its values in and may refuse). OK then
// gives every page that was made its OnOK, and ends the sheet; Cancel ends it and no page
// writes anything.
#pragma once

#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "framework/CDialog.h"

class CBCGPPropertyPage : public CDialog {
public:
    // The caption comes from the page's dialog resource when captionId is 0.
    explicit CBCGPPropertyPage(UINT templateId, UINT captionId = 0);

    UINT GetTemplateId() const { return m_pageTemplateId; }
    CString GetCaption() const;

    // Shown: TRUE lets it show.
    virtual BOOL OnSetActive() { return TRUE; }
    // Being left: takes the values in (UpdateData); FALSE keeps the page in front.
    virtual BOOL OnKillActive() { return UpdateData(TRUE); }
    // OK of the sheet, for a page that was shown: writes the page's values to their owners.
    void OnOK() override {}
    void OnCancel() override {}

private:
    UINT m_pageTemplateId;
    UINT m_captionId;
};

class CBCGPPropertySheet : public CDialog {
public:
    enum { PropSheetLook_Tree = 2 };

    CBCGPPropertySheet(const char* caption, CWnd* parent = nullptr, UINT selectPage = 0);

    // Only the tree look is drawn; the width is that of the tree, in pixels.
    void SetLook(int look, int navigationWidth = 100);
    // Adds a page as a top-level entry of the tree (no categories, no images).
    void AddPageToTree(void* category, CBCGPPropertyPage* page, int image = -1,
                       int selectedImage = -1);

    INT_PTR DoModal() override;

    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CBCGPPropertyPage* GetActivePage() const;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    bool ShowPage(int index);
    void Layout(const CRect& page);

    CString m_caption;
    std::vector<CBCGPPropertyPage*> m_pages;
    std::vector<HTREEITEM> m_items;
    int m_firstPage;
    int m_active = -1;
    int m_navigationWidth = 100;
    HWND m_tree = nullptr;
    bool m_selecting = false; // the sheet itself moves the tree's selection
    std::vector<WORD> m_template;
};
