// tarnwick-runner: one benchmark run on a terminal, for scripts and for the
// comparison with fio. It drives the same worker as the window.

#include "ConsoleWindow.h"
#include "RunnerOptions.h"

#include "document/BenchDoc.h"
#include "engine/BenchmarkThread.h"
#include "engine/EngineGlobals.h"
#include "engine/TestFile.h"
#include "platform/Clock.h"
#include "util/CommandLineOptions.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

namespace {

// Ctrl-C stops the run the way the Cancel button does: the worker finishes
// the request in hand and the test file goes away.
void OnInterrupt(int)
{
    g_bStopTest.store(true);
}

void InstallInterruptHandler()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

long PeakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;   // kilobytes on Linux
}

void FillDocument(CBenchDoc& doc, const RunnerOptions& options)
{
    doc.drive = options.strTarget;
    doc.iosize1 = options.nFirstSize;
    doc.iosize2 = options.nLastSize;
    doc.runiosize1 = options.nFirstSize;
    doc.runiosize2 = options.nLastSize;
    doc.filesize = options.nFileSize;
    doc.directio = options.bDirect;
    doc.bypasswritecache = options.bWriteThrough;
    doc.pattern = options.nPattern;
    doc.continuousio = 0;
    doc.ChooseQueueDepth(options.nQueueDepth);
    doc.SetVerifyData(options.bVerify);
    doc.ResetRates();
}

}

int main(int argc, char** argv)
{
    RunnerOptions options;
    std::string strError;
    if (!ParseRunnerOptions(argc, argv, options, strError))
    {
        if (strError.empty())
        {
            std::fputs(RunnerUsage(), stdout);
            return 0;
        }
        std::fprintf(stderr, "tarnwick-runner: %s\n%s", strError.c_str(), RunnerUsage());
        return 2;
    }
    // A transfer larger than the file would have no buffer to come from.
    uint64_t nLargest = g_TransferSizes[options.nLastSize].bytes;
    if (options.nFirstSize <= options.nLastSize && nLargest > options.nFileSize)
    {
        std::fprintf(stderr, "tarnwick-runner: the file (%llu bytes) is smaller than the largest transfer size (%llu bytes)\n",
                     static_cast<unsigned long long>(options.nFileSize), static_cast<unsigned long long>(nLargest));
        return 2;
    }

    CommandLineOptions commandLine{};
    commandLine.bKeepTestFile = options.bKeep;
    g_pCommandLineOptions = &commandLine;

    CBenchDoc doc;
    FillDocument(doc, options);
    std::string strPath = options.strTarget;
    if (strPath.empty() || strPath.back() != '/')
        strPath += '/';
    g_szTestFile = strPath + "benchtst.$$$";
    g_bStopTest = false;

    CTestFile file;
    file.Reset();
    // The queue lives in the test file until Close; its name is asked for
    // once Open has set it up, when the automatic choice has been made.
    CIoQueue* pQueue = nullptr;
    if (doc.queuedepth > 1)
    {
        file.SetQueueFactory([&options, &pQueue]() {
            std::unique_ptr<CIoQueue> pNew = CreateIoQueue(options.backend);
            pQueue = pNew.get();
            return pNew;
        });
    }

    CConsoleWindow window(doc, options.bMachine);
    window.SetOnInProgress([&]() {
        if (!options.bMachine)
            std::printf("%s, file %llu bytes, queue depth %u (%s)%s%s%s, pattern %d\n", g_szTestFile.c_str(),
                        static_cast<unsigned long long>(doc.filesize), doc.queuedepth,
                        doc.queuedepth == 1 ? "synchronous" : pQueue ? pQueue->Name() : "no queue",
                        doc.directio ? ", direct" : "", doc.bypasswritecache ? ", write-through" : "",
                        doc.verifydata ? ", verify" : "", doc.pattern);
        window.PrintHeader();
    });
    InstallInterruptHandler();

    BenchRun run;
    run.pDoc = &doc;
    run.pTestFile = &file;
    run.pWindow = &window;
    run.pClock = &GetSystemClock();
    run.nUnits = options.nUnits;
    const uint32_t nResult = BenchmarkThread(run);
    file.Close();
    window.PrintUnfinishedRows();

    if (options.bMachine)
        std::printf("peak_rss_kib %ld\n", PeakResidentKiB());
    else
        std::printf("peak resident memory: %ld KiB\n", PeakResidentKiB());
    g_pCommandLineOptions = nullptr;
    if (nResult != 0 || window.Failed())
        return 1;
    return g_bStopTest.load() ? 130 : 0;
}
