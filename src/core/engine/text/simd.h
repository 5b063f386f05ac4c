// Whether the engine's search loops take 16 bytes at a time with SSE2. Every x86-64 compiler
// has SSE2 (GCC and Clang say so with __SSE2__, MSVC with _M_X64); a build configured with
// CORVANTILE_NO_SIMD compiles the scalar loops instead, so those are built and tested too.
#pragma once

#if !defined(CORVANTILE_NO_SIMD) && (defined(__SSE2__) || defined(_M_X64))
#define CORVANTILE_SSE2 1
#include <emmintrin.h>
#else
#define CORVANTILE_SSE2 0
#endif
