#pragma once

#include <array>
#include <cstdint>
#include <string>

// The chart's arithmetic, kept free of Qt so that every number the paint uses
// can be checked on its own. All coordinates are pixels of the form's client
// area.

struct ChartLayout
{
    uint16_t left = 0;      // 0 when the chart's left edge is scrolled out of view
    uint16_t top = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t barHeight = 0;
    uint16_t clipLeft = 0;  // how far the left edge lies outside the client area
    uint16_t clipTop = 0;
};

// A rectangle by its edges; right and bottom excluded.
struct ChartRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const ChartRect&) const = default;
};

// From the chart area's rectangle and the tops of the first and last table
// labels (1100 and 1120), all in client coordinates.
ChartLayout GetChartLayout(const ChartRect& rcChart, int nFirstLabelTop, int nLastLabelTop);

// The colour box one bar high, centred on a legend label and just right of it.
ChartRect PlaceLegendBox(const ChartRect& rcLabel, uint16_t nBarHeight);

constexpr int NUM_SCALE_STEPS = 12;

// The full-scale ladder of a unit (0 MB/s, 1 MiB/s, 2 IO/s); row 0..11.
uint64_t FullScaleStep(int nUnit, int nRow);
// What the ladder adds per row past its last row.
uint64_t FullScaleIncrement(int nUnit);

// The first ladder value greater than nValue (automatic scale for a value
// about to be drawn), continued past the last row when needed; saturates at
// the largest 64-bit value instead of wrapping.
uint64_t FullScaleAbove(int nUnit, uint64_t nValue);
// The first ladder value at least nValue (scale for results already held).
uint64_t FullScaleAtLeast(int nUnit, uint64_t nValue);

// What FitScaleToValue decides: false when the document's maximum is already
// larger than the value (the scale stays); else true with the new full scale.
bool FitScaleDecision(int nUnit, uint64_t nValue, uint64_t nDocMax, uint64_t& nFullScale);

// The ten axis labels 1054..1063 for a full scale ("%.1f", final ".0" dropped).
std::array<std::string, 10> AxisLabels(int nUnit, uint64_t nFullScale);
// The caption, label 1089.
std::string AxisCaption(int nUnit, uint64_t nFullScale);

// The bar's length in pixels for a value against the full scale; never
// divides by zero nor overflows. A value above the full scale gives more than
// the width; BarRect keeps the bar inside the chart.
uint64_t BarLength(uint16_t nWidth, uint64_t nValue, uint64_t nFullScale);

// The rectangle of one bar: direction 1 write (top of the row), 2 read
// (bottom); the row's table label gives its top and bottom. Empty when the
// bar has no visible length. The right end is kept inside the chart area.
ChartRect BarRect(const ChartLayout& layout, uint64_t nValue, uint64_t nFullScale, int nDirection,
                  int nLabelTop, int nLabelBottom);

// The x positions of the nine gridlines.
std::array<int, 9> GridlineXs(const ChartLayout& layout);
