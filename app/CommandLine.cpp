#include "app/CommandLine.h"

#include "util/CommandLineOptions.h"
#include "util/MessageOutput.h"
#include "util/Messages.h"
#include "util/OptionParser.h"
#include "util/OptionTable.h"

namespace {
// One entry of the table; false after the check that failed has spoken.
// A failing check ends the program, which frees the table and the record:
// after a false check neither pEntry nor g_pCommandLineOptions may be read.
bool TakeOption(const OptionEntry* pEntry)
{
    if (!CheckUniqueOption(pEntry))
        return false;
    switch (pEntry->cLetter) {
    case 'f':
        if (!CheckHasArgument(pEntry))
            return false;
        g_pCommandLineOptions->pszTestFile = pEntry->pszArgument;
        return true;
    case 'g':
        if (!CheckHasArgument(pEntry))
            return false;
        g_pCommandLineOptions->pszLogFile = pEntry->pszArgument;
        return true;
    case 'k':
        if (!CheckNoArgument(pEntry))
            return false;
        g_pCommandLineOptions->bKeepTestFile = 1;
        return true;
    case 'x':
        if (!CheckNoArgument(pEntry))
            return false;
        g_pCommandLineOptions->bUnattended = 1;
        return true;
    default:
        ReportInvalidOption(pEntry);
        return false;
    }
}
}

bool ReadCommandLine(int argc, const char* const* argv)
{
    // A failed allocation has been reported and the quit requested already.
    if (!CreateOptionTables())
        return false;
    if (!ParseOptions(argc, argv))
        return false;
    // GetOptionEntry reads the table afresh for every slot, so the walk ends
    // cleanly should a check have freed it.
    for (int i = 0; const OptionEntry* pEntry = GetOptionEntry(i); ++i)
        if (!TakeOption(pEntry))
            return false;
    if (IsQuitRequested() || !g_pCommandLineOptions)
        return false;
    if (g_pCommandLineOptions->bUnattended && !g_pCommandLineOptions->pszTestFile) {
        OptionError(-1, "Error: -x argument requires -f argument.");
        return false;
    }
    if (!FinishOptions())
        return false;
    return !IsQuitRequested();
}
