#include "util/MessageOutput.h"

#include "platform/MessageBox.h"

#include <utility>

namespace {
MessageOutput& Output()
{
    static MessageOutput output;
    return output;
}

bool g_bQuitRequested = false;
int g_nQuitExitCode = 0;

void Show(const std::function<void(const char*)>& pfnOutput, const char* pszText, unsigned nType)
{
    if (!pszText)
        pszText = "";
    if (pfnOutput)
        pfnOutput(pszText);
    else
        AfxMessageBox(pszText, nType);
}
}

MessageOutput SetMessageOutput(MessageOutput output)
{
    return std::exchange(Output(), std::move(output));
}

void OutputErrorBox(const char* pszText) { Show(Output().pfnErrorBox, pszText, MB_ICONERROR); }
void OutputInfoBox(const char* pszText) { Show(Output().pfnInfoBox, pszText, MB_ICONINFORMATION); }
void OutputOptionErrorBox(const char* pszText) { Show(Output().pfnOptionErrorBox, pszText, MB_ICONERROR); }
void OutputUsageBox(const char* pszText) { Show(Output().pfnUsageBox, pszText, MB_ICONINFORMATION); }

void RequestQuit(int nExitCode)
{
    g_bQuitRequested = true;
    g_nQuitExitCode = nExitCode;
    if (Output().pfnQuitRequest)
        Output().pfnQuitRequest(nExitCode);
}

bool IsQuitRequested() { return g_bQuitRequested; }
int GetQuitExitCode() { return g_nQuitExitCode; }

void ClearQuitRequest()
{
    g_bQuitRequested = false;
    g_nQuitExitCode = 0;
}
