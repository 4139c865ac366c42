#pragma once

#include "util/OptionTable.h"

#include <cstdio>

// The help password that the keyword "test" asks for: nine lower-case letters.
extern const char HELP_PASSWORD[];

// Longest answer to the password prompt that is read; the rest of the line stays unread.
constexpr int MAX_PASSWORD_ANSWER = 31;

// Fills the option table from argv[1..argc-1] and handles -? and -h; false once a message ended the program.
bool ParseOptions(int argc, const char* const* argv);

// Called after the application's own checks: shows the usage and ends with code 0 when help was asked for.
bool FinishOptions();

// Where the password answer is read from (standard input by default); returns the previous stream.
std::FILE* SetHelpPasswordInput(std::FILE* pInput);
