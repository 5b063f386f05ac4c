// The icon of each property type, made once and kept for the life of the process.
#pragma once

#include <windows.h>

#include "core_iface/VElement.h"

namespace corvantile::core {

// The icon of a property type (a generic one for unknown types); never null once the display
// is up. Safe on any thread.
HICON propertyIcon(PropertyType type);

} // namespace corvantile::core
