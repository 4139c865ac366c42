#include "app/PlatformChoice.h"

namespace {
bool IsSet(const char* pszValue) { return pszValue && *pszValue; }
}

const char* ChooseQtPlatform(const char* pszDisplay, const char* pszWaylandDisplay, const char* pszQtPlatform)
{
    if (IsSet(pszQtPlatform))
        return nullptr;
    if (IsSet(pszWaylandDisplay))
        return "wayland;xcb;offscreen";
    if (IsSet(pszDisplay))
        return "xcb;offscreen";
    return "offscreen";
}
