#include "document/BenchTables.h"

const TransferSize g_TransferSizes[NUM_TRANSFER_SIZES] = {
    {"512 B", 512},          {"1 KiB", 1024},         {"2 KiB", 2048},         {"4 KiB", 4096},
    {"8 KiB", 8192},         {"16 KiB", 16384},       {"32 KiB", 32768},       {"64 KiB", 65536},
    {"128 KiB", 131072},     {"256 KiB", 262144},     {"512 KiB", 524288},     {"1 MiB", 1048576},
    {"2 MiB", 2097152},      {"4 MiB", 4194304},      {"8 MiB", 8388608},      {"12 MiB", 12582912},
    {"16 MiB", 16777216},    {"24 MiB", 25165824},    {"32 MiB", 33554432},    {"48 MiB", 50331648},
    {"64 MiB", 67108864},
};

const char* const g_FileSizeLabels[NUM_FILE_SIZES] = {
    "64 KiB", "128 KiB", "256 KiB", "512 KiB", "1 MiB",  "2 MiB",  "4 MiB",  "8 MiB",  "16 MiB", "32 MiB",
    "64 MiB", "128 MiB", "256 MiB", "512 MiB", "1 GiB",  "2 GiB",  "4 GiB",  "8 GiB",  "16 GiB", "32 GiB",
};

const uint16_t g_QueueDepths[NUM_QUEUE_DEPTHS] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 16, 32, 64, 128, 256};

const char* const g_PatternNames[NUM_PATTERNS] = {
    "00000000", "FFFFFFFF", "00FF00FF", "FF00FF00", "AA55AA55", "55AA55AA", "33CC33CC",
    "CC33CC33", "66996699", "99669966", "Increment", "Decrement", "Random",
};

int FileSizePosition(uint64_t nFileSize)
{
    for (int bit = 16; bit < 64; ++bit)
        if (nFileSize & (uint64_t{1} << bit))
            return bit - 16;
    return -1;   // no bit at or above 64 KiB: no position
}
