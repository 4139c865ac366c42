// tarnwick: the disk benchmark's window, or with -f FILE -x an unattended run.
#include "app/PlatformChoice.h"
#include "app/Resources.h"
#include "app/Tarn32App.h"
#include "platform/qt/Display.h"
#include "platform/qt/QtMessageBox.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv)
{
    // Without a display (none named, or none that opens) the offscreen
    // platform lets option errors, help and unattended runs work on a
    // server; the window itself then refuses.
    const char* pszPlatform =
        ChooseQtPlatform(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), std::getenv("QT_QPA_PLATFORM"));
    if (pszPlatform)
        setenv("QT_QPA_PLATFORM", pszPlatform, 1);

    QApplication app(argc, argv);
    // Programs started from here (the browser for the help page and the
    // banner link) choose their own platform.
    if (pszPlatform)
        unsetenv("QT_QPA_PLATFORM");
    QApplication::setOrganizationName(QStringLiteral("Vessary"));
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    InitAppResources();
    InstallQtMessageBoxes();

    // Offscreen, chosen here or by the caller, shows nobody a window.
    const bool bDisplay = ApplicationHasDisplay();
    CTarn32App theApp;
    // The option texts point into argv, which lives as long as main.
    if (!theApp.InitInstance(argc, argv, bDisplay))
        return theApp.ExitCode();
    const int nResult = QApplication::exec();
    return nResult != 0 ? nResult : theApp.ExitCode();
}
