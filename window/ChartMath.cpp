#include "window/ChartMath.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

constexpr uint64_t MIB = uint64_t(1) << 20;
constexpr uint64_t GIB = uint64_t(1) << 30;
constexpr uint64_t MAX_U64 = std::numeric_limits<uint64_t>::max();

constexpr uint64_t g_FullScaleSteps[NUM_SCALE_STEPS][3] = {
    {100000000, 100 * MIB, 50},
    {200000000, 200 * MIB, 100},
    {400000000, 400 * MIB, 500},
    {600000000, 600 * MIB, 1000},
    {800000000, 800 * MIB, 5000},
    {1000000000, GIB, 10000},
    {2000000000, 2 * GIB, 50000},
    {4000000000, 4 * GIB, 100000},
    {6000000000, 6 * GIB, 500000},
    {8000000000, 8 * GIB, 1000000},
    {10000000000, 10 * GIB, 5000000},
    {20000000000, 20 * GIB, 10000000},
};

int ClampUnit(int nUnit) { return nUnit == 1 || nUnit == 2 ? nUnit : 0; }

uint16_t ToU16(int n) { return static_cast<uint16_t>(std::clamp(n, 0, 0xFFFF)); }

// Row 11 plus as many increments as make it at least nValue, saturating.
uint64_t Continued(int nUnit, uint64_t nValue)
{
    const uint64_t nLast = FullScaleStep(nUnit, NUM_SCALE_STEPS - 1);
    const uint64_t nStep = FullScaleIncrement(nUnit);
    if (nValue <= nLast)
        return nLast;
    const uint64_t nSteps = (nValue - nLast + nStep - 1) / nStep;
    if (nSteps > (MAX_U64 - nLast) / nStep)
        return MAX_U64;
    return nLast + nSteps * nStep;
}

std::string OneDecimal(double d)
{
    char sz[64];
    std::snprintf(sz, sizeof sz, "%.1f", d);
    const size_t n = std::strlen(sz);
    if (n >= 2 && std::strcmp(sz + n - 2, ".0") == 0)
        sz[n - 2] = '\0';
    return sz;
}

}

ChartLayout GetChartLayout(const ChartRect& rcChart, int nFirstLabelTop, int nLastLabelTop)
{
    ChartLayout layout;
    if (rcChart.left < 0) {
        layout.clipLeft = ToU16(-rcChart.left);
        layout.left = 0;
    } else {
        layout.left = ToU16(rcChart.left);
    }
    if (rcChart.top < 0) {
        layout.clipTop = ToU16(-rcChart.top);
        layout.top = 0;
    } else {
        layout.top = ToU16(rcChart.top);
    }
    layout.width = ToU16(rcChart.right - rcChart.left);
    layout.height = ToU16(rcChart.bottom - rcChart.top);
    const int nSpan = std::max(0, nLastLabelTop - nFirstLabelTop);
    layout.barHeight = ToU16(((nSpan / 20) * 3) / 8);
    return layout;
}

ChartRect PlaceLegendBox(const ChartRect& rcLabel, uint16_t nBarHeight)
{
    ChartRect rc;
    rc.left = rcLabel.right + 4;
    rc.right = 2 * rcLabel.right - rcLabel.left;
    rc.top = rcLabel.top + ((rcLabel.bottom - nBarHeight) - rcLabel.top + 1) / 2;
    rc.bottom = rc.top + nBarHeight;
    return rc;
}

uint64_t FullScaleStep(int nUnit, int nRow)
{
    return g_FullScaleSteps[std::clamp(nRow, 0, NUM_SCALE_STEPS - 1)][ClampUnit(nUnit)];
}

uint64_t FullScaleIncrement(int nUnit)
{
    return FullScaleStep(nUnit, NUM_SCALE_STEPS - 1);
}

uint64_t FullScaleAbove(int nUnit, uint64_t nValue)
{
    for (int i = 0; i < NUM_SCALE_STEPS; ++i)
        if (FullScaleStep(nUnit, i) > nValue)
            return FullScaleStep(nUnit, i);
    // "At least" past the ladder: a value on a continued step keeps that step.
    return Continued(nUnit, nValue);
}

uint64_t FullScaleAtLeast(int nUnit, uint64_t nValue)
{
    for (int i = 0; i < NUM_SCALE_STEPS; ++i)
        if (FullScaleStep(nUnit, i) >= nValue)
            return FullScaleStep(nUnit, i);
    return Continued(nUnit, nValue);
}

bool FitScaleDecision(int nUnit, uint64_t nValue, uint64_t nDocMax, uint64_t& nFullScale)
{
    if (nDocMax > nValue)
        return false;
    nFullScale = FullScaleAbove(nUnit, nValue);
    return true;
}

std::array<std::string, 10> AxisLabels(int nUnit, uint64_t nFullScale)
{
    uint64_t v = nFullScale;
    if (nUnit == 1) {
        while (v >= 1024)
            v >>= 10;
    } else {
        while (v >= 1000)
            v /= 1000;
    }
    const double dStep = static_cast<double>(v) / 10;
    double dSum = 0;
    std::array<std::string, 10> labels;
    for (int i = 0; i < 10; ++i) {
        dSum += dStep;
        labels[i] = OneDecimal(dSum);
    }
    return labels;
}

std::string AxisCaption(int nUnit, uint64_t F)
{
    if (nUnit == 1) {
        if (F < GIB)
            return "Transfer Rate - MiB/s";
        return F < (uint64_t(1) << 40) ? "Transfer Rate - GiB/s" : "Transfer Rate - TiB/s";
    }
    if (nUnit == 2) {
        std::string s = "Transfer Rate - IO/s";
        if (F < 1000)
            return s;
        if (F < 1000000)
            return s + " (Thousands)";
        if (F < 1000000000)
            return s + " (Millions)";
        if (F < 1000000000000)
            return s + " (Billions)";
        return s + " (Trillions)";
    }
    if (F < 1000000000)
        return "Transfer Rate - MB/s";
    return F < 1000000000000 ? "Transfer Rate - GB/s" : "Transfer Rate - TB/s";
}

uint64_t BarLength(uint16_t nWidth, uint64_t nValue, uint64_t nFullScale)
{
    uint64_t v = nValue;
    uint64_t F = nFullScale;
    if (v >= (uint64_t(1) << 32) || v > 2000000) {
        v /= 1000;
        F /= 1000;
    }
    if (F == 0)
        return v == 0 ? 0 : nWidth;   // no scale to measure against: a set value fills the chart
    // Only a value far beyond the scale makes width x value leave 64 bits;
    // the wide product keeps the result exact, saturated at 64 bits.
    const unsigned __int128 nLength = static_cast<unsigned __int128>(nWidth) * v / F;
    return nLength > MAX_U64 ? MAX_U64 : static_cast<uint64_t>(nLength);
}

ChartRect BarRect(const ChartLayout& layout, uint64_t nValue, uint64_t nFullScale, int nDirection,
                  int nLabelTop, int nLabelBottom)
{
    const uint64_t nLength = std::min<uint64_t>(BarLength(layout.width, nValue, nFullScale), layout.width);
    const int nEnd = layout.left + static_cast<int>(nLength);
    const int nRight = nEnd > layout.clipLeft ? nEnd - layout.clipLeft : 0;
    ChartRect rc;
    if (nRight == 0)
        return rc;
    rc.left = layout.left == 0 ? 0 : layout.left + 1;
    rc.right = nRight;
    rc.top = nDirection == 1 ? nLabelTop + 1 : nLabelBottom - layout.barHeight - 2;
    rc.bottom = rc.top + layout.barHeight;
    return rc;
}

std::array<int, 9> GridlineXs(const ChartLayout& layout)
{
    std::array<int, 9> xs{};
    for (int i = 1; i <= 9; ++i)
        xs[i - 1] = layout.left + (i * layout.width) / 10;
    return xs;
}
