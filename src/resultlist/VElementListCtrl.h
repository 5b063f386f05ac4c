// The results list: an owner-drawn window that hangs below the search bar and shows the
// elements of the current search, one or two lines of text per row, with icons.
//
// Threads. The core's threads append through addElement and addElements while they hold the
// list's writer lock, and never wait for the window thread: the window work that follows (fit,
// show, select, scroll, repaint) is noted under the lock and done on the window thread, at
// once when the add runs there, otherwise through a message posted to the list's own window.
// The window thread reads under the reader lock (painting, sizing) and changes the elements,
// the selection and the scroll state under the writer lock. The lock lets its writer read.
//
// Ownership. Results (element type 1) belong to the list from the moment they are added and
// are freed at the next clear; other elements are borrowed from the core.
#pragma once

#include <atomic>
#include <memory>

#include "core_iface/VElement.h"
#include "core_iface/VReaderWriterLock.h"
#include "framework/CArray.h"
#include "framework/CGdiObject.h"
#include "framework/CScrollBar.h"
#include "framework/GuiFontAtDpi.h"
#include "framework/Win32Handles.h"
#include "ui/ElementListLayout.h"
#include "ui/VPopupWnd.h"

class CDC;
class VActionListCtrl;
class VElementListOwner;
class VPreferencesNode;

class VElementListCtrl : public VPopupWnd {
public:
    VElementListCtrl();
    ~VElementListCtrl() override;

    // Creates the (hidden) window below commandLine, placed under owner's window later on; the
    // owner's window may implement VElementListOwner. False, and nothing changed, when the
    // window exists already.
    bool Create(CWnd* owner, CWnd* commandLine);

    // Reads the "List" child of the edit box's node (null: defaults), then sets the row height.
    void loadPrefs(VPreferencesNode* commandLineNode);
    // Adds a "List" node with the current options under the edit box's node.
    void savePrefs(VPreferencesNode* commandLineNode);
    void setTwoLines(bool twoLines);
    // The user's choice, also while a folder listing shows its rows on one line.
    bool isTwoLines() const { return m_twoLinesSuspended ? m_savedTwoLines : m_twoLines; }
    void setShowIcons(bool showIcons) { m_showIcons = showIcons; }
    bool isShowIcons() const { return m_showIcons; }

    // Frees the results, forgets every element and, with hide, hides the window. Window thread.
    void clear(bool hide);
    // Appends one element; any thread.
    void addElement(VElement* element);
    // Appends a batch; any thread. Selects the first row when nothing was selected.
    void addElements(VElement** elements, int count);
    // Appends a folder listing (window thread), shown in one-line rows until the next clear.
    void addFileResults(VFileResult** results, int count);

    // Offers a key of the edit box to the list; true when the list used it up.
    bool handleKey(UINT key);
    // Moves the selection for a navigation key (Down and Up pass through "no selection").
    int moveSelection(UINT key);
    // The element under a client point, or -1.
    int hitTest(POINT point) const;
    // Opens the action chooser beside the selected row, when the row is in view.
    void openActions();
    // Moves the open action chooser beside the selected row again.
    void moveActions();
    VActionListCtrl* getActionList() const { return m_actionList.get(); }
    // Takes a monitor's DPI: rows and icons at its sizes, and font (null: the one it has).
    void setDpi(UINT dpi, HFONT font);
    UINT getDpi() const { return m_dpi; }
    // Sizes the window to its rows (up to 20, or the height the user gave it) and places it
    // directly below the owner's window, as wide as it.
    void fitToContents();
    // Has the fonts and icons of the rows made and loaded off screen, so that the first paint
    // of results does not wait for them; for an idle moment after start-up.
    void prepareToPaint();
    // Scrolls so that the element at index is in view.
    void ensureVisible(int index);
    // The path of the entry to select when a later listing brings it.
    void setReselectPath(const CString& path);

    int getCount() const;
    int getSelection() const;
    // The selected element, read under the lock; null when nothing is selected.
    VElement* getSelectedElement() const;
    VElement* getElement(int index) const;
    int getTopRow() const { return m_topRow; }
    int getVisibleRows() const { return m_visibleRows; }
    int getRowHeight() const { return m_rowHeight; }
    // SM_CYVSCROLL while the scroll bar shows, else 0.
    int scrollBarWidth() const;
    bool isScrollBarVisible() const { return scrollBarWidth() != 0; }

    // Paints the list into dc as WM_PAINT paints it into the window.
    void paint(CDC& dc);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnGetMinMaxInfo(MINMAXINFO* info) override;
    void OnWindowPosChanging(WINDOWPOS* pos) override;
    void OnWindowPosChanged(WINDOWPOS* pos) override;
    LRESULT OnNcHitTest(CPoint point) override;
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;
    void OnDestroy() override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnVScroll(UINT code, UINT pos, CWnd* scrollBar) override;

private:
    // Has the paint buffer at this size; false when it cannot be made.
    bool keepPaintBuffer(CDC& dc, CSize size);
    // Window work noted by the add operations, done on the window thread.
    struct PendingWork {
        bool show = false;         // fit, show and repaint
        bool selectFirst = false;  // a batch arrived: select row 0 when nothing is selected
        int reselect = -1;         // a batch brought the entry to select again
        int scrollTo = -1;         // a single element was selected again: bring it into view
        bool closeActions = false; // the selection was set anew: the chooser goes
    };

    bool matchesReselectPath(VElement* element) const;
    void appendLocked(VElement* element);
    // Does the pending window work now on the window thread, or posts it there.
    void scheduleWindowWork();
    void doWindowWork();
    void setRowHeightFromMode();
    void loadArrowIcon();
    // Icon sizes and border at the list's DPI.
    elementlist::Metrics metrics() const { return elementlist::Metrics::forDpi(m_dpi); }
    void updateVisibleRows();
    void updateScrollRange();
    void layoutScrollBar();
    // Minimum height for a scroll bar with both arrows and its thumb.
    static int scrollBarMinimumHeight();
    CRect gripRect() const;
    // The selected row in screen coordinates; false when it lies outside the client area and
    // mustBeVisible holds.
    bool selectedRowOnScreen(RECT* rect, bool mustBeVisible) const;
    bool isActionListOpen() const;
    void goToParentFolder();
    // Puts text into the edit box, caret at the end, as if typed.
    void setCommandLineText(const CString& text);
    // Draws the size grip in the client's bottom-right corner; returns the square it fills.
    CRect drawGrip(CDC& dc, const CRect& client);

    CWnd* m_owner = nullptr;
    const VElementListOwner* m_ownerState = nullptr; // m_owner's answers, when it gives them
    std::unique_ptr<VActionListCtrl> m_actionList;
    CArray<VElement*, VElement* const&> m_elements;
    int m_selection = -1;
    int m_visibleRows = 0;
    int m_topRow = 0;
    CWnd* m_commandLine = nullptr;
    CRect m_clientRect;
    CRect m_userRect;
    CScrollBar m_scrollBar;
    int m_rowHeight = 0;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    IconHandle m_moreIcon; // at the icon size of m_dpi
    GuiFontAtDpi m_rowFont;
    CBitmap m_paintBuffer; // the off-screen picture of the client area, as large as it is
    mutable VReaderWriterLock m_lock;
    bool m_fitting = false;
    bool m_ignoreNextMouseMove = false;
    bool m_showIcons = true;
    bool m_twoLines = true;
    bool m_twoLinesSuspended = false;
    bool m_savedTwoLines = true;
    CString m_reselectPath;

    PendingWork m_pending; // guarded by m_lock
    DWORD m_windowThread = 0;
    std::atomic<HWND> m_postTarget{nullptr};
    std::atomic<bool> m_workPosted{false};
};
