#pragma once

#include <cstddef>

// Returns a zero-filled block to be released with std::free, or null for size 0.
// On failure it reports "Memory allocation failed." with FatalError(1) and returns null.
void* AllocZeroed(std::size_t nSize);

// The allocator behind AllocZeroed (calloc by default); tests install a failing one.
using ZeroedAllocator = void* (*)(std::size_t nCount, std::size_t nSize);
ZeroedAllocator SetZeroedAllocator(ZeroedAllocator pfnAllocator);
