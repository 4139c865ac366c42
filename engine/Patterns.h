#pragma once

#include <cstdint>

// Number of test patterns; indexes 0 to PATTERN_COUNT - 1 are valid.
constexpr int32_t PATTERN_COUNT = 13;

// Fills nSize bytes at pBuffer with test pattern nPattern, words stored
// little-endian from the start of the buffer. Pattern 0 writes nothing: the
// buffer is expected to be freshly allocated, that is zero. False, and
// nothing written, for an index outside 0 to 12.
bool FillPattern(int32_t nPattern, uint8_t* pBuffer, uint32_t nSize);

// Appends a record to g_DataErrors for every 32-bit word of the first nBytes
// that differs, while the list has room; differences beyond it are dropped.
void RecordDataErrors(const uint8_t* pExpected, const uint8_t* pActual, uint32_t nBytes, uint32_t nTransferSize);
