#include "app/Resources.h"

#include <QApplication>
#include <QTemporaryFile>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    // Widgets without a display, unless the caller chose a platform. The
    // offscreen screen gets a desktop's size, so the whole frame fits on it
    // and a capture of the screen shows all of it.
    const char* pszPlatform = std::getenv("QT_QPA_PLATFORM");
    QTemporaryFile screens;
    if (!pszPlatform || std::strcmp(pszPlatform, "offscreen") == 0) {
        QByteArray platform("offscreen");
        if (screens.open()) {
            screens.write(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1600, "height": 1200,
                          "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
            screens.flush();
            platform += ":configfile=" + screens.fileName().toLocal8Bit();
        }
        setenv("QT_QPA_PLATFORM", platform.constData(), 1);
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vessary"));
    QApplication::setApplicationName(QStringLiteral("TarnwickTests"));
    InitAppResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
