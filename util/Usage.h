#pragma once

// ShowUsage's detail bit that asks for the usage text.
constexpr unsigned USAGE_SHOW_TEXT = 4;

// The usage text of the command line.
extern const char USAGE_TEXT[];

// Shows the usage text in an information box when the mask has USAGE_SHOW_TEXT; otherwise nothing.
void ShowUsage(unsigned nFlags);
