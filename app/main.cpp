// tarnwick: the disk benchmark's window, or with -f FILE -x an unattended run.
#include "app/Resources.h"
#include "app/Tarn32App.h"
#include "platform/qt/Display.h"
#include "platform/qt/QtMessageBox.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv)
{
    // Without a display the offscreen platform lets option errors, help and
    // unattended runs work on a server; the window itself then refuses.
    if (!EnvironmentHasDisplay())
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QApplication app(argc, argv);
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
