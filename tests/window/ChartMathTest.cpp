#include "window/ChartMath.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr uint64_t MIB = uint64_t(1) << 20;
constexpr uint64_t GIB = uint64_t(1) << 30;
constexpr uint64_t MAX_U64 = std::numeric_limits<uint64_t>::max();

TEST(ChartLadder, HoldsTheTwelveStepsOfEachUnit)
{
    const uint64_t steps[3][12] = {
        {100000000, 200000000, 400000000, 600000000, 800000000, 1000000000, 2000000000, 4000000000,
         6000000000, 8000000000, 10000000000, 20000000000},
        {100 * MIB, 200 * MIB, 400 * MIB, 600 * MIB, 800 * MIB, GIB, 2 * GIB, 4 * GIB, 6 * GIB, 8 * GIB,
         10 * GIB, 20 * GIB},
        {50, 100, 500, 1000, 5000, 10000, 50000, 100000, 500000, 1000000, 5000000, 10000000},
    };
    for (int u = 0; u < 3; ++u)
        for (int r = 0; r < 12; ++r) {
            SCOPED_TRACE("unit " + std::to_string(u) + " row " + std::to_string(r));
            EXPECT_EQ(FullScaleStep(u, r), steps[u][r]);
        }
    EXPECT_EQ(FullScaleIncrement(0), 20000000000u);
    EXPECT_EQ(FullScaleIncrement(1), 20 * GIB);
    EXPECT_EQ(FullScaleIncrement(2), 10000000u);
}

// A value equal to a step: the value about to be drawn gets the next step,
// results already held get that step itself. Past the last row both take the
// first continued step that is at least the value.
TEST(ChartLadder, ValueScaleIsAboveAndRangeScaleIsAtLeast)
{
    struct Case { int unit; uint64_t value; uint64_t above; uint64_t atLeast; };
    const Case cases[] = {
        {0, 0, 100000000, 100000000},
        {0, 199999999, 200000000, 200000000},
        {0, 200000000, 400000000, 200000000},
        {0, 200000001, 400000000, 400000000},
        {0, 650000000, 800000000, 800000000},
        {0, 20000000000, 20000000000, 20000000000},   // past the ladder: at least v
        {0, 25000000000, 40000000000, 40000000000},
        {0, 40000000000, 40000000000, 40000000000},
        {0, 40000000001, 60000000000, 60000000000},
        {1, 100 * MIB, 200 * MIB, 100 * MIB},
        {1, 3 * GIB, 4 * GIB, 4 * GIB},
        {1, 21 * GIB, 40 * GIB, 40 * GIB},
        {2, 40, 50, 50},
        {2, 50, 100, 50},
        {2, 4000, 5000, 5000},
        {2, 5000, 10000, 5000},
        {2, 10000000, 10000000, 10000000},
        {2, 10000001, 20000000, 20000000},
        {0, MAX_U64, MAX_U64, MAX_U64},
        {2, MAX_U64 - 1, MAX_U64, MAX_U64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("unit " + std::to_string(c.unit) + " value " + std::to_string(c.value));
        EXPECT_EQ(FullScaleAbove(c.unit, c.value), c.above);
        EXPECT_EQ(FullScaleAtLeast(c.unit, c.value), c.atLeast);
    }
}

// Every step of every unit, and two continued steps past the ladder, probed
// one below, at and one above: the scale for a value about to be drawn is
// the first step above it (at least it past the ladder), the scale for
// results held the first step at least it.
TEST(ChartLadder, EveryStepOneBelowAtAndOneAbove)
{
    constexpr int LAST = NUM_SCALE_STEPS - 1;
    const auto Step = [](int u, int r) {
        return r <= LAST ? FullScaleStep(u, r) : FullScaleStep(u, LAST) + uint64_t(r - LAST) * FullScaleIncrement(u);
    };
    for (int u = 0; u < 3; ++u)
        for (int r = 0; r <= LAST + 2; ++r) {
            const uint64_t S = Step(u, r);
            const uint64_t next = Step(u, r + 1);
            struct Case { uint64_t value; uint64_t above; uint64_t atLeast; };
            const Case cases[] = {
                {S - 1, S, S},
                {S, r < LAST ? next : S, S},
                {S + 1, next, next},
            };
            for (const Case& c : cases) {
                SCOPED_TRACE("unit " + std::to_string(u) + " row " + std::to_string(r) + " value " +
                             std::to_string(c.value));
                EXPECT_EQ(FullScaleAbove(u, c.value), c.above);
                EXPECT_EQ(FullScaleAtLeast(u, c.value), c.atLeast);
                // The automatic scale with no maximum yet is the "above" step.
                uint64_t F = 0;
                ASSERT_TRUE(FitScaleDecision(u, c.value, 0, F));
                EXPECT_EQ(F, c.above);
            }
        }
}

TEST(ChartScale, ValueBelowTheDocumentMaximumKeepsTheScale)
{
    uint64_t F = 123;
    EXPECT_FALSE(FitScaleDecision(0, 100, 101, F));
    EXPECT_EQ(F, 123u);
    EXPECT_TRUE(FitScaleDecision(0, 200000000, 200000000, F));
    EXPECT_EQ(F, 400000000u);
    EXPECT_TRUE(FitScaleDecision(2, 40, 0, F));
    EXPECT_EQ(F, 50u);
}

TEST(ChartAxis, LabelsAndCaptionFollowTheFullScale)
{
    struct Case { int unit; uint64_t F; const char* first; const char* second; const char* last; const char* caption; };
    const Case cases[] = {
        {0, 600000000, "60", "120", "600", "Transfer Rate - MB/s"},
        {0, 8000000000, "0.8", "1.6", "8", "Transfer Rate - GB/s"},
        {0, 40000000000, "4", "8", "40", "Transfer Rate - GB/s"},
        {0, 1500000000000, "0.1", "0.2", "1", "Transfer Rate - TB/s"},
        {1, 6 * GIB, "0.6", "1.2", "6", "Transfer Rate - GiB/s"},
        {1, 100 * MIB, "10", "20", "100", "Transfer Rate - MiB/s"},
        {1, uint64_t(1) << 40, "0.1", "0.2", "1", "Transfer Rate - TiB/s"},
        {2, 5000, "0.5", "1", "5", "Transfer Rate - IO/s (Thousands)"},
        {2, 50, "5", "10", "50", "Transfer Rate - IO/s"},
        {2, 5000000, "0.5", "1", "5", "Transfer Rate - IO/s (Millions)"},
        {2, 2000000000, "0.2", "0.4", "2", "Transfer Rate - IO/s (Billions)"},
        {2, 3000000000000, "0.3", "0.6", "3", "Transfer Rate - IO/s (Trillions)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("unit " + std::to_string(c.unit) + " F " + std::to_string(c.F));
        const auto labels = AxisLabels(c.unit, c.F);
        EXPECT_EQ(labels[0], c.first);
        EXPECT_EQ(labels[1], c.second);
        EXPECT_EQ(labels[9], c.last);
        EXPECT_EQ(AxisCaption(c.unit, c.F), c.caption);
    }
    const auto labels = AxisLabels(0, 600000000);
    const char* expected[] = {"60", "120", "180", "240", "300", "360", "420", "480", "540", "600"};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(labels[i], expected[i]);
}

TEST(ChartBars, LengthIsProportionalAndNeverOverflows)
{
    struct Case { uint16_t width; uint64_t value; uint64_t F; uint64_t length; };
    const Case cases[] = {
        {300, 600000000, 600000000, 300},
        {300, 300000000, 600000000, 150},
        {301, 300000000, 600000000, 150},
        {301, 25, 50, 150},
        {300, 0, 600000000, 0},
        {300, 1999999, 2000000, 299},
        {300, MAX_U64, MAX_U64, 300},
        {300, MAX_U64 / 2, MAX_U64, 149},
        {300, MAX_U64 - 1, MAX_U64, 300},   // both divided by 1000 first
        {65535, MAX_U64, MAX_U64, 65535},
        {300, 5, 0, 300},
        {300, 0, 0, 0},
        {300, 999, 999, 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("width " + std::to_string(c.width) + " value " + std::to_string(c.value));
        EXPECT_EQ(BarLength(c.width, c.value, c.F), c.length);
    }
}

TEST(ChartBars, RectangleSitsOnTheTableRowInsideTheChart)
{
    ChartLayout layout;
    layout.left = 50;
    layout.top = 100;
    layout.width = 300;
    layout.height = 290;
    layout.barHeight = 5;
    // A full-scale write bar ends at the chart's right edge, starts inside its frame.
    EXPECT_EQ(BarRect(layout, 100, 100, 1, 120, 133), (ChartRect{51, 121, 350, 126}));
    // A read bar at the bottom of the label.
    EXPECT_EQ(BarRect(layout, 50, 100, 2, 120, 133), (ChartRect{51, 126, 200, 131}));
    // Zero draws nothing; a value past the scale stays inside the chart.
    EXPECT_TRUE(BarRect(layout, 0, 100, 1, 120, 133).IsEmpty());
    EXPECT_EQ(BarRect(layout, 1000, 100, 1, 120, 133).right, 350);
}

TEST(ChartBars, ScrolledChartStartsAtTheClientEdgeAndEndsWhereItWould)
{
    const ChartLayout layout = GetChartLayout(ChartRect{-40, -10, 260, 280}, 20, 300);
    EXPECT_EQ(layout.left, 0);
    EXPECT_EQ(layout.clipLeft, 40);
    EXPECT_EQ(layout.top, 0);
    EXPECT_EQ(layout.clipTop, 10);
    EXPECT_EQ(layout.width, 300);
    EXPECT_EQ(layout.height, 290);
    const ChartRect rc = BarRect(layout, 100, 100, 1, 20, 33);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.right, 260);   // the unscrolled right edge, in client coordinates
    // A bar entirely in the hidden part draws nothing.
    EXPECT_TRUE(BarRect(layout, 10, 100, 1, 20, 33).IsEmpty());
}

TEST(ChartLayoutTest, BarIsThreeEighthsOfARowPitch)
{
    struct Case { int span; uint16_t bar; };
    const Case cases[] = {{280, 5}, {20 * 9, 3}, {20 * 16, 6}, {0, 0}, {-20, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.span);
        EXPECT_EQ(GetChartLayout(ChartRect{10, 20, 210, 220}, 100, 100 + c.span).barHeight, c.bar);
    }
    const ChartLayout layout = GetChartLayout(ChartRect{10, 20, 210, 220}, 0, 280);
    EXPECT_EQ(layout.left, 10);
    EXPECT_EQ(layout.top, 20);
    EXPECT_EQ(layout.clipLeft, 0);
    EXPECT_EQ(layout.width, 200);
}

TEST(ChartLegend, BoxIsOneBarHighCentredRightOfTheLabel)
{
    struct Case { ChartRect label; uint16_t bar; ChartRect box; };
    const Case cases[] = {
        {{100, 50, 130, 63}, 5, {134, 54, 160, 59}},
        {{100, 50, 130, 64}, 5, {134, 55, 160, 60}},
        {{200, 10, 220, 20}, 4, {224, 13, 240, 17}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label.left);
        EXPECT_EQ(PlaceLegendBox(c.label, c.bar), c.box);
    }
}

TEST(ChartGrid, NineLinesAtTheTenths)
{
    ChartLayout layout;
    layout.left = 10;
    layout.width = 305;
    const auto xs = GridlineXs(layout);
    EXPECT_EQ(xs[0], 10 + 30);
    EXPECT_EQ(xs[4], 10 + 152);
    EXPECT_EQ(xs[8], 10 + 274);
}

}
