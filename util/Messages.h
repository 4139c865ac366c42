#pragma once

#include <cstddef>

// Buffer sizes of the formatting routines, terminating NUL included; longer texts are cut.
constexpr std::size_t PRINT_MESSAGE_BUFFER = 128;
constexpr std::size_t SHOW_MESSAGE_BUFFER = 150;
constexpr std::size_t FATAL_ERROR_BUFFER = 128;
constexpr std::size_t OPTION_ERROR_BUFFER = 256;

// ShowMessage's kind for an error box; any other kind gives an information box.
constexpr int MESSAGE_KIND_ERROR = 1;

// Formats at most 127 characters into an information box.
void PrintMessage(const char* pszFormat, ...) __attribute__((format(printf, 1, 2)));

// Formats at most 149 characters; kind 1 goes to ErrorBox, any other kind to InfoBox.
void ShowMessage(int nKind, const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));

// Formats at most 127 characters plus a line feed when it fits, shows it with ErrorBox, then ExitProgram(code).
void FatalError(int nCode, const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));

// Formats at most 255 characters into an error box that bQuiet never silences, then ExitProgram(code).
void OptionError(int nCode, const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));

// Shows the text in an error box unless the command-line record exists with bQuiet set.
void ErrorBox(const char* pszText);

// Shows the text in an information box.
void InfoBox(const char* pszText);

// Frees the option table and the command-line record, nulls both pointers and requests the end with the code.
void ExitProgram(int nCode);
