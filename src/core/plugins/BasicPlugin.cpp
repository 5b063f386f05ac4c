#include "core/plugins/BasicPlugin.h"

namespace corvantile::core {

BasicPlugin::BasicPlugin(const char* id, const char* name, const char* description,
                         const Badge& badge)
    : m_id(id), m_name(name), m_description(description) {
    icon = makeBadgeIcon(badge);
}

BasicPlugin::~BasicPlugin() {
    if (icon)
        DestroyIcon(icon);
}

} // namespace corvantile::core
