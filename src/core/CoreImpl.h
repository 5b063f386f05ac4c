// The parts of the core object: fonts, actions, plug-ins, listeners, usage data and searching.
#pragma once

#include <memory>
#include <vector>

#include "core/CoreFonts.h"
#include "core/actions/ActionRegistry.h"
#include "core/actions/CoreAction.h"
#include "core/engine/search/usage.h"
#include "core/search/ListenerHub.h"
#include "core/search/SearchService.h"
#include "core_iface/VCorvantileCore.h"

class VCorvantileCore::Impl {
public:
    explicit Impl(VCorvantileCore& core);
    ~Impl();

    corvantile::core::CoreFonts fonts;
    corvantile::core::ActionRegistry actions;
    corvantile::core::ListenerHub listeners;
    corvantile::engine::UsageStore usage;

    // Plug-ins and actions: the built-in ones are made by startUp, the registered ones are
    // handed in before it.
    std::vector<std::unique_ptr<VPlugin>> builtInPlugins;
    std::vector<std::unique_ptr<VPlugin>> registeredPlugins;
    std::vector<std::unique_ptr<corvantile::core::CoreAction>> standardActions;
    std::vector<std::unique_ptr<VAction>> registeredActions;
    VPluginManager plugins;

    bool useBuiltInPlugins = true;
    bool backgroundRefresh = true;
    CString cacheFolder;
    bool started = false;

    // Declared last: it stops before the plug-ins and actions it uses go away.
    corvantile::core::SearchService search;

    // The search settings of the moment.
    corvantile::core::SearchOptions searchOptions() const;
    // Back to the settings of a fresh start (no preferences).
    void resetSettings();

private:
    VCorvantileCore& m_core;
};
