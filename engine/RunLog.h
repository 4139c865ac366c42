#pragma once

#include "engine/EngineGlobals.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

class CBenchDoc;

// The run log: one text file, appended to entry by entry, that holds the
// data-integrity errors of a run or the messages of an unattended run.

// Where the log goes: untitled documents log beside the test ("DataError.log"
// in the target), -g names it for saved ones, otherwise the result file's
// name ending in "log".
std::string LogFileName(const CBenchDoc& doc);

// A short size text ("512  B", "4 KB", "12.50 KB"); false when it does not fit.
bool FormatSize(char* pszBuffer, size_t nBufferSize, uint64_t nBytes);

// The entries, CR LF ended, as they are appended.
std::string FormatLogTimeLine(std::time_t now);
std::string FormatLogMessage(const std::string& strTitle, const char* pszText);
std::string FormatLogErrorList(const std::string& strTitle, const std::string& strDrive,
                               const DataErrorRecord* pRecords, int nRecords);
// One line of the "Data Integrity Errors" list box.
std::string FormatErrorDialogLine(const DataErrorRecord& record);

// Appends one entry: the time line, then pszText, or the error list when it
// is null. Shows "Could not open log file." when the file cannot be opened
// (even unattended) and, interactively, the box that names the file. While
// unattended every entry is also printed to standard output. Returns false
// when nothing could be written.
bool WriteLog(const CBenchDoc& doc, const char* pszText, std::time_t now = std::time(nullptr));
