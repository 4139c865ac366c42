#pragma once

#include "document/BenchDoc.h"
#include "engine/BenchmarkThread.h"

#include <array>
#include <cstdint>
#include <string>

// The 21 slots of the results table beside the chart: transfer size, write
// rate and read rate. Plain functions over the document so the rules are
// tested without widgets.
constexpr int NUM_TABLE_SLOTS = NUM_TRANSFER_SIZES;
// The worker names the slots' ids too (IDC_TABLE_LABEL, IDC_TABLE_WRITE,
// IDC_TABLE_READ, each + slot); the table calls the first one by its column.
constexpr int IDC_TABLE_SIZE = IDC_TABLE_LABEL;

struct TableSlotTexts
{
    std::string size;
    std::string write;
    std::string read;
};
using TableTexts = std::array<TableSlotTexts, NUM_TABLE_SLOTS>;

// The values of a row that the display unit shows, with their validity.
struct UnitValues
{
    uint64_t write = 0;
    uint64_t read = 0;
    bool writeValid = false;
    bool readValid = false;
};
UnitValues ValuesForUnit(const RateEntry& row, int nUnits);

// Slot k shows row iosize1 + k, as the table is filled at an update.
TableTexts BuildFilledTable(const CBenchDoc& doc, int nUnits);

// The first row of the range with any result; iosize2 + 1 when none has one.
// The paint shows this row in slot 0, so a range whose first rows were never
// measured starts at the first measured row.
int FirstShownRow(const CBenchDoc& doc);

// The table as the chart's paint leaves it: slot k shows row FirstShownRow + k.
TableTexts BuildPaintedTable(const CBenchDoc& doc, int nUnits);
