#include "window/ResultsTable.h"

#include "window/RateFormat.h"

UnitValues ValuesForUnit(const RateEntry& row, int nUnits)
{
    UnitValues v;
    if (nUnits == UNITS_IOPS) {
        v.write = row.writeiops;
        v.read = row.readiops;
        v.writeValid = (row.flags & RATE_WRITEIOPS) != 0;
        v.readValid = (row.flags & RATE_READIOPS) != 0;
    } else {
        v.write = row.writebps;
        v.read = row.readbps;
        v.writeValid = (row.flags & RATE_WRITEBPS) != 0;
        v.readValid = (row.flags & RATE_READBPS) != 0;
    }
    return v;
}

namespace {

// A document read from a damaged file must not index outside the rows.
bool RowInRange(const CBenchDoc& doc, int r)
{
    return r >= 0 && r < NUM_TRANSFER_SIZES && r <= doc.iosize2;
}

}

TableTexts BuildFilledTable(const CBenchDoc& doc, int nUnits)
{
    TableTexts texts;
    for (int k = 0; k < NUM_TABLE_SLOTS; ++k) {
        const int r = doc.iosize1 + k;
        if (!RowInRange(doc, r))
            continue;
        const RateEntry& row = doc.rates[r];
        const UnitValues v = ValuesForUnit(row, nUnits);
        if (v.writeValid) {
            texts[k].size = row.label;
            texts[k].write = FormatRateText(v.write, nUnits);
        }
        if (v.readValid)
            texts[k].read = FormatRateText(v.read, nUnits);
    }
    return texts;
}

int FirstShownRow(const CBenchDoc& doc)
{
    for (int r = doc.iosize1; r <= doc.iosize2; ++r)
        if (r >= 0 && r < NUM_TRANSFER_SIZES && doc.rates[r].flags != 0)
            return r;
    return doc.iosize2 + 1;
}

TableTexts BuildPaintedTable(const CBenchDoc& doc, int nUnits)
{
    TableTexts texts;
    const int s = FirstShownRow(doc);
    for (int k = 0; k < NUM_TABLE_SLOTS; ++k) {
        const int r = s + k;
        if (!RowInRange(doc, r))
            continue;
        const RateEntry& row = doc.rates[r];
        const UnitValues v = ValuesForUnit(row, nUnits);
        if (v.readValid)
            texts[k].read = FormatRateText(v.read, nUnits);
        if (v.writeValid)
            texts[k].write = FormatRateText(v.write, nUnits);
        if (v.writeValid || v.readValid)
            texts[k].size = row.label;
    }
    return texts;
}
