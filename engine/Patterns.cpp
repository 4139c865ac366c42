#include "engine/Patterns.h"

#include "engine/EngineGlobals.h"
#include "engine/TestFile.h"

#include <cstring>

namespace {

void Store32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

uint32_t Load32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16
        | static_cast<uint32_t>(p[3]) << 24;
}

// Patterns 1 to 9: one 32-bit value repeated.
constexpr uint32_t FIXED_WORDS[] = {
    0xFFFFFFFF, 0x00FF00FF, 0xFF00FF00, 0xAA55AA55, 0x55AA55AA, 0x33CC33CC, 0xCC33CC33, 0x66996699, 0x99669966,
};

constexpr uint32_t RANDOM_SEED = 12343;
constexpr uint32_t DECREMENT_START = 0x3FFFF;

}

bool FillPattern(int32_t nPattern, uint8_t* pBuffer, uint32_t nSize)
{
    if (nPattern < 0 || nPattern >= PATTERN_COUNT)
        return false;
    const uint32_t nWords = nSize / 4;
    if (nPattern >= 1 && nPattern <= 9) {
        const uint32_t v = FIXED_WORDS[nPattern - 1];
        for (uint32_t i = 0; i < nWords; ++i)
            Store32(pBuffer + 4 * i, v);
    } else if (nPattern == 10) {
        for (uint32_t i = 0; i < nWords; ++i)
            Store32(pBuffer + 4 * i, i);
    } else if (nPattern == 11) {
        for (uint32_t i = 0; i < nWords; ++i)
            Store32(pBuffer + 4 * i, DECREMENT_START - i);   // wraps modulo 2^32 past word 262143
    } else if (nPattern == 12) {
        // Fixed seed, so every run writes the same sequence.
        uint32_t state = RANDOM_SEED;
        for (uint32_t i = 0; i < nSize / 2; ++i) {
            state = state * 1103515245u + 12345u;
            const uint16_t w = static_cast<uint16_t>((state >> 16) % 32767u);
            pBuffer[2 * i] = static_cast<uint8_t>(w);
            pBuffer[2 * i + 1] = static_cast<uint8_t>(w >> 8);
        }
    }
    return true;
}

void RecordDataErrors(const uint8_t* pExpected, const uint8_t* pActual, uint32_t nBytes, uint32_t nTransferSize)
{
    const uint32_t nWords = nBytes / 4;
    // A sound block is the common case: one fast comparison decides it.
    if (std::memcmp(pExpected, pActual, static_cast<size_t>(nWords) * 4) == 0)
        return;
    for (uint32_t j = 0; j < nWords && g_nDataErrors < MAX_DATA_ERRORS; ++j) {
        const uint32_t expected = Load32(pExpected + 4 * j);
        const uint32_t actual = Load32(pActual + 4 * j);
        if (expected != actual)
            g_DataErrors[g_nDataErrors++] = {nTransferSize, j, expected, actual};
    }
}

bool CTestFile::LoadPattern(int32_t nPattern, uint32_t nSize)
{
    if (nPattern < 0 || nPattern >= PATTERN_COUNT)
        return false;
    // Never past the buffer that was allocated.
    if (!m_pWriteBuffer)
        return true;
    return FillPattern(nPattern, m_pWriteBuffer, nSize < m_nBufferSize ? nSize : m_nBufferSize);
}

void CTestFile::CompareBuffers()
{
    if (!m_pWriteBuffer || !m_pReadBuffer)
        return;
    // The transfer size is the run's; the buffers bound what may be read.
    const uint32_t nBytes = g_dwTransferSize < m_nBufferSize ? g_dwTransferSize : m_nBufferSize;
    RecordDataErrors(m_pWriteBuffer, m_pReadBuffer, nBytes, g_dwTransferSize);
}
