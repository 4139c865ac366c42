#include "platform/qt/QtMessageBox.h"

#include "platform/MessageBox.h"
#include "platform/qt/Display.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <vector>

namespace {
QMessageBox::Icon IconOf(unsigned nType)
{
    switch (nType & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

struct ButtonAnswer
{
    QMessageBox::StandardButton button;
    int nAnswer;
};

// The buttons of a style, in the order they read; the first is the default.
std::vector<ButtonAnswer> ButtonsOf(unsigned nType)
{
    switch (nType & 0x0F) {
    case MB_OKCANCEL:
        return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNOCANCEL:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    default:
        return {{QMessageBox::Ok, IDOK}};
    }
}
}

std::unique_ptr<QMessageBox> CreateMessageBox(const char* pszText, unsigned nType, QWidget* pParent)
{
    auto box = std::make_unique<QMessageBox>(pParent);
    box->setWindowTitle(QString::fromLatin1(APP_TITLE));
    box->setText(QString::fromUtf8(pszText ? pszText : ""));
    box->setTextFormat(Qt::PlainText);
    box->setIcon(IconOf(nType));
    QMessageBox::StandardButtons buttons;
    const auto answers = ButtonsOf(nType);
    for (const auto& a : answers)
        buttons |= a.button;
    box->setStandardButtons(buttons);
    box->setDefaultButton(answers.front().button);
    // Escape closes a box with Cancel as Cancel; without Cancel only OK may close it.
    if (buttons & QMessageBox::Cancel)
        box->setEscapeButton(QMessageBox::Cancel);
    else if (answers.size() == 1)
        box->setEscapeButton(answers.front().button);
    return box;
}

int ShowQtMessageBox(const char* pszText, unsigned nType)
{
    if (!ApplicationHasDisplay() || !qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s\n", pszText ? pszText : "");
        std::fflush(stderr);
        return DefaultMessageBoxAnswer(nType);
    }
    auto box = CreateMessageBox(pszText, nType, QApplication::activeWindow());
    const auto clicked = static_cast<QMessageBox::StandardButton>(box->exec());
    for (const auto& a : ButtonsOf(nType))
        if (a.button == clicked)
            return a.nAnswer;
    // Closed by the window manager: Cancel where there is one, else the default.
    return (nType & 0x0F) == MB_YESNOCANCEL || (nType & 0x0F) == MB_OKCANCEL ? IDCANCEL
                                                                              : DefaultMessageBoxAnswer(nType);
}

void InstallQtMessageBoxes()
{
    SetMessageBoxHandler([](const char* pszText, unsigned nType) { return ShowQtMessageBox(pszText, nType); });
}
