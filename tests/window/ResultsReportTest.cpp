#include "document/BenchDoc.h"
#include "window/RateFormat.h"
#include "window/ResultsReport.h"

#include <gtest/gtest.h>

// The table an unattended run prints: a heading naming the document and its
// target, then one line per size of the range with both rates in the chosen
// unit (bytes per second when the window shows IO/s) and both I/O counts,
// "-" for what was not measured.
TEST(ResultsReport, OneLinePerSizeOfTheRange)
{
    CBenchDoc doc;
    doc.OnNewDocument();
    doc.drive = "/mnt/disk";
    doc.SetPathName("/tests/t.bmk");
    doc.iosize1 = 3;
    doc.iosize2 = 4;
    doc.rates[3].writebps = 100000000;
    doc.rates[3].writeiops = 24414;
    doc.rates[3].readbps = 250000000;
    doc.rates[3].readiops = 61035;
    doc.rates[3].flags = 15;
    doc.rates[4].writebps = 1500;
    doc.rates[4].writeiops = 1;
    doc.rates[4].flags = RATE_WRITEBPS | RATE_WRITEIOPS;   // its read phase never ran

    const std::string heading = "Results for t.bmk (/mnt/disk):\n"
                                "Transfer Size            Write             Read   Write IO/s    Read IO/s\n";
    const std::string decimal = heading +
                                "        4 KiB         100 MB/s         250 MB/s        24414        61035\n"
                                "        8 KiB        1.50 KB/s                -            1            -\n";
    struct Case
    {
        int nUnits;
        std::string expected;
    } cases[] = {
        {UNITS_DECIMAL, decimal},
        {UNITS_BINARY, heading + "        4 KiB      95.37 MiB/s     238.42 MiB/s        24414        61035\n"
                                 "        8 KiB       1.46 KiB/s                -            1            -\n"},
        {UNITS_IOPS, decimal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nUnits);
        EXPECT_EQ(FormatResultsReport(doc, c.nUnits), c.expected);
    }

    // A range the sector-size adjustment emptied.
    doc.iosize1 = 3;
    doc.iosize2 = 0;
    const std::string empty = FormatResultsReport(doc, UNITS_DECIMAL);
    EXPECT_NE(empty.find("No transfer size was measured.\n"), std::string::npos) << empty;
}
