#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Why reading an archive stopped. The two failures carry the framework's two
// texts: a file that ends inside a field, and anything else it cannot hold.
enum class ArchiveError
{
    None,
    EndOfFile,   // "Unexpected file format."
    Generic,     // "Failed to open document."
};

// Reads the framework's binary archive encoding: little-endian numbers packed
// without padding and length-prefixed strings. Reads either a byte range in
// memory or an open file descriptor. The first failure sticks: every later
// read fails too and Error() tells which one came first, so a caller can read
// a whole layout and check once.
//
// Nothing read from the file sizes an allocation before it is checked against
// the bytes that are really left, so a hostile length cannot exhaust memory.
class CArchiveReader
{
public:
    // Reads nSize bytes at pData; the memory must outlive the reader.
    CArchiveReader(const void* pData, size_t nSize, std::string strPathName = {});
    // Reads nSize bytes from the descriptor's current position (not owned).
    CArchiveReader(int fd, uint64_t nSize, std::string strPathName);
    CArchiveReader(const CArchiveReader&) = delete;
    CArchiveReader& operator=(const CArchiveReader&) = delete;

    // The path of the file being read (empty for memory).
    const std::string& GetPathName() const { return m_strPathName; }

    bool ReadByte(uint8_t& nValue);
    bool ReadWord(uint16_t& nValue);
    bool ReadDword(uint32_t& nValue);
    bool ReadInt32(int32_t& nValue);
    bool ReadQword(uint64_t& nValue);
    bool Skip(uint64_t nBytes);
    // An archive string, 8-bit or UTF-16, as UTF-8 text.
    bool ReadString(std::string& strValue);

    ArchiveError Error() const { return m_error; }
    uint64_t Remaining() const { return m_nSize - m_nPos; }

    // The longest string the framework can hold, in characters.
    static constexpr uint64_t MAX_STRING_LENGTH = 0x7FFFFFFF;

private:
    bool ReadBytes(void* pBuffer, size_t nBytes);
    bool Fail(ArchiveError error);
    bool ReadStringLength(uint64_t& nLength, bool& bWide);

    const uint8_t* m_pData = nullptr;
    int m_fd = -1;
    uint64_t m_nSize = 0;
    uint64_t m_nPos = 0;
    ArchiveError m_error = ArchiveError::None;
    std::string m_strPathName;

    // Buffered file input: the file is read in blocks, not byte by byte.
    static constexpr size_t BLOCK_SIZE = 65536;
    std::string m_block;
    size_t m_nBlockPos = 0;
};

// Text conversions for archive strings. Both always give valid UTF-8.
// UTF-16 little-endian code units; a lone surrogate becomes U+FFFD.
std::string Utf16LeToUtf8(const uint8_t* pUnits, size_t nUnits);
// 8-bit text that is already valid UTF-8 is kept; other text was written in a
// Windows ANSI code page and is read as Windows-1252.
std::string AnsiToUtf8(const std::string& strText);
bool IsValidUtf8(const std::string& strText);
