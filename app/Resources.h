#pragma once

// The pictures and the help page compiled into the program live under this
// prefix (resources/tarnwick.qrc).
inline constexpr const char RESOURCE_ABOUT_BITMAP[] = ":/tarnwick/about.png";    // bitmap 156
inline constexpr const char RESOURCE_BANNER_BITMAP[] = ":/tarnwick/banner.png";  // bitmap 159
inline constexpr const char RESOURCE_ICON[] = ":/tarnwick/tarnwick.png";
inline constexpr const char RESOURCE_HELP_PAGE[] = ":/tarnwick/tarnwick.html";

// Registers the compiled-in resources. They sit in a static library, whose
// registration the linker would otherwise drop; safe to call more than once.
void InitAppResources();
