#pragma once

#include <string>

// The help page is an HTML file named after the program and installed
// beside it (tarnwick -> tarnwick.html), opened in the default browser.

// The page beside the program, or "" when there is none.
std::string InstalledHelpPagePath();

// The page to open: the installed one, else the copy compiled into the
// program written to the user's cache folder. "" when neither can be had.
std::string HelpPagePath();

// Help Topics and F1: opens the page; a page that cannot be opened gives a
// warning box that names it.
bool OpenHelpPage();
