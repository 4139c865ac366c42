#pragma once

#include <functional>

// Where the utility library's messages end up. The library formats texts and
// hands them over; the application installs the boxes (tests a recorder).
// An empty member uses the default: AfxMessageBox of platform/MessageBox.h.
struct MessageOutput
{
    std::function<void(const char* pszText)> pfnErrorBox;       // error box (ErrorBox, when not quiet)
    std::function<void(const char* pszText)> pfnInfoBox;        // information box (InfoBox, PrintMessage)
    std::function<void(const char* pszText)> pfnOptionErrorBox; // OptionError's box, never silenced
    std::function<void(const char* pszText)> pfnUsageBox;       // ShowUsage's usage text
    std::function<void(int nExitCode)> pfnQuitRequest;          // ExitProgram's request to end the program
};

// Installs the outputs and returns the ones they replace.
MessageOutput SetMessageOutput(MessageOutput output);

// The display steps behind the message routines: installed output or the default box.
void OutputErrorBox(const char* pszText);
void OutputInfoBox(const char* pszText);
void OutputOptionErrorBox(const char* pszText);
void OutputUsageBox(const char* pszText);

// Records the quit request with its code, then calls the installed quit output.
void RequestQuit(int nExitCode);

// The recorded quit request: start-up reads it, since it runs before any event loop.
bool IsQuitRequested();
// The code of the last quit request; 0 when none was made.
int GetQuitExitCode();
// Forgets the recorded quit request (tests, and a program that starts over).
void ClearQuitRequest();
