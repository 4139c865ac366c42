#pragma once

#include <cstdint>

// The sector size of the device that holds target (a directory or a file):
// the logical block size of its block device (the whole disk's for a
// partition); where there is no block device, the direct-I/O alignment that
// a regular file in the target reports; else 512.
uint32_t GetSectorSize(const char* pszTarget);

// The steps of GetSectorSize, for tests. 0 when the step finds nothing.
uint32_t BlockDeviceSectorSize(unsigned nMajor, unsigned nMinor);
uint32_t DirectIoAlignment(const char* pszTarget);
