#include "app/HelpPage.h"

#include "app/Resources.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

std::string InstalledHelpPagePath()
{
    const QString path = QCoreApplication::applicationFilePath() + QStringLiteral(".html");
    return QFileInfo(path).isFile() ? path.toStdString() : std::string();
}

namespace {
// A copy of the compiled-in page, for a program run from where no page was installed.
std::string WriteCompiledInPage()
{
    InitAppResources();
    QFile source(QString::fromLatin1(RESOURCE_HELP_PAGE));
    if (!source.open(QIODevice::ReadOnly))
        return {};
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (dir.isEmpty() || !QDir().mkpath(dir))
        return {};
    const QString path = dir + QStringLiteral("/tarnwick.html");
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly) || target.write(source.readAll()) < 0 || !target.commit())
        return {};
    return path.toStdString();
}
}

std::string HelpPagePath()
{
    std::string path = InstalledHelpPagePath();
    return path.empty() ? WriteCompiledInPage() : path;
}

bool OpenHelpPage()
{
    const std::string path = HelpPagePath();
    if (!path.empty() && QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path))))
        return true;
    const std::string text = "Unable to open the help page:\n\n"
                             + (path.empty() ? QCoreApplication::applicationFilePath().toStdString() + ".html" : path);
    AfxMessageBox(text.c_str(), MB_ICONWARNING);
    return false;
}
