// The settings that the Preferences pages load from the window that opens them and write back
// to it on OK. A setter takes effect at once (a hot-key is registered, an auto-hiding bar hides).
#pragma once

class VElementListCtrl;

class PrefsOwner {
public:
    virtual bool isStartWithWindows() const = 0;
    virtual void setStartWithWindows(bool on) = 0;
    virtual bool isQuickLaunchIcon() const = 0;
    virtual void setQuickLaunchIcon(bool on) = 0;
    virtual bool isAutoHide() const = 0;
    virtual void setAutoHide(bool on) = 0;
    virtual bool isAlwaysShowList() const = 0;
    virtual void setAlwaysShowList(bool on) = 0;
    virtual bool isCheckForUpdates() const = 0;
    virtual void setCheckForUpdates(bool on) = 0;
    virtual bool isMatchActionsAfterSpace() const = 0;
    virtual void setMatchActionsAfterSpace(bool on) = 0;
    // The activation hot-key: a virtual-key code and its MOD_ bits.
    virtual unsigned getHotKey() const = 0;
    virtual unsigned getHotKeyModifier() const = 0;
    // False when the system refuses the new key: the one before stays.
    virtual bool setHotKey(unsigned key, unsigned modifier) = 0;
    // How long typing must pause before a search starts, in milliseconds.
    virtual int getTypingDelay() const = 0;
    virtual void setTypingDelay(int milliseconds) = 0;
    // The results list, whose row options (icons, two lines) the General page sets.
    virtual VElementListCtrl& getList() = 0;

protected:
    ~PrefsOwner() = default;
};
