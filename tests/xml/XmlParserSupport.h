#pragma once

// Helpers of the loader's tests: a compact text of a tree, and real files in a temporary folder.

#include "xml/Xml.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace xmltest {

// One line per tree: Element "a", Value a="text", named Text a#"text", unnamed Text #"text",
// Custom a@; attributes as {name=value,...}; children in [...] separated by ",".
inline std::string Describe(XmlNode* pNode);

inline std::string DescribeChildren(XmlNode* pNode)
{
    std::string text;
    for (XmlNode* pChild = pNode->pFirstChild; pChild; pChild = pChild->pNext) {
        if (!text.empty())
            text += ",";
        text += Describe(pChild);
    }
    return text;
}

inline std::string Describe(XmlNode* pNode)
{
    std::string text = pNode->pszName ? pNode->pszName : "";
    if (pNode->pFirstAttribute) {
        text += "{";
        for (XmlAttribute* p = pNode->pFirstAttribute; p; p = p->pNext) {
            text += p->pszName;
            if (p->pszValue)
                text += std::string("=") + p->pszValue;
            if (p->pNext)
                text += ",";
        }
        text += "}";
    }
    if (pNode->nType == XML_VALUE)
        text += std::string("=\"") + (pNode->value.pszText ? pNode->value.pszText : "") + "\"";
    else if (pNode->nType == XML_TEXT)
        text += std::string("#\"") + (pNode->value.pszText ? pNode->value.pszText : "") + "\"";
    else if (pNode->nType == XML_CUSTOM)
        text += "@";
    if (pNode->pFirstChild)
        text += "[" + DescribeChildren(pNode) + "]";
    return text;
}

inline std::string DescribeDocument(XmlDocument* pDoc)
{
    return DescribeChildren(&pDoc->root);
}

// A folder of its own under the system's temporary folder, removed with its files at the end.
class CTempFolder
{
public:
    CTempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarnwick-xml-XXXXXX").string();
        m_path = mkdtemp(pattern.data()) ? pattern : std::string();
        EXPECT_FALSE(m_path.empty());
    }
    ~CTempFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    // Writes the bytes exactly as given and returns the file's path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::string path = m_path + "/" + name;
        std::FILE* pFile = std::fopen(path.c_str(), "wb");
        EXPECT_NE(pFile, nullptr);
        if (pFile) {
            EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), pFile), bytes.size());
            std::fclose(pFile);
        }
        return path;
    }

    std::string Path(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// UTF-16 bytes of the units, in the byte order asked for.
inline std::string Utf16Bytes(const std::u16string& units, bool bBigEndian)
{
    std::string bytes;
    for (char16_t unit : units) {
        char high = static_cast<char>(unit >> 8);
        char low = static_cast<char>(unit & 0xFF);
        bytes += bBigEndian ? high : low;
        bytes += bBigEndian ? low : high;
    }
    return bytes;
}

} // namespace xmltest
