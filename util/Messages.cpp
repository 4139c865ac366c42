#include "util/Messages.h"

#include "util/CommandLineOptions.h"
#include "util/MessageOutput.h"
#include "util/OptionTable.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {
// vsnprintf never writes past the buffer and always terminates it; an
// encoding failure leaves an empty text rather than an undefined one.
void FormatInto(char* pszBuffer, std::size_t nSize, const char* pszFormat, std::va_list args)
{
    if (!pszFormat || std::vsnprintf(pszBuffer, nSize, pszFormat, args) < 0)
        pszBuffer[0] = '\0';
}
}

void PrintMessage(const char* pszFormat, ...)
{
    char szText[PRINT_MESSAGE_BUFFER];
    std::va_list args;
    va_start(args, pszFormat);
    FormatInto(szText, sizeof szText, pszFormat, args);
    va_end(args);
    InfoBox(szText);
}

void ShowMessage(int nKind, const char* pszFormat, ...)
{
    char szText[SHOW_MESSAGE_BUFFER];
    std::va_list args;
    va_start(args, pszFormat);
    FormatInto(szText, sizeof szText, pszFormat, args);
    va_end(args);
    if (nKind == MESSAGE_KIND_ERROR)
        ErrorBox(szText);
    else
        InfoBox(szText);
}

void FatalError(int nCode, const char* pszFormat, ...)
{
    char szText[FATAL_ERROR_BUFFER];
    std::va_list args;
    va_start(args, pszFormat);
    FormatInto(szText, sizeof szText, pszFormat, args);
    va_end(args);
    // The line feed goes on only when it and the NUL still fit.
    std::size_t nLength = std::strlen(szText);
    if (nLength + 2 <= sizeof szText) {
        szText[nLength] = '\n';
        szText[nLength + 1] = '\0';
    }
    ErrorBox(szText);
    ExitProgram(nCode);
}

void OptionError(int nCode, const char* pszFormat, ...)
{
    char szText[OPTION_ERROR_BUFFER];
    std::va_list args;
    va_start(args, pszFormat);
    FormatInto(szText, sizeof szText, pszFormat, args);
    va_end(args);
    OutputOptionErrorBox(szText);
    ExitProgram(nCode);
}

void ErrorBox(const char* pszText)
{
    // Read at call time: the XML reader raises bQuiet only around a parse.
    if (g_pCommandLineOptions && g_pCommandLineOptions->bQuiet)
        return;
    OutputErrorBox(pszText);
}

void InfoBox(const char* pszText)
{
    OutputInfoBox(pszText);
}

void ExitProgram(int nCode)
{
    FreeOptionTables();
    RequestQuit(nCode);
}
