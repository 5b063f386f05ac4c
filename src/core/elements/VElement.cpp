// The elements' common behaviour: properties, icons, and drawing of results and actions.
#include "core_iface/VElement.h"

#include <algorithm>
#include <string>

#include "core/CoreFonts.h"
#include "core/elements/ElementPainter.h"
#include "core/elements/FontAdvances.h"
#include "core/elements/Icons.h"
#include "core/elements/PropertyIcons.h"
#include "core/elements/ShellIconCache.h"
#include "framework/CDC.h"

using namespace corvantile::core;

namespace {

// Draws one-line rows: the first text, then the second after a gap where room is left.
void drawOneLineRow(CDC* dc, const RECT* icon, const RECT* line0, bool selected, bool showIcons,
                    HICON image, const StyledLine& first, const StyledLine& second) {
    if (!dc || !line0)
        return;
    if (showIcons)
        drawElementIcon(*dc, image, icon);
    const CoreFonts& fonts = coreFonts();
    const int end = drawStyledLine(*dc, first, *line0, fonts.style(FontRole::OneLine, selected));
    constexpr int kGap = 12;
    constexpr int kMinimumWidth = 40;
    RECT rest = *line0;
    rest.left = end + kGap;
    if (!second.text.empty() && rest.right - rest.left >= kMinimumWidth) {
        TextStyle style = fonts.style(FontRole::OneLine, selected);
        if (!selected)
            style.colour = fonts.style(FontRole::Line2, false).colour;
        drawStyledLine(*dc, second, rest, style);
    }
}

void drawTwoLineRow(CDC* dc, const RECT* icon, const RECT* line0, const RECT* line1, bool selected,
                    bool showIcons, HICON image, const StyledLine& first,
                    const StyledLine& second) {
    if (!dc)
        return;
    if (showIcons)
        drawElementIcon(*dc, image, icon);
    const CoreFonts& fonts = coreFonts();
    if (line0)
        drawStyledLine(*dc, first, *line0, fonts.style(FontRole::Line1, selected));
    if (line1)
        drawStyledLine(*dc, second, *line1, fonts.style(FontRole::Line2, selected));
}

} // namespace

bool VProperty::isValid() const {
    return type >= PropertyName && type <= PropertyWindow && !value.IsEmpty();
}

HICON VProperty::iconForPropertyType(PropertyType type) {
    return propertyIcon(type);
}

VResult::~VResult() = default;

void VResult::deleteThis() {
    delete this;
}

HICON VResult::getIcon() {
    bool folder = false;
    if (const CString file = iconFile(folder); !file.IsEmpty()) {
        if (!m_fileIconKnown) {
            ShellIconCache::Answer answer = ShellIconCache::instance().iconFor(file, folder);
            m_fileIconKnown = answer.known;
            m_fileIcon = std::move(answer.icon);
        }
        if (m_fileIcon)
            return m_fileIcon.get();
    }
    if (!m_iconLoaded) {
        m_iconLoaded = true;
        bool owned = false;
        m_icon = loadIcon(owned);
        if (owned)
            m_ownedIcon.reset(m_icon);
    }
    return m_icon;
}

void VResult::prepareDrawing(CDC* dc) {
    for (int type = PropertyName; type <= PropertyWindow; ++type)
        VProperty::iconForPropertyType(static_cast<PropertyType>(type));
    if (!dc || !dc->GetSafeHdc())
        return;
    // Every printable ASCII character and the ellipsis, drawn and measured once in each font
    // the rows use, so that the first lists wait neither for their glyphs to be made nor for
    // their characters to be measured.
    std::wstring characters;
    for (wchar_t c = L' '; c < 0x7F; ++c)
        characters += c;
    characters += L'\u2026';
    const std::vector<bool> all(characters.size(), false);
    std::vector<int> advances(characters.size());
    const CoreFonts& fonts = coreFonts();
    for (const FontRole role : {FontRole::OneLine, FontRole::Line1, FontRole::Line2}) {
        const TextStyle style = fonts.style(role, false);
        for (const HFONT font : {style.font, style.emphasis}) {
            if (!font)
                continue;
            const HGDIOBJ old = SelectObject(*dc, font);
            TextOutW(*dc, 0, 0, characters.data(), static_cast<int>(characters.size()));
            FontAdvances::instance().advances(*dc, font, characters, all, false, advances);
            SelectObject(*dc, old);
        }
    }
}

CString VResult::iconFile(bool& folder) const {
    folder = false;
    return {};
}

void VResult::forgetFileIcon() {
    m_fileIcon.reset();
    m_fileIconKnown = false;
}

HICON VResult::loadIcon(bool& ownIcon) {
    ownIcon = false;
    const VProperty* property = getDefaultProperty();
    return VProperty::iconForPropertyType(property ? property->type : PropertyText);
}

void VResult::drawTwoLines(CDC* dc, const RECT* row, const RECT* icon, const RECT* line0,
                           const RECT* line1, bool selected, bool showIcons) {
    drawTwoLineRow(dc, icon, line0, line1, selected, showIcons, showIcons ? getIcon() : nullptr,
                   styleLine(m_title, m_titleMatches), styleLine(m_detail, m_detailMatches));
}

void VResult::drawOneLine(CDC* dc, const RECT* row, const RECT* icon, const RECT* line0,
                          bool selected, bool showIcons) {
    drawOneLineRow(dc, icon, line0, selected, showIcons, showIcons ? getIcon() : nullptr,
                   styleLine(m_title, m_titleMatches), styleLine(m_detail, m_detailMatches));
}

VProperty* VResult::getProperty(int index) const {
    if (index < 0 || index >= getPropertyCount())
        return nullptr;
    return m_properties[static_cast<std::size_t>(index)].get();
}

VProperty* VResult::getDefaultProperty() {
    return getProperty(m_defaultProperty);
}

VProperty* VResult::addProperty(PropertyType type, const CString& value) {
    m_properties.push_back(std::make_unique<VProperty>(type, value));
    return m_properties.back().get();
}

VFileResult* VFileResult::createInstance(VPlugin* plugin) {
    return new VFileResult(plugin);
}

void VFileResult::setFile(const CPath& file) {
    path = file;
    clearProperties();
    forgetFileIcon();
    const CString full = file.GetPath();
    const CString name = file.GetFileName();
    const CString folder = file.GetLocation();
    m_title = name.IsEmpty() ? full : name;
    m_detail = name.IsEmpty() ? CString() : folder;
    m_titleMatches.clear();
    m_detailMatches.clear();
    m_defaultProperty = 0;
    addProperty(PropertyPath, full);
    if (!name.IsEmpty() && !folder.IsEmpty())
        addProperty(PropertyFolder, folder);
    if (!name.IsEmpty())
        addProperty(PropertyName, name);
}

CString VFileResult::iconFile(bool& folder) const {
    const CString file = getFile();
    folder = !file.IsEmpty() && file[file.GetLength() - 1] == '\\';
    return file;
}

VAction::VAction(const CString& actionName, const CString& actionDescription,
                 std::vector<PropertyType> types, const CString& id)
    : name(actionName), description(actionDescription), m_types(std::move(types)), m_id(id) {}

VAction::~VAction() = default;

HICON VAction::getIcon() {
    if (!m_iconLoaded) {
        m_iconLoaded = true;
        m_icon.reset(loadIcon());
    }
    return m_icon.get();
}

HICON VAction::loadIcon() {
    return makeBadgeIcon(Badge{L"A", RGB(0x55, 0x55, 0x55)});
}

bool VAction::isTypeSupported(PropertyType type) const {
    return std::find(m_types.begin(), m_types.end(), type) != m_types.end();
}

bool VAction::isResultSupported(VResult* result) {
    return result != nullptr;
}

CString VAction::getLabel(VProperty* property) {
    if (!property)
        return name;
    return name + " " + property->value;
}

bool VAction::run(VResult* result, VProperty* property, const CString& text) {
    return false;
}

bool VAction::runWithText(const CString& text) {
    return false;
}

void VAction::setNameMatches(std::vector<std::uint32_t> positions) {
    std::lock_guard lock(m_matchesMutex);
    m_nameMatches = std::move(positions);
}

void VAction::setShownShortcut(const CString& shortcut) {
    std::lock_guard lock(m_matchesMutex);
    m_shownShortcut = shortcut;
}

CString VAction::describeShortcut(const CString& shortcut) {
    int end = shortcut.GetLength();
    while (end > 0 && shortcut[end - 1] == ' ')
        --end;
    CString described = shortcut.Left(end);
    for (int blank = end; blank < shortcut.GetLength(); ++blank)
        described += described.IsEmpty() ? "Space" : " + Space";
    return described;
}

CString VAction::detailLine() {
    CString shortcut;
    {
        std::lock_guard lock(m_matchesMutex);
        shortcut = m_shownShortcut;
    }
    if (shortcut.IsEmpty())
        return description;
    return describeShortcut(shortcut) + "  \xC2\xB7  " + description;
}

void VAction::drawTwoLines(CDC* dc, const RECT* row, const RECT* icon, const RECT* line0,
                           const RECT* line1, bool selected, bool showIcons) {
    std::vector<std::uint32_t> matches;
    {
        std::lock_guard lock(m_matchesMutex);
        matches = m_nameMatches;
    }
    drawTwoLineRow(dc, icon, line0, line1, selected, showIcons, showIcons ? getIcon() : nullptr,
                   styleLine(name, matches), styleLine(detailLine(), {}));
}

void VAction::drawOneLine(CDC* dc, const RECT* row, const RECT* icon, const RECT* line0,
                          bool selected, bool showIcons) {
    std::vector<std::uint32_t> matches;
    {
        std::lock_guard lock(m_matchesMutex);
        matches = m_nameMatches;
    }
    drawOneLineRow(dc, icon, line0, selected, showIcons, showIcons ? getIcon() : nullptr,
                   styleLine(name, matches), styleLine(detailLine(), {}));
}
