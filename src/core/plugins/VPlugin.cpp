#include "core_iface/VPlugin.h"

VPlugin::~VPlugin() = default;

VPlugin* VPluginManager::getPlugin(int index) const {
    if (index < 0 || index >= getNumPlugins())
        return nullptr;
    return m_plugins[static_cast<std::size_t>(index)];
}
