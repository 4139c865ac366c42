#include "util/Usage.h"

#include "util/MessageOutput.h"

const char USAGE_TEXT[] =
    "\nOptions:\n\n"
    "-f {filename}  :Open a benchmark test file.\n\n"
    "-g {filename}  :Log errors to the specified file. If a log file is not specified, a log will be "
    "created in the same directory as the test file with the same filename, but with the .log "
    "extension.\n\n"
    "-k  :Leave the test file on the drive after the test completes.  It will be overwritten if "
    "another test is started.\n\n"
    "-x  :Automatically run the specified test (-f {filename}), save the results and exit the "
    "program.  This allows tests to be scripted.\n\n";

void ShowUsage(unsigned nFlags)
{
    if (nFlags & USAGE_SHOW_TEXT)
        OutputUsageBox(USAGE_TEXT);
}
