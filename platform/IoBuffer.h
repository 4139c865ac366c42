#pragma once

#include <cstddef>

// Buffers for file requests: page-aligned (direct I/O needs that) and
// zero-filled, with their pages committed at allocation so that the first
// phase of a run does not pay for page faults. Null when the system refuses.
void* AllocBuffer(size_t nBytes);
// Gives back a buffer of AllocBuffer; the size must be the one allocated.
// Null is ignored.
void FreeBuffer(void* pBuffer, size_t nBytes);
