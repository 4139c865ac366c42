#pragma once

// The benchmark form as a dialog template: every control with its id, kind,
// text and place in dialog units, in tab order. The builder turns it into
// widgets; the chart and the table rely on these places.
enum class ControlKind
{
    Label,          // left-aligned text
    LabelRight,     // right-aligned text
    LabelCentre,    // centred text
    DropList,       // drop-down list (the height includes the open list)
    PushButton,
    CheckBox,
    NumberEdit,     // digits only, right-aligned, at most 5 characters
    MultiLineEdit,  // vertical scroll bar, Return starts a new line
    Progress,
    GroupBox,       // caption centred
    ChartFrame,     // black frame around a white area
    Picture,        // bordered
};

constexpr int IDC_STATIC = -1;

struct FormControl
{
    int id;
    ControlKind kind;
    const char* text;
    int x, y, cx, cy;
    bool hidden;
};

// The form's size in dialog units.
constexpr int FORM_WIDTH_DU = 349;
constexpr int FORM_HEIGHT_DU = 359;

// The controls in tab order, the 63 table labels and 11 axis labels expanded.
struct FormTemplate
{
    const FormControl* controls;
    int count;
};
const FormTemplate& BenchFormTemplate();

// Control ids of the form.
enum : int
{
    IDC_DRIVE = 1000,
    IDC_DIRECTIO = 1001,
    IDC_START = 1002,
    IDC_IOSIZE1 = 1003,
    IDC_FILESIZE = 1004,
    IDC_IOSIZE2 = 1005,
    IDC_IOSIZE_LABEL = 1006,
    IDC_TO_LABEL = 1007,
    IDC_FILESIZE_LABEL = 1008,
    IDC_BROWSE = 1009,
    IDC_QUEUEDEPTH = 1012,
    IDC_QUEUEDEPTH_LABEL = 1013,
    IDC_PATTERN = 1014,
    IDC_PATTERN_LABEL = 1016,
    IDC_DESCRIPTION = 1017,
    IDC_RESULTS_GROUP = 1020,
    IDC_DRIVE_LABEL = 1022,
    IDC_RUNTIME = 1023,
    IDC_MINUTES_LABEL = 1024,
    IDC_CONTINUOUS = 1025,
    IDC_WRITECACHE = 1026,
    IDC_CHART = 1051,
    IDC_AXIS_FIRST = 1053,      // .. 1063
    IDC_LEGEND_WRITE = 1064,
    IDC_LEGEND_READ = 1065,
    IDC_AXIS_CAPTION = 1089,
    IDC_STATUS = 1090,
    IDC_PROGRESS = 1092,
    IDC_VERIFY = 1093,
    IDC_BANNER = 1094,
    IDC_UNITS = 1096,
};
