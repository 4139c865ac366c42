#pragma once

#include <memory>

class QMessageBox;
class QWidget;

// The caption of every message box: the application title.
inline constexpr const char APP_TITLE[] = "Vessary Tarnwick";

// A box for the text with the caption, the icon and the buttons of the style
// (MB_* of platform/MessageBox.h), its default button the first one.
std::unique_ptr<QMessageBox> CreateMessageBox(const char* pszText, unsigned nType, QWidget* pParent = nullptr);

// The box, shown modally, and the answer as an ID* value. Where nobody can see
// it (offscreen platform, no application) the text goes to standard error and
// the default answer comes back at once, so an unattended run never hangs.
int ShowQtMessageBox(const char* pszText, unsigned nType);

// Makes ShowQtMessageBox the handler behind AfxMessageBox.
void InstallQtMessageBoxes();
