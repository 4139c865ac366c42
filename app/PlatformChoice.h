#pragma once

// The Qt platform the program asks for before the application object exists,
// from what the environment names; null leaves the caller's choice alone.
// Without a display: offscreen, so that option errors, help and unattended
// runs work on a server. With one, offscreen is the last fallback, so that a
// display that cannot be opened ends in the program's own message instead
// of an abort.
const char* ChooseQtPlatform(const char* pszDisplay, const char* pszWaylandDisplay, const char* pszQtPlatform);
