// A dialog with one notification-area (tray) icon: its tip, balloon and context menu, and the
// icon's mouse events turned into virtual operations. The icon goes when the window does.
//
// Once shown, the icon stays: a shell that (re)starts announces itself with "TaskbarCreated"
// and gets the icon again, and an icon the shell refuses (none running yet at logon) is offered
// again every few seconds until it is taken. A balloon is shown once, never again on a re-add.
#pragma once

#include "framework/CDialog.h"
#include "framework/CMenu.h"

#include <shellapi.h>

class CTrayDialog : public CDialog {
public:
    // The icon's callback message and id.
    static constexpr UINT kTrayNotify = WM_USER + 1;
    static constexpr UINT kTrayIconId = 1;

    explicit CTrayDialog(UINT templateId, CWnd* parent = nullptr);
    ~CTrayDialog() override;

    void TraySetIcon(HICON icon);
    // An icon resource of the program.
    void TraySetIcon(UINT iconId);
    void TraySetToolTip(const char* tip);
    // Adds the icon to the notification area; true when it is there. When the shell refuses
    // it, it is offered again on a timer until taken.
    bool TrayShow();
    // Removes the icon (and stops offering it); true when it is gone.
    bool TrayHide();
    // Shows the current icon and tip.
    bool TrayUpdate();
    bool TrayIsVisible() const { return m_visible; }
    // The tray menu: the first pop-up of a menu resource, with its default item's position.
    bool TraySetMenu(UINT menuId, UINT defaultPosition = 0);
    void TraySetMinimizeToTray(bool minimize) { m_minimizeToTray = minimize; }
    // A balloon at the icon; iconFlags is NIIF_INFO and the like. Without the icon in the tray
    // yet, the balloon comes with it when it is added.
    bool TrayShowBalloon(const char* title, const char* text, DWORD iconFlags, UINT seconds);

protected:
    // The icon's mouse events, with the cursor's screen position.
    virtual void OnTrayLButtonDown(CPoint point) {}
    virtual void OnTrayLButtonDblClk(CPoint point);
    virtual void OnTrayRButtonDown(CPoint point);
    virtual void OnTrayRButtonDblClk(CPoint point) {}
    virtual void OnTrayMouseMove(CPoint point) {}

    // Pops the tray menu up at a screen point.
    void TrayPopupMenu(CPoint point);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;
    void OnSysCommand(UINT id, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;

private:
    // Timer id of the icon's retries; the derived window's own timers use small numbers.
    static constexpr UINT_PTR kRetryTimer = 0x7E01;
    static constexpr UINT kRetryMilliseconds = 3000;

    bool notify(DWORD command);
    // Adds the icon if it is wanted and not there; starts or stops the retry timer.
    void addIcon();

    NOTIFYICONDATAW m_data{};
    bool m_minimizeToTray = true;
    bool m_visible = false;
    // TrayShow was called and TrayHide not since: the icon belongs in the tray.
    bool m_wanted = false;
    CMenu m_menu;
    UINT m_defaultPosition = 0;
};
