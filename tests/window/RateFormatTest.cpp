#include "window/RateFormat.h"

#include <gtest/gtest.h>

TEST(RateText, ExamplesInEachUnitFamily)
{
    struct Case { uint64_t value; int unit; const char* text; };
    const Case cases[] = {
        {123456789, UNITS_DECIMAL, "123.46 MB/s"},
        {100000000, UNITS_DECIMAL, "100 MB/s"},
        {999999999, UNITS_DECIMAL, "1000 MB/s"},
        {999, UNITS_DECIMAL, "999 B"},
        {0, UNITS_DECIMAL, "0 B"},
        {1000, UNITS_DECIMAL, "1 KB/s"},
        {12500000, UNITS_DECIMAL, "12.50 MB/s"},
        {1536, UNITS_BINARY, "1.50 KiB/s"},
        {100ull << 20, UNITS_BINARY, "100 MiB/s"},
        {1023, UNITS_BINARY, "1023 B"},
        {1024, UNITS_BINARY, "1 KiB/s"},
        {1500, UNITS_IOPS, "1.50K IO/s"},
        {10000000, UNITS_IOPS, "10M IO/s"},
        {2500000000000000ull, UNITS_IOPS, "2500T IO/s"},
        {0, UNITS_IOPS, "0 IO/s"},
        {UINT64_MAX, UNITS_IOPS, "18446744.07T IO/s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatRateText(c.value, c.unit), c.text);
    }
}

TEST(RateText, UnknownUnitLeavesBufferAlone)
{
    char sz[RATE_TEXT_SIZE] = "keep";
    FormatRate(sz, 1000, 3);
    EXPECT_STREQ(sz, "keep");
}
