#pragma once

#include <cstdint>

// The fixed tables of allowed settings. A transfer-size index is a row of the
// results table and a position in the form's two size lists.
constexpr int NUM_TRANSFER_SIZES = 21;
constexpr int NUM_FILE_SIZES = 20;
constexpr int NUM_QUEUE_DEPTHS = 15;
constexpr int NUM_PATTERNS = 13;

struct TransferSize
{
    const char* label;
    uint32_t bytes;
};

extern const TransferSize g_TransferSizes[NUM_TRANSFER_SIZES];
// "64 KiB" .. "32 GiB": file size 65536 << position.
extern const char* const g_FileSizeLabels[NUM_FILE_SIZES];
extern const uint16_t g_QueueDepths[NUM_QUEUE_DEPTHS];
extern const char* const g_PatternNames[NUM_PATTERNS];

constexpr uint64_t FileSizeAt(int nPosition) { return uint64_t{65536} << nPosition; }
// The list position of a file size: its lowest set bit at or above bit 16, minus 16.
int FileSizePosition(uint64_t nFileSize);
