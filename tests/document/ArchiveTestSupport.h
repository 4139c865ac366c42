#pragma once

#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

// Builds archive bytes field by field, in the framework's encoding.
class ArchiveBytes
{
public:
    ArchiveBytes& Byte(uint8_t b) { m_bytes.push_back(static_cast<char>(b)); return *this; }
    ArchiveBytes& Word(uint16_t w) { return Byte(w & 0xFF).Byte(w >> 8); }
    ArchiveBytes& Dword(uint32_t d) { return Word(d & 0xFFFF).Word(d >> 16); }
    ArchiveBytes& Qword(uint64_t q) { return Dword(static_cast<uint32_t>(q)).Dword(static_cast<uint32_t>(q >> 32)); }
    ArchiveBytes& Raw(const std::string& s) { m_bytes += s; return *this; }
    ArchiveBytes& Length(uint64_t n)
    {
        if (n < 0xFF)
            return Byte(static_cast<uint8_t>(n));
        Byte(0xFF);
        if (n < 0xFFFF)
            return Word(static_cast<uint16_t>(n));
        Word(0xFFFF);
        if (n < 0xFFFFFFFF)
            return Dword(static_cast<uint32_t>(n));
        return Dword(0xFFFFFFFF).Qword(n);
    }
    ArchiveBytes& Str(const std::string& s) { return Length(s.size()).Raw(s); }
    // UTF-16 little-endian: the marker, then the length in code units.
    ArchiveBytes& WStr(const std::u16string& s)
    {
        Byte(0xFF).Word(0xFFFE).Length(s.size());
        for (char16_t c : s)
            Word(static_cast<uint16_t>(c));
        return *this;
    }
    // Marks the end of a field, for truncation tests.
    ArchiveBytes& Mark() { m_marks.push_back(m_bytes.size()); return *this; }

    const std::string& Bytes() const { return m_bytes; }
    const std::vector<size_t>& Marks() const { return m_marks; }

private:
    std::string m_bytes;
    std::vector<size_t> m_marks;
};

// Records every message box instead of showing it.
class MessageRecorder
{
public:
    MessageRecorder()
    {
        m_old = SetMessageBoxHandler([this](const char* pszText, unsigned nType) {
            m_boxes.emplace_back(pszText, nType);
            return DefaultMessageBoxAnswer(nType);
        });
    }
    ~MessageRecorder() { SetMessageBoxHandler(std::move(m_old)); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const std::vector<std::pair<std::string, unsigned>>& Boxes() const { return m_boxes; }
    void Clear() { m_boxes.clear(); }
    // The one box shown, or a note that there was not exactly one.
    std::pair<std::string, unsigned> Only() const
    {
        if (m_boxes.size() != 1)
            return {"<" + std::to_string(m_boxes.size()) + " boxes>", 0xFFFF};
        return m_boxes.front();
    }

private:
    MessageBoxHandler m_old;
    std::vector<std::pair<std::string, unsigned>> m_boxes;
};

// A fresh directory under the system's temporary directory, removed at the end.
class TempDir
{
public:
    TempDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "tarnwick-doc-XXXXXX").string();
        if (::mkdtemp(tmpl.data()))
            m_path = tmpl;
    }
    ~TempDir()
    {
        std::error_code ec;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& Path() const { return m_path; }

    std::string Write(const std::string& name, const std::string& bytes) const
    {
        const std::string path = File(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

private:
    std::filesystem::path m_path;
};

inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
