// Which Qt platform start-up asks for, from the environment.
#include "app/PlatformChoice.h"

#include <gtest/gtest.h>

namespace {

TEST(PlatformChoiceTest, OffscreenWithoutADisplayAndAsTheLastFallbackWithOne)
{
    const struct
    {
        const char* display;
        const char* wayland;
        const char* platform;
        const char* chosen;
    } cases[] = {
        {nullptr, nullptr, nullptr, "offscreen"},
        {"", "", "", "offscreen"},
        {":0", nullptr, nullptr, "xcb;offscreen"},
        {":0", "wayland-0", nullptr, "wayland;xcb;offscreen"},
        {nullptr, "wayland-0", "", "wayland;xcb;offscreen"},
        // The caller's own choice stands.
        {nullptr, nullptr, "offscreen", nullptr},
        {":0", nullptr, "vnc", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.display ? c.display : "-") + " " + (c.wayland ? c.wayland : "-") + " "
                     + (c.platform ? c.platform : "-"));
        const char* pszChosen = ChooseQtPlatform(c.display, c.wayland, c.platform);
        if (c.chosen) {
            EXPECT_STREQ(pszChosen, c.chosen);
        } else {
            EXPECT_EQ(pszChosen, nullptr);
        }
    }
}

}
