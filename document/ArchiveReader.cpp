#include "document/ArchiveReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <utility>

CArchiveReader::CArchiveReader(const void* pData, size_t nSize, std::string strPathName)
    : m_pData(static_cast<const uint8_t*>(pData)), m_nSize(pData ? nSize : 0),
      m_strPathName(std::move(strPathName))
{
}

CArchiveReader::CArchiveReader(int fd, uint64_t nSize, std::string strPathName)
    : m_fd(fd), m_nSize(nSize), m_strPathName(std::move(strPathName))
{
}

bool CArchiveReader::Fail(ArchiveError error)
{
    if (m_error == ArchiveError::None)
        m_error = error;
    return false;
}

bool CArchiveReader::ReadBytes(void* pBuffer, size_t nBytes)
{
    if (m_error != ArchiveError::None)
        return false;
    if (nBytes > Remaining())
        return Fail(ArchiveError::EndOfFile);
    auto* pOut = static_cast<uint8_t*>(pBuffer);
    if (m_pData) {
        if (nBytes)
            std::memcpy(pOut, m_pData + m_nPos, nBytes);
        m_nPos += nBytes;
        return true;
    }
    while (nBytes > 0) {
        if (m_nBlockPos == m_block.size()) {
            m_block.resize(BLOCK_SIZE);
            ssize_t nRead;
            do
                nRead = ::read(m_fd, m_block.data(), m_block.size());
            while (nRead < 0 && errno == EINTR);
            if (nRead < 0) {
                m_block.clear();
                return Fail(ArchiveError::Generic);
            }
            m_block.resize(static_cast<size_t>(nRead));
            m_nBlockPos = 0;
            if (nRead == 0)   // the file shrank under us
                return Fail(ArchiveError::EndOfFile);
        }
        const size_t nTake = std::min(nBytes, m_block.size() - m_nBlockPos);
        if (pOut) {
            std::memcpy(pOut, m_block.data() + m_nBlockPos, nTake);
            pOut += nTake;
        }
        m_nBlockPos += nTake;
        m_nPos += nTake;
        nBytes -= nTake;
    }
    return true;
}

bool CArchiveReader::ReadByte(uint8_t& nValue)
{
    uint8_t b;
    if (!ReadBytes(&b, 1))
        return false;
    nValue = b;
    return true;
}

bool CArchiveReader::ReadWord(uint16_t& nValue)
{
    uint8_t b[2];
    if (!ReadBytes(b, sizeof b))
        return false;
    nValue = static_cast<uint16_t>(b[0] | b[1] << 8);
    return true;
}

bool CArchiveReader::ReadDword(uint32_t& nValue)
{
    uint8_t b[4];
    if (!ReadBytes(b, sizeof b))
        return false;
    nValue = uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
    return true;
}

bool CArchiveReader::ReadInt32(int32_t& nValue)
{
    uint32_t n;
    if (!ReadDword(n))
        return false;
    nValue = static_cast<int32_t>(n);
    return true;
}

bool CArchiveReader::ReadQword(uint64_t& nValue)
{
    uint32_t nLow, nHigh;
    if (!ReadDword(nLow) || !ReadDword(nHigh))
        return false;
    nValue = uint64_t{nHigh} << 32 | nLow;
    return true;
}

bool CArchiveReader::Skip(uint64_t nBytes)
{
    if (m_error != ArchiveError::None)
        return false;
    if (nBytes > Remaining())
        return Fail(ArchiveError::EndOfFile);
    if (m_pData) {
        m_nPos += nBytes;
        return true;
    }
    return ReadBytes(nullptr, static_cast<size_t>(nBytes));
}

// The length prefix grows in steps: a byte, then a word after 0xFF, a dword
// after 0xFFFF, a qword after 0xFFFFFFFF. The pair 0xFF, 0xFFFE marks a
// string of 16-bit characters, and the prefix starts over after it.
bool CArchiveReader::ReadStringLength(uint64_t& nLength, bool& bWide)
{
    bWide = false;
    uint8_t nByte;
    if (!ReadByte(nByte))
        return false;
    if (nByte < 0xFF) {
        nLength = nByte;
        return true;
    }
    uint16_t nWord;
    if (!ReadWord(nWord))
        return false;
    if (nWord == 0xFFFE) {
        bWide = true;
        if (!ReadByte(nByte))
            return false;
        if (nByte < 0xFF) {
            nLength = nByte;
            return true;
        }
        if (!ReadWord(nWord))
            return false;
    }
    if (nWord < 0xFFFF) {
        nLength = nWord;
        return true;
    }
    uint32_t nDword;
    if (!ReadDword(nDword))
        return false;
    if (nDword < 0xFFFFFFFF) {
        nLength = nDword;
        return true;
    }
    return ReadQword(nLength);
}

bool CArchiveReader::ReadString(std::string& strValue)
{
    uint64_t nLength;
    bool bWide;
    if (!ReadStringLength(nLength, bWide))
        return false;
    // A length the framework could never have written is a damaged file, not
    // a short one; neither kind gets memory before the check.
    if (nLength > MAX_STRING_LENGTH)
        return Fail(ArchiveError::Generic);
    const uint64_t nBytes = bWide ? nLength * 2 : nLength;
    if (nBytes > Remaining())
        return Fail(ArchiveError::EndOfFile);
    std::string raw(static_cast<size_t>(nBytes), '\0');
    if (!ReadBytes(raw.data(), raw.size()))
        return false;
    strValue = bWide ? Utf16LeToUtf8(reinterpret_cast<const uint8_t*>(raw.data()), nLength)
                     : AnsiToUtf8(raw);
    return true;
}

namespace {
void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Windows-1252 bytes 0x80..0x9F; the five unassigned ones keep their C1 code
// points, as the Windows conversion does.
constexpr uint16_t CP1252_HIGH[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
}

std::string Utf16LeToUtf8(const uint8_t* pUnits, size_t nUnits)
{
    std::string out;
    out.reserve(nUnits);
    for (size_t i = 0; i < nUnits; ++i) {
        uint32_t cp = pUnits[2 * i] | pUnits[2 * i + 1] << 8;
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < nUnits) {
            const uint32_t low = pUnits[2 * i + 2] | pUnits[2 * i + 3] << 8;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp & 0x3FF) << 10 | (low & 0x3FF));
                ++i;
            }
        }
        if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = 0xFFFD;
        AppendUtf8(out, cp);
    }
    return out;
}

bool IsValidUtf8(const std::string& strText)
{
    const auto* p = reinterpret_cast<const uint8_t*>(strText.data());
    const size_t n = strText.size();
    for (size_t i = 0; i < n;) {
        const uint8_t b = p[i];
        size_t nMore;
        uint32_t cp, nMin;
        if (b < 0x80) {
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            nMore = 1, cp = b & 0x1F, nMin = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            nMore = 2, cp = b & 0x0F, nMin = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            nMore = 3, cp = b & 0x07, nMin = 0x10000;
        } else {
            return false;
        }
        if (nMore > n - i - 1)
            return false;
        for (size_t k = 1; k <= nMore; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = cp << 6 | (p[i + k] & 0x3F);
        }
        if (cp < nMin || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += nMore + 1;
    }
    return true;
}

std::string AnsiToUtf8(const std::string& strText)
{
    if (IsValidUtf8(strText))
        return strText;
    std::string out;
    out.reserve(strText.size() * 2);
    for (const char c : strText) {
        const auto b = static_cast<uint8_t>(c);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? CP1252_HIGH[b - 0x80] : b);
    }
    return out;
}
