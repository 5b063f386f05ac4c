#include "core/plugins/BasicPlugin.h"

namespace corvantile::core {

BasicPlugin::BasicPlugin(const char* id, const char* name, const char* description,
                         const Badge& badge)
    : m_id(id), m_name(name), m_description(description), m_icon(makeBadgeIcon(badge)) {
    icon = m_icon.get();
}

} // namespace corvantile::core
