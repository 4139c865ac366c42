#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// Widgets need an application; the offscreen platform lets the tests run
// without a display, unless the caller chose a platform already.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("TarnwickTests");
    QCoreApplication::setApplicationName("test_platform_qt");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
