#include "core_iface/VCorvantileCore.h"

#include <chrono>
#include <mutex>

#include "core/CoreImpl.h"
#include "core/plugins/FilesPlugin.h"
#include "core/actions/StandardActions.h"
#include "core/elements/ItemResult.h"
#include "core/elements/ShellIconCache.h"
#include "support/file_io.h"
#include "core/plugins/BasicPlugin.h"
#include "core/plugins/BuiltInPlugins.h"
#include "core_iface/CPath.h"
#include "framework/AfxWin.h"

using namespace corvantile;
using namespace corvantile::core;

namespace {

std::mutex g_instanceMutex;
VCorvantileCore* g_instance = nullptr;

constexpr char kCacheFileName[] = "Corvantile.cache";

} // namespace

namespace corvantile::core {

const CoreFonts& coreFonts() {
    return VCorvantileCore::instance()->impl().fonts;
}

} // namespace corvantile::core

VCorvantileCore::Impl::Impl(VCorvantileCore& core)
    : fonts(core), search(listeners, usage, core.busy), m_core(core) {}

VCorvantileCore::Impl::~Impl() {
    search.stop();
}

SearchOptions VCorvantileCore::Impl::searchOptions() const {
    SearchOptions options;
    options.minChars = m_core.minSearchChars;
    options.caseSensitive = m_core.caseSensitive;
    options.matchStartOnly = m_core.matchStartOnly;
    options.webTitlesOnly = m_core.webTitlesOnly;
    options.urlDomainsOnly = m_core.urlDomainsOnly;
    options.live = m_core.liveSearching;
    return options;
}

void VCorvantileCore::Impl::resetSettings() {
    m_core.minSearchChars = 1;
    m_core.caseSensitive = false;
    m_core.matchStartOnly = false;
    m_core.webTitlesOnly = false;
    m_core.urlDomainsOnly = false;
    m_core.openUrlInSourceBrowser = false;
    m_core.openUrlInNewWindow = false;
    m_core.liveSearching = false;
    fonts.reset();
    actions.resetShortcuts();
    usage.clear();
    for (int i = 0; i < plugins.getNumPlugins(); ++i)
        plugins.getPlugin(i)->loadSettings(nullptr);
}

VCorvantileCore* VCorvantileCore::instance() {
    std::lock_guard lock(g_instanceMutex);
    if (!g_instance)
        g_instance = new VCorvantileCore();
    return g_instance;
}

VCorvantileCore::VCorvantileCore() : m_impl(std::make_unique<Impl>(*this)) {
    programPath = AfxGetProgramPath();
    programFolder = CPath::AddBackSlash(CPath(programPath).GetLocation());
    pluginManager = &m_impl->plugins;
    m_impl->resetSettings();
}

VCorvantileCore::~VCorvantileCore() = default;

void VCorvantileCore::startUp() {
    Impl& impl = *m_impl;
    if (impl.started)
        return;
    if (impl.useBuiltInPlugins && impl.builtInPlugins.empty())
        impl.builtInPlugins = makeBuiltInPlugins();
    if (!impl.useBuiltInPlugins)
        impl.builtInPlugins.clear();

    impl.plugins.clear();
    for (const auto& plugin : impl.builtInPlugins)
        impl.plugins.add(plugin.get());
    for (const auto& plugin : impl.registeredPlugins)
        impl.plugins.add(plugin.get());
    for (int i = 0; i < impl.plugins.getNumPlugins(); ++i) {
        if (auto* basic = dynamic_cast<BasicPlugin*>(impl.plugins.getPlugin(i)))
            basic->settingsChanged = [this] { m_impl->search.refreshInBackground(); };
    }

    // The actions in the order the choosers list them: the standard ones, the plug-ins'
    // ones, then any registered from outside.
    impl.actions.clear();
    StandardActions standard = makeStandardActions();
    impl.standardActions = std::move(standard.actions);
    for (const auto& action : impl.standardActions)
        impl.actions.add(action.get(), action->takesText(), action->defaultShortcut());
    for (const auto& [type, action] : standard.defaults)
        impl.actions.setDefault(type, action);
    for (int i = 0; i < impl.plugins.getNumPlugins(); ++i) {
        for (VAction* action : impl.plugins.getPlugin(i)->getActions()) {
            const auto* core = dynamic_cast<const CoreAction*>(action);
            impl.actions.add(action, !core || core->takesText(),
                             core ? core->defaultShortcut() : CString(),
                             core ? core->formerShortcut() : CString());
            if (core && core->defaultFor() != PropertyNone)
                impl.actions.setDefault(core->defaultFor(), action);
        }
    }
    for (const auto& action : impl.registeredActions)
        impl.actions.add(action.get(), true, CString());

    const CString folder =
        impl.cacheFolder.IsEmpty() ? programFolder : CPath::AddBackSlash(impl.cacheFolder);
    std::vector<VPlugin*> plugins;
    for (int i = 0; i < impl.plugins.getNumPlugins(); ++i)
        plugins.push_back(impl.plugins.getPlugin(i));
    impl.search.start(std::move(plugins), impl.actions.searchable(),
                      support::path_from_utf8((folder + kCacheFileName).str()));
    impl.started = true;
}

void VCorvantileCore::shutDown() {
    m_impl->search.stop();
    ShellIconCache::instance().stop();
    m_impl->started = false;
}

void VCorvantileCore::deleteThis() {
    shutDown();
    {
        std::lock_guard lock(g_instanceMutex);
        if (g_instance == this)
            g_instance = nullptr;
    }
    delete this;
}

void VCorvantileCore::registerResultListener(VResultListener* listener) {
    m_impl->listeners.add(listener);
}

void VCorvantileCore::unregisterResultListener(VResultListener* listener) {
    m_impl->listeners.remove(listener);
}

void VCorvantileCore::registerActionListener(VActionListener* listener) {
    m_impl->listeners.add(listener);
}

void VCorvantileCore::unregisterActionListener(VActionListener* listener) {
    m_impl->listeners.remove(listener);
}

void VCorvantileCore::startSeach(const CString& text, DWORD& searchId) {
    if (!m_impl->started)
        startUp();
    searchId = m_impl->search.startSearch(text, m_impl->searchOptions());
}

void VCorvantileCore::searchAhead(const CString& text) {
    if (m_impl->started)
        m_impl->search.searchAhead(text, m_impl->searchOptions());
}

void VCorvantileCore::cancelSearch(DWORD searchId) {
    m_impl->search.cancel(searchId);
}

VAction* VCorvantileCore::getAction(const CString& name, bool exact) {
    return exact ? m_impl->actions.byShortcut(name) : m_impl->actions.byName(name);
}

int VCorvantileCore::getNumActions() const {
    return m_impl->actions.count();
}

VAction* VCorvantileCore::getAction(int index) const {
    return m_impl->actions.at(index);
}

VAction* VCorvantileCore::getDefaultAction(PropertyType type) const {
    return m_impl->actions.defaultFor(type);
}

CString VCorvantileCore::getShortcut(VAction* action) const {
    return m_impl->actions.shortcut(action);
}

void VCorvantileCore::setShortcut(const CString& shortcut, VAction* action) {
    m_impl->actions.setShortcut(shortcut, action);
}

void VCorvantileCore::getFont(LOGFONTA* logFont) const {
    if (logFont)
        *logFont = m_impl->fonts.get(FontRole::OneLine);
}

void VCorvantileCore::getFont1(LOGFONTA* logFont) const {
    if (logFont)
        *logFont = m_impl->fonts.get(FontRole::Line1);
}

void VCorvantileCore::getFont2(LOGFONTA* logFont) const {
    if (logFont)
        *logFont = m_impl->fonts.get(FontRole::Line2);
}

void VCorvantileCore::setFont(const LOGFONTA* logFont) {
    if (logFont)
        m_impl->fonts.set(FontRole::OneLine, *logFont);
}

void VCorvantileCore::setFont1(const LOGFONTA* logFont) {
    if (logFont)
        m_impl->fonts.set(FontRole::Line1, *logFont);
}

void VCorvantileCore::setFont2(const LOGFONTA* logFont) {
    if (logFont)
        m_impl->fonts.set(FontRole::Line2, *logFont);
}

void VCorvantileCore::setLiveSearching(bool live) {
    liveSearching = live;
}

void VCorvantileCore::updateCache() {
    if (!m_impl->started)
        startUp();
    m_impl->search.refreshNow();
}

CString VCorvantileCore::indexingStatus() const {
    std::size_t found = 0;
    if (!m_impl->search.indexing(found))
        return {};
    return "Indexing\xE2\x80\xA6 " + corvantile::core::groupedCount(found) + " files";
}

CString VCorvantileCore::takeNotice() {
    return m_impl->search.takeNotice();
}

void VCorvantileCore::recordChoice(VResult* result) {
    const auto* item = dynamic_cast<const ItemResult*>(result);
    if (!item || item->usageKey().empty() || item->getQuery().IsEmpty())
        return;
    const auto now =
        std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now());
    m_impl->usage.record(item->getQuery().str(), item->usageKey(), now);
}

void VCorvantileCore::registerPlugin(std::unique_ptr<VPlugin> plugin) {
    if (plugin)
        m_impl->registeredPlugins.push_back(std::move(plugin));
}

void VCorvantileCore::registerAction(std::unique_ptr<VAction> action) {
    if (action)
        m_impl->registeredActions.push_back(std::move(action));
}

void VCorvantileCore::setBuiltInPlugins(bool enabled) {
    m_impl->useBuiltInPlugins = enabled;
}

void VCorvantileCore::setCacheFolder(const CString& folder) {
    m_impl->cacheFolder = folder;
}

void VCorvantileCore::setBackgroundRefresh(bool enabled) {
    m_impl->backgroundRefresh = enabled;
}
