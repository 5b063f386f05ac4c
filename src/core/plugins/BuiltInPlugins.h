// The plug-ins that come with the core, in the order the preferences list them.
#pragma once

#include <memory>
#include <vector>

#include "core_iface/VPlugin.h"

namespace corvantile::core {

std::vector<std::unique_ptr<VPlugin>> makeBuiltInPlugins();

} // namespace corvantile::core
