// The search core: one object for the whole program, from VCorvantileCore::instance().
//
// startUp makes the plug-ins and actions and loads the index cache; loadPrefs applies the
// saved settings and refreshes the index in the background. startSeach returns at once; the
// elements of the search reach the registered listeners on the core's worker threads, results
// through the result listeners (in batches, best first) and matching actions through the
// action listeners. shutDown stops everything; deleteThis frees the object (a later instance()
// makes a new one).
#pragma once

#include <atomic>
#include <memory>

#include <windows.h>

#include "core_iface/VElement.h"
#include "core_iface/VListener.h"
#include "core_iface/VPlugin.h"
#include "framework/CGdiObject.h"
#include "framework/CString.h"

class VPreferencesNode;

class VCorvantileCore {
public:
    static VCorvantileCore* instance();

    VCorvantileCore(const VCorvantileCore&) = delete;
    VCorvantileCore& operator=(const VCorvantileCore&) = delete;

    // Makes the plug-ins and actions and loads the index cache; the first search may follow.
    void startUp();
    // Cancels every search, waits for the background work and saves the usage data's cache.
    void shutDown();
    // Frees the core; instance() makes a new one afterwards.
    void deleteThis();

    // Applies the core's settings found under root (null: defaults) and refreshes the index in
    // the background.
    void loadPrefs(VPreferencesNode* root);
    // Adds the core's nodes under root, replacing any of the same names.
    void savePrefs(VPreferencesNode* root);

    void registerResultListener(VResultListener* listener);
    // After this returns, the listener is no longer called and may be freed.
    void unregisterResultListener(VResultListener* listener);
    void registerActionListener(VActionListener* listener);
    void unregisterActionListener(VActionListener* listener);

    // Starts a search for text and fills searchId with its id (never 0). Returns at once.
    // A text shorter than minSearchChars (blanks not counted) finds nothing.
    void startSeach(const CString& text, DWORD& searchId);
    // Runs the search for text now without reporting it, so that startSeach with the same
    // text soon after reports at once what it found. Returns at once.
    void searchAhead(const CString& text);
    // Stops a search: no element of it reaches a listener after this returns, unless it was
    // being handed over at that moment. Never waits.
    void cancelSearch(DWORD searchId);

    // With exact set: the action whose shortcut is name (case-sensitive); otherwise the action
    // whose name is name, ignoring case. Null when there is none.
    VAction* getAction(const CString& name, bool exact);
    int getNumActions() const;
    VAction* getAction(int index) const;
    // The action that runs when a result whose default property has this type is chosen.
    VAction* getDefaultAction(PropertyType type) const;
    CString getShortcut(VAction* action) const;
    // Gives the action this shortcut (empty: none), taking it from any action that had it.
    void setShortcut(const CString& shortcut, VAction* action);

    void getFont(LOGFONTA* logFont) const;
    void getFont1(LOGFONTA* logFont) const;
    void getFont2(LOGFONTA* logFont) const;
    // Each set changes the role's CFont field at once.
    void setFont(const LOGFONTA* logFont);
    void setFont1(const LOGFONTA* logFont);
    void setFont2(const LOGFONTA* logFont);

    // Real-time searching walks the sources for every query instead of using the index.
    void setLiveSearching(bool live);
    // Rebuilds the index from every plug-in and saves the cache; returns when done.
    void updateCache();
    // While the index is being rebuilt, "Indexing… 412,000 files"; otherwise empty.
    CString indexingStatus() const;
    // The oldest thing the core has to tell the user once (a limit reached ...), taken off its
    // queue; empty when there is none. The front end shows it and records it.
    CString takeNotice();

    // Records that a result was chosen, so that it ranks higher for its query next time.
    // The actions call it when they run on a result.
    void recordChoice(VResult* result);

    // For tests and special builds; call before startUp.
    // Adds a plug-in (the core takes it over), or an action.
    void registerPlugin(std::unique_ptr<VPlugin> plugin);
    void registerAction(std::unique_ptr<VAction> action);
    // Whether startUp makes the built-in plug-ins (on by default).
    void setBuiltInPlugins(bool enabled);
    // The folder of the index cache (default: programFolder).
    void setCacheFolder(const CString& folder);
    // Whether loadPrefs refreshes the index in the background (on by default).
    void setBackgroundRefresh(bool enabled);

    VPluginManager* pluginManager = nullptr;
    CString programPath;   // the running program's file
    CString programFolder; // its folder, ending in a backslash
    // Nonzero while the index is being rebuilt: no cache update can start then.
    std::atomic<long> busy{0};

    int minSearchChars = 1;
    bool caseSensitive = false;
    bool matchStartOnly = false;
    bool webTitlesOnly = false;
    bool urlDomainsOnly = false;
    bool openUrlInSourceBrowser = false;
    bool openUrlInNewWindow = false;
    bool liveSearching = false; // read only: set with setLiveSearching

    CFont font;  // one-line rows
    CFont font1; // first line of two-line rows
    CFont font2; // second line of two-line rows
    COLORREF fontColor = RGB(0, 0, 0);
    COLORREF font1Color = RGB(0, 0, 0);
    COLORREF font2Color = RGB(0x50, 0x50, 0x50);

    class Impl;
    // The core's inner parts, for the core's own classes.
    Impl& impl() { return *m_impl; }

private:
    VCorvantileCore();
    ~VCorvantileCore();

    std::unique_ptr<Impl> m_impl;
};
