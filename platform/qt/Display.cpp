#include "platform/qt/Display.h"

#include <QGuiApplication>
#include <QString>

#include <cstdlib>

namespace {
bool IsSet(const char* pszName)
{
    const char* pszValue = std::getenv(pszName);
    return pszValue && *pszValue;
}
}

bool EnvironmentHasDisplay()
{
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
}

bool ApplicationHasDisplay()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    const QString name = QGuiApplication::platformName();
    return name != QLatin1String("offscreen") && name != QLatin1String("minimal");
}
