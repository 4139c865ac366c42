#include "platform/Clock.h"

#include <gtest/gtest.h>

TEST(Clock, SystemClockNeverGoesBack)
{
    CClock& clock = GetSystemClock();
    ClockReading prev = clock.Now();
    for (int i = 0; i < 10000; ++i) {
        const ClockReading now = clock.Now();
        ASSERT_LT(now.milliseconds, 1000u);
        ASSERT_GE(now.seconds * 1000 + now.milliseconds, prev.seconds * 1000 + prev.milliseconds);
        prev = now;
    }
    EXPECT_GT(clock.CalendarSeconds(), 1'600'000'000);
}

TEST(Clock, FakeClockMovesByItsStepOnEveryRead)
{
    CFakeClock clock(250);
    const ClockReading a = clock.Now();
    const ClockReading b = clock.Now();
    EXPECT_EQ((b.seconds * 1000 + b.milliseconds) - (a.seconds * 1000 + a.milliseconds), 250);
    EXPECT_EQ(clock.Reads(), 2u);
    clock.AdvanceMs(1000);
    EXPECT_EQ(clock.Now().seconds, b.seconds + 1);
}
