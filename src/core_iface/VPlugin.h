// Search plug-ins: each one finds one kind of thing (programs, files, bookmarks ...) and may
// bring actions of its own (web searches, system commands). The preferences window lists them
// through the plug-in manager and opens their configuration.
#pragma once

#include <cstdint>
#include <vector>

#include <windows.h>

#include "framework/CString.h"

class VAction;
class VPreferencesNode;

// What an item found by a plug-in stands for; it decides the result's properties and actions.
enum class VItemKind : std::uint16_t {
    File = 1,     // target: the file's full path
    Folder = 2,   // target: the folder's full path
    Program = 3,  // target: the shortcut (.lnk) that starts it; extra: the program it starts
    Bookmark = 4, // target: the address; extra: the browser it was saved in ("chrome" ...)
    Text = 5,     // target: a value (the name is shown); extra: what it was made from
    Action = 6,   // target: the action's id (the core's own items)
    Window = 7,   // target: a top-level window's handle ("0x..."); extra: its program's path
};

// One thing a plug-in found. Texts are UTF-8.
struct VItem {
    VItemKind kind = VItemKind::File;
    CString name;   // shown on the first line and matched against the query
    CString target; // see VItemKind
    CString extra;  // see VItemKind
};

// Takes the items of a scan. A scan checks cancelled() now and then and stops when it is true.
class VItemSink {
public:
    virtual void add(const VItem& item) = 0;
    virtual bool cancelled() const = 0;
    // Something the user is to be told once about this scan (a limit reached, say).
    virtual void notice(const CString& text) {}

protected:
    ~VItemSink() = default;
};

// Takes a plug-in's changes to its part of the index between scans, from any thread.
class VItemUpdates {
public:
    // In one step: removes the plug-in's items whose target is one of removed or lies below
    // one of them (a folder's path, a backslash, the rest), then adds added.
    virtual void update(const std::vector<VItem>& added, const std::vector<CString>& removed) = 0;

protected:
    ~VItemUpdates() = default;
};

class VPlugin {
public:
    VPlugin() = default;
    VPlugin(const VPlugin&) = delete;
    VPlugin& operator=(const VPlugin&) = delete;
    virtual ~VPlugin();

    // A 16x16 icon kept by the plug-in, or null.
    HICON icon = nullptr;

    virtual CString getName() = 0;
    virtual CString getDescription() = 0;
    virtual CString getAuthor() = 0;
    virtual bool isConfigurable() { return false; }
    // Opens the plug-in's own settings, owned by parent.
    virtual void configure(HWND parent) {}

    // A stable name for the plug-in's settings node and its part of the index.
    virtual CString getId() { return getName(); }
    // Hands every item of the plug-in's sources to sink. Called on a worker thread, possibly
    // while an earlier scan is still winding down, so it must not change shared state.
    virtual void scan(VItemSink& sink) {}
    // Whether the plug-in's items change too often to be indexed (the open windows): every
    // search then walks its scan instead.
    virtual bool searchesLive() { return false; }
    // Keeps the index up to date through updates while the sources change, until
    // stopWatching (updates outlives that); a plug-in without live sources ignores it.
    virtual void startWatching(VItemUpdates& updates) {}
    virtual void stopWatching() {}
    // Items computed from the query text alone (for example a calculation), shown first.
    virtual void itemsForText(const CString& text, std::vector<VItem>& out) {}
    // The actions the plug-in brings; it keeps them for its lifetime.
    virtual std::vector<VAction*> getActions() { return {}; }
    // The plug-in's settings, in a node of its own (null: defaults).
    virtual void loadSettings(const VPreferencesNode* node) {}
    virtual void saveSettings(VPreferencesNode* node) {}
};

class VPluginManager {
public:
    VPluginManager() = default;
    VPluginManager(const VPluginManager&) = delete;
    VPluginManager& operator=(const VPluginManager&) = delete;

    int getNumPlugins() const { return static_cast<int>(m_plugins.size()); }
    // The plug-in at index, or null when out of range.
    VPlugin* getPlugin(int index) const;

    void add(VPlugin* plugin) { m_plugins.push_back(plugin); }
    void clear() { m_plugins.clear(); }

private:
    std::vector<VPlugin*> m_plugins; // borrowed from the core
};
