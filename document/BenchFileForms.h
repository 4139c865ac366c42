#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

class CBenchDoc;

// The document's file routines, shared by its open and save overrides and the
// tests. Not part of the document's interface to the window.

// Whether the last three characters of a path, lowercased, are pszSuffix
// ("bmk", "tst"); the name's extension is not otherwise looked at.
bool PathEndsWith(std::string_view strPath, std::string_view strSuffix);

// Result of reading the XML form.
enum : int
{
    XML_READ_OK = 0,          // settings (and any rates) read
    XML_READ_NOT_BENCH = 1,   // XML, but a setting is missing or unreadable
    XML_READ_NOT_XML = 2,     // the file did not load as XML
};
int ReadXmlForm(CBenchDoc& doc, const char* pszPathName);
int ReadXmlText(CBenchDoc& doc, const char* pszText);
// Reads an open stream as the file would be read (CR LF as LF); the caller closes it.
int ReadXmlStream(CBenchDoc& doc, std::FILE* pFile);

// The XML form as text with LF line ends; false if the tree could not be built.
bool BuildXmlText(const CBenchDoc& doc, std::string& strText);

// Writes the bytes to pszPathName so that the old file survives any failure:
// a temporary file in the same directory, flushed to disk, renamed over the
// target only when complete, removed otherwise.
bool WriteFileReplacing(const char* pszPathName, std::string_view bytes);

// Writes the XML form (CR LF line ends) with WriteFileReplacing.
bool WriteXmlForm(const CBenchDoc& doc, const char* pszPathName);

// Opens the file as an archive and reads it with Serialize, showing the
// framework's texts for a damaged file. False when the open failed.
bool ReadArchiveForm(CBenchDoc& doc, const char* pszPathName);

// Test seam for WriteFileReplacing: called instead of write(2) when set.
using FileWriteHook = std::function<long(int fd, const void* pData, size_t nBytes)>;
FileWriteHook SetFileWriteHook(FileWriteHook hook);
