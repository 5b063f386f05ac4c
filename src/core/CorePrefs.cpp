// The core's settings in the preferences tree: one node "Core" under the root given, with the
// search options as its parameters and the children "Fonts", "Shortcuts", "Usage" and
// "Plugins" (one child per plug-in, named by its id).
#include <algorithm>
#include <cstring>

#include "core/CoreImpl.h"
#include "core_iface/VPreferences.h"

using namespace corvantile::core;

namespace {

constexpr char kCoreNode[] = "Core";

struct FontNode {
    const char* name;
    FontRole role;
    COLORREF VCorvantileCore::*colour;
};

const FontNode kFontNodes[] = {
    {"OneLine", FontRole::OneLine, &VCorvantileCore::fontColor},
    {"Line1", FontRole::Line1, &VCorvantileCore::font1Color},
    {"Line2", FontRole::Line2, &VCorvantileCore::font2Color},
};

VPreferencesNode* addNode(VPreferencesNode* parent, const char* name) {
    VPreferencesNode* child = VPreferencesNode::createInstance(name);
    if (!parent->addChild(child)) {
        child->deleteThis();
        return nullptr;
    }
    return child;
}

void saveFont(VPreferencesNode* node, const LOGFONTA& font, COLORREF colour) {
    node->setParam("FaceName", font.lfFaceName);
    node->setParam("Height", static_cast<int>(font.lfHeight));
    node->setParam("Weight", static_cast<int>(font.lfWeight));
    node->setParam("Italic", font.lfItalic != 0);
    node->setParam("Underline", font.lfUnderline != 0);
    node->setParam("StrikeOut", font.lfStrikeOut != 0);
    node->setParam("CharSet", static_cast<unsigned>(font.lfCharSet));
    node->setParam("Color", static_cast<unsigned>(colour));
}

// Reads a font over the current one; a description that makes no sense leaves it as it is.
bool loadFont(const VPreferencesNode* node, LOGFONTA& font, COLORREF& colour) {
    CString face;
    int height = 0;
    int weight = FW_NORMAL;
    if (!node->getParam("FaceName", face) || face.IsEmpty() || face.GetLength() >= LF_FACESIZE ||
        !node->getParam("Height", height) || height == 0 || height < -200 || height > 200)
        return false;
    node->getParam("Weight", weight);
    LOGFONTA loaded = font;
    std::memset(loaded.lfFaceName, 0, sizeof loaded.lfFaceName);
    std::memcpy(loaded.lfFaceName, face.GetString(), static_cast<std::size_t>(face.GetLength()));
    loaded.lfHeight = height;
    loaded.lfWidth = 0;
    loaded.lfWeight = std::clamp(weight, 0, 1000);
    bool flag = false;
    loaded.lfItalic = node->getParam("Italic", flag) && flag;
    flag = false;
    loaded.lfUnderline = node->getParam("Underline", flag) && flag;
    flag = false;
    loaded.lfStrikeOut = node->getParam("StrikeOut", flag) && flag;
    unsigned charSet = DEFAULT_CHARSET;
    if (node->getParam("CharSet", charSet) && charSet <= 255)
        loaded.lfCharSet = static_cast<BYTE>(charSet);
    font = loaded;
    unsigned value = 0;
    if (node->getParam("Color", value) && value <= 0xFFFFFF)
        colour = value;
    return true;
}

} // namespace

void VCorvantileCore::loadPrefs(VPreferencesNode* root) {
    Impl& impl = *m_impl;
    impl.resetSettings();
    const VPreferencesNode* core = root ? root->getChild(kCoreNode) : nullptr;
    if (core) {
        int chars = minSearchChars;
        if (core->getParam("MinSearchChars", chars))
            minSearchChars = std::clamp(chars, 1, 10);
        core->getParam("CaseSensitive", caseSensitive);
        core->getParam("MatchStartOnly", matchStartOnly);
        core->getParam("WebTitlesOnly", webTitlesOnly);
        core->getParam("UrlDomainsOnly", urlDomainsOnly);
        core->getParam("OpenUrlInSourceBrowser", openUrlInSourceBrowser);
        core->getParam("OpenUrlInNewWindow", openUrlInNewWindow);
        bool live = liveSearching;
        if (core->getParam("LiveSearching", live))
            setLiveSearching(live);

        if (const VPreferencesNode* fonts = core->getChild("Fonts")) {
            for (const FontNode& entry : kFontNodes) {
                const VPreferencesNode* node = fonts->getChild(entry.name);
                LOGFONTA font = impl.fonts.get(entry.role);
                if (node && loadFont(node, font, this->*entry.colour))
                    impl.fonts.set(entry.role, font);
            }
        }
        impl.actions.loadShortcuts(core->getChild("Shortcuts"));
        if (const VPreferencesNode* usage = core->getChild("Usage")) {
            CString data;
            if (usage->getParam("Data", data))
                impl.usage.deserialize(data.str());
        }
        const VPreferencesNode* plugins = core->getChild("Plugins");
        for (int i = 0; i < impl.plugins.getNumPlugins(); ++i) {
            VPlugin* plugin = impl.plugins.getPlugin(i);
            plugin->loadSettings(plugins ? plugins->getChild(plugin->getId().GetString())
                                         : nullptr);
        }
    }
    if (impl.started && impl.backgroundRefresh)
        impl.search.refreshInBackground();
}

void VCorvantileCore::savePrefs(VPreferencesNode* root) {
    if (!root)
        return;
    Impl& impl = *m_impl;
    while (VPreferencesNode* old = root->getChild(kCoreNode))
        old->deleteThis();
    VPreferencesNode* core = addNode(root, kCoreNode);
    if (!core)
        return;
    core->setParam("MinSearchChars", minSearchChars);
    core->setParam("CaseSensitive", caseSensitive);
    core->setParam("MatchStartOnly", matchStartOnly);
    core->setParam("WebTitlesOnly", webTitlesOnly);
    core->setParam("UrlDomainsOnly", urlDomainsOnly);
    core->setParam("OpenUrlInSourceBrowser", openUrlInSourceBrowser);
    core->setParam("OpenUrlInNewWindow", openUrlInNewWindow);
    core->setParam("LiveSearching", liveSearching);

    if (VPreferencesNode* fonts = addNode(core, "Fonts")) {
        for (const FontNode& entry : kFontNodes) {
            if (VPreferencesNode* node = addNode(fonts, entry.name))
                saveFont(node, impl.fonts.get(entry.role), this->*entry.colour);
        }
    }
    impl.actions.saveShortcuts(addNode(core, "Shortcuts"));
    if (VPreferencesNode* usage = addNode(core, "Usage"))
        usage->setParam("Data", impl.usage.serialize().c_str());
    if (VPreferencesNode* plugins = addNode(core, "Plugins")) {
        for (int i = 0; i < impl.plugins.getNumPlugins(); ++i) {
            VPlugin* plugin = impl.plugins.getPlugin(i);
            if (VPreferencesNode* node = addNode(plugins, plugin->getId().GetString()))
                plugin->saveSettings(node);
        }
    }
}
