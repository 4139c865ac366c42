#pragma once

#include <functional>

// Message-box styles and answers, with their Windows values so that texts and
// styles posted by the engine keep their meaning.
enum : unsigned
{
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum : int
{
    IDOK = 1,
    IDCANCEL = 2,
    IDYES = 6,
    IDNO = 7,
};

// The one entry point for every message box of the program. Plain C++, so the
// document and engine layers can call it; the application installs the real
// boxes (or standard error without a display), tests install a recorder.
using MessageBoxHandler = std::function<int(const char* pszText, unsigned nType)>;

// Shows the text and returns the answer. Without an installed handler the text
// goes to standard error and the default answer is returned.
int AfxMessageBox(const char* pszText, unsigned nType = MB_OK);

// Installs a handler and returns the one it replaces (empty for the default).
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The answer a box gives when nobody can press a button: OK, Yes, or the first.
int DefaultMessageBoxAnswer(unsigned nType);
