#include "window/FormTemplate.h"

#include "window/ResultsTable.h"

#include <vector>

namespace {

std::vector<FormControl> BuildControls()
{
    using K = ControlKind;
    std::vector<FormControl> c = {
        {IDC_DRIVE_LABEL, K::Label, "&Drive:", 3, 6, 21, 8, false},
        {IDC_DRIVE, K::DropList, "", 58, 4, 190, 276, false},
        {IDC_BROWSE, K::PushButton, "...", 39, 4, 17, 13, false},
        {IDC_IOSIZE_LABEL, K::Label, "I/O Si&ze:", 3, 22, 47, 8, false},
        {IDC_IOSIZE1, K::DropList, "", 58, 20, 52, 260, false},
        {IDC_TO_LABEL, K::Label, "&to", 112, 22, 8, 8, false},
        {IDC_IOSIZE2, K::DropList, "", 122, 20, 52, 260, false},
        {IDC_FILESIZE_LABEL, K::Label, "&File Size:", 3, 38, 45, 8, false},
        {IDC_FILESIZE, K::DropList, "", 58, 36, 52, 244, false},
        {IDC_PATTERN_LABEL, K::Label, "Test &Pattern:", 3, 54, 42, 8, false},
        {IDC_PATTERN, K::DropList, "", 58, 52, 52, 228, false},
        {IDC_CONTINUOUS, K::CheckBox, "R&un Continuously for:", 122, 54, 83, 10, false},
        {IDC_RUNTIME, K::NumberEdit, "", 204, 53, 22, 12, false},
        {IDC_MINUTES_LABEL, K::Label, "&minutes", 227, 55, 25, 8, false},
        {IDC_DIRECTIO, K::CheckBox, "Di&rect I/O", 265, 6, 44, 10, false},
        {IDC_WRITECACHE, K::CheckBox, "Bypass &Write Cache", 265, 22, 80, 10, false},
        {IDC_VERIFY, K::CheckBox, "&Verify Data", 265, 38, 51, 10, false},
        {IDC_QUEUEDEPTH_LABEL, K::Label, "&Queue Depth:", 265, 55, 47, 8, false},
        {IDC_QUEUEDEPTH, K::DropList, "", 316, 52, 30, 227, false},
        {IDC_DESCRIPTION, K::MultiLineEdit, "", 3, 69, 220, 28, false},
        {IDC_STATUS, K::Label, "Initializing Benchmark...", 226, 75, 78, 9, true},
        {IDC_PROGRESS, K::Progress, "", 225, 87, 122, 10, true},
        {IDC_START, K::PushButton, "&Start", 305, 71, 42, 12, false},
        {IDC_RESULTS_GROUP, K::GroupBox, "Test Results", 3, 98, 344, 228, false},
    };
    for (int k = 0; k < NUM_TABLE_SLOTS; ++k)
        c.push_back({IDC_TABLE_SIZE + k, K::LabelRight, "", 7, 118 + 9 * k, 27, 8, false});
    c.push_back({IDC_CHART, K::ChartFrame, "", 37, 115, 200, 193, false});
    for (int k = 0; k < NUM_TABLE_SLOTS; ++k)
        c.push_back({IDC_TABLE_WRITE + k, K::LabelRight, "", 238, 118 + 9 * k, 49, 8, false});
    for (int k = 0; k < NUM_TABLE_SLOTS; ++k)
        c.push_back({IDC_TABLE_READ + k, K::LabelRight, "", 289, 118 + 9 * k, 49, 8, false});
    static const char* const kAxis[] = {"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"};
    c.push_back({IDC_AXIS_FIRST, K::LabelCentre, kAxis[0], 30, 308, 14, 8, false});
    for (int i = 0; i < 10; ++i)
        c.push_back({IDC_AXIS_FIRST + 1 + i, K::LabelCentre, kAxis[i + 1], 48 + 20 * i, 308, 18, 8, false});
    const FormControl tail[] = {
        {IDC_AXIS_CAPTION, K::Label, "Transfer Rate - MB/s", 95, 316, 116, 8, false},
        {IDC_BANNER, K::Picture, "", 3, 325, 343, 30, false},
        {IDC_LEGEND_WRITE, K::Label, "Write", 102, 106, 19, 8, false},
        {IDC_LEGEND_READ, K::Label, "Read", 157, 106, 19, 8, false},
        {IDC_STATIC, K::LabelCentre, "Write", 265, 109, 22, 8, false},
        {IDC_STATIC, K::LabelCentre, "Read", 317, 109, 21, 8, false},
        {IDC_UNITS, K::DropList, "", 281, 308, 40, 30, false},
        {IDC_STATIC, K::LabelCentre, "Units:", 258, 311, 19, 8, false},
    };
    c.insert(c.end(), std::begin(tail), std::end(tail));
    return c;
}

}

const FormTemplate& BenchFormTemplate()
{
    static const std::vector<FormControl> controls = BuildControls();
    static const FormTemplate form{controls.data(), static_cast<int>(controls.size())};
    return form;
}
