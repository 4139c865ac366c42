#pragma once

#include <cstdint>
#include <string>

// The text form of a rate, shared by the results table, the chart's bars and
// the Scale Factor list. No state: the worker and the window thread may both
// call these at once.

// Display units: the positions of the Units list.
enum : int
{
    UNITS_DECIMAL = 0,   // "MB/s"
    UNITS_BINARY = 1,    // "MiB/s"
    UNITS_IOPS = 2,      // "IO/s"
};

// The longest text (the largest 64-bit value as IO/s) has 17 characters.
constexpr int RATE_TEXT_SIZE = 20;

// Writes the text of nValue in the family of nUnit into pszBuffer (at least
// RATE_TEXT_SIZE characters); any other unit leaves the buffer untouched.
void FormatRate(char* pszBuffer, uint64_t nValue, int nUnit);
void FormatDecimalRate(char* pszBuffer, uint64_t nValue);
void FormatBinaryRate(char* pszBuffer, uint64_t nValue);
void FormatIoRate(char* pszBuffer, uint64_t nValue);

// The same as a string; empty for an unknown unit.
std::string FormatRateText(uint64_t nValue, int nUnit);
