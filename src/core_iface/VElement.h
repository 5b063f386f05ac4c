// What the search core shows in the results list: elements. A result (a program, file,
// bookmark, value ...) carries typed properties that actions run on; an action is an element
// too, found by its name. Results (element type 1) belong to whoever receives them and are
// freed with deleteThis; actions belong to the core.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include <windows.h>

#include "core_iface/CPath.h"
#include "framework/CString.h"
#include "framework/Win32Handles.h"

class CDC;
class VAction;
class VPlugin;

// What a property's value is; it selects the property's icon and its default action.
enum PropertyType : int {
    PropertyNone = 0,
    PropertyName = 1,        // a name or title, shown and copied as text
    PropertyUrl = 2,         // a web address
    PropertyFolder = 3,      // a folder on disk (a path ending in a backslash)
    PropertyPath = 4,        // a file or folder on disk, as a full path
    PropertyCommandLine = 5, // a program to start, possibly with arguments
    PropertyText = 6,        // a value, such as the result of a calculation
    PropertyWindow = 7,      // a top-level window of a program, its handle as "0x..."
};

class VElement {
public:
    // Element types.
    static constexpr int kResult = 1; // a result: its receiver owns it
    static constexpr int kAction = 2; // an action: the core owns it

    VElement(const VElement&) = delete;
    VElement& operator=(const VElement&) = delete;

    // Frees a result; does nothing for an element the core owns.
    virtual void deleteThis() = 0;
    // A 16x16 icon that the element keeps; null when it has none.
    virtual HICON getIcon() = 0;
    virtual int getElementType() = 0;
    // Draws the element's icon (when showIcons) and its text in the given rectangles of a row
    // of the results list: two lines of text (name and detail) or one.
    virtual void drawTwoLines(CDC* dc, const RECT* row, const RECT* icon, const RECT* line0,
                              const RECT* line1, bool selected, bool showIcons) = 0;
    virtual void drawOneLine(CDC* dc, const RECT* row, const RECT* icon, const RECT* line0,
                             bool selected, bool showIcons) = 0;

    // Number of elements alive in the process, for finding leaks.
    static long liveElements() { return s_live.load(); }

protected:
    VElement() { ++s_live; }
    virtual ~VElement() { --s_live; }

private:
    static inline std::atomic<long> s_live{0};
};

class VProperty {
public:
    VProperty() = default;
    VProperty(PropertyType propertyType, const CString& propertyValue)
        : type(propertyType), value(propertyValue) {}

    PropertyType type = PropertyNone;
    CString value;

    // A property of a known type with a value.
    bool isValid() const;
    // The 16x16 icon of a property type, kept by the core for the life of the process (a
    // generic one for unknown types).
    static HICON iconForPropertyType(PropertyType type);
};

class VResult : public VElement {
public:
    // Ownership passes to whoever receives the result: deleteThis frees it.
    void deleteThis() override;
    int getElementType() override { return kResult; }
    HICON getIcon() override;
    void drawTwoLines(CDC* dc, const RECT* row, const RECT* icon, const RECT* line0,
                      const RECT* line1, bool selected, bool showIcons) override;
    void drawOneLine(CDC* dc, const RECT* row, const RECT* icon, const RECT* line0, bool selected,
                     bool showIcons) override;
    // Makes the icons and fonts that results draw with and writes with each font into dc, so
    // that the system has loaded them before the first rows are painted.
    static void prepareDrawing(CDC* dc);

    int getPropertyCount() const { return static_cast<int>(m_properties.size()); }
    // The property at index, or null when out of range.
    VProperty* getProperty(int index) const;
    // The property that the result's default action runs on, or null.
    virtual VProperty* getDefaultProperty();

    // The two lines the result shows, and the byte positions of the query's characters in them.
    const CString& getTitle() const { return m_title; }
    const CString& getDetail() const { return m_detail; }
    const std::vector<std::uint32_t>& getTitleMatches() const { return m_titleMatches; }
    const std::vector<std::uint32_t>& getDetailMatches() const { return m_detailMatches; }
    // The query that found the result (empty for results made otherwise).
    const CString& getQuery() const { return m_query; }
    // The plug-in that made the result, or null.
    VPlugin* getPlugin() const { return m_plugin; }

protected:
    explicit VResult(VPlugin* plugin = nullptr) : m_plugin(plugin) {}
    ~VResult() override;

    // Appends a property; returns it.
    VProperty* addProperty(PropertyType type, const CString& value);
    void clearProperties() { m_properties.clear(); }
    // The icon to show: loaded lazily by getIcon through loadIcon, and destroyed with the result
    // when ownIcon says so.
    virtual HICON loadIcon(bool& ownIcon);
    // The file or folder whose shell icon the result shows (folder: it names a folder), which
    // the core loads in the background; empty: the result shows the loadIcon icon only. Until
    // the shell's icon has come, and when there is none, the loadIcon icon stands in.
    virtual CString iconFile(bool& folder) const;
    // Forgets the shell icon, after the file changed.
    void forgetFileIcon();

    CString m_title;
    CString m_detail;
    std::vector<std::uint32_t> m_titleMatches;
    std::vector<std::uint32_t> m_detailMatches;
    CString m_query;
    int m_defaultProperty = 0;

private:
    VPlugin* m_plugin;
    std::vector<std::unique_ptr<VProperty>> m_properties;
    HICON m_icon = nullptr;
    IconHandle m_ownedIcon; // m_icon, when loadIcon made it for this result
    bool m_iconLoaded = false;
    std::shared_ptr<std::remove_pointer_t<HICON>> m_fileIcon; // shared with the core's cache
    bool m_fileIconKnown = false;
};

// A file or folder on disk as a result, such as a folder listing makes.
class VFileResult : public VResult {
public:
    // A new empty file result that the caller owns (free it with deleteThis).
    static VFileResult* createInstance(VPlugin* plugin);

    // Sets the file the result stands for: its name, folder and properties follow.
    void setFile(const CPath& file);
    // The full path of the file.
    CString getFile() const { return path.GetPath(); }

    CPath path;

protected:
    explicit VFileResult(VPlugin* plugin) : VResult(plugin) {}
    CString iconFile(bool& folder) const override;
};

class VAction : public VElement {
public:
    CString name;
    CString description;

    // Actions belong to whoever made them (the core, a plug-in) and are deleted directly.
    ~VAction() override;

    // Actions belong to the core: deleteThis does nothing.
    void deleteThis() override {}
    int getElementType() override { return kAction; }
    HICON getIcon() override;
    void drawTwoLines(CDC* dc, const RECT* row, const RECT* icon, const RECT* line0,
                      const RECT* line1, bool selected, bool showIcons) override;
    void drawOneLine(CDC* dc, const RECT* row, const RECT* icon, const RECT* line0, bool selected,
                     bool showIcons) override;

    // Whether the action can run on a property of this type.
    bool isTypeSupported(PropertyType type) const;

    // Whether the action applies to the result as a whole (some actions refuse some results).
    virtual bool isResultSupported(VResult* result);
    // What running the action on the property would do, e.g. "Open C:\x.txt".
    virtual CString getLabel(VProperty* property);
    // Runs the action on a property of a result; text is what the user typed. True on success.
    virtual bool run(VResult* result, VProperty* property, const CString& text);
    // Runs the action with typed text only (a web search, a system command); true on success.
    virtual bool runWithText(const CString& text);

    // A stable name for the action's settings (its shortcut); the name when not set.
    const CString& getId() const { return m_id.IsEmpty() ? name : m_id; }
    // Remembers where the current query matched the name, for drawing (any thread).
    void setNameMatches(std::vector<std::uint32_t> positions);
    // The shortcut the action's row shows beside its description (empty: none).
    void setShownShortcut(const CString& shortcut);
    // The row's second line: the shortcut as it is typed ("g + Space"), then the description.
    CString detailLine();
    // A shortcut written for reading: its trailing blanks named, "g " as "g + Space".
    static CString describeShortcut(const CString& shortcut);

protected:
    VAction(const CString& actionName, const CString& actionDescription,
            std::vector<PropertyType> types = {}, const CString& id = CString());

    // The icon shown for the action; made once by getIcon and destroyed with the action.
    virtual HICON loadIcon();

    std::vector<PropertyType> m_types;
    CString m_id;

private:
    std::mutex m_matchesMutex;
    std::vector<std::uint32_t> m_nameMatches; // where the current query matched the name
    CString m_shownShortcut;
    IconHandle m_icon;
    bool m_iconLoaded = false;
};
