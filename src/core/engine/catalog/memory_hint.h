// Hints to the operating system about large buffers.
#pragma once

#include <cstddef>

namespace corvantile::engine {

// Asks for large pages behind a big buffer that is about to be filled, which makes first
// touches much cheaper on systems that support it (Linux transparent huge pages). Does
// nothing elsewhere or for small buffers.
void prefer_large_pages(void* data, std::size_t bytes);

} // namespace corvantile::engine
