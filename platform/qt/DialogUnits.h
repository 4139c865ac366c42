#pragma once

#include <QFont>
#include <QRect>

// Dialog templates give positions in dialog units: a quarter of the font's
// average character width across, an eighth of its height down.
class CDialogUnits
{
public:
    explicit CDialogUnits(const QFont& font);

    int X(int nUnits) const;
    int Y(int nUnits) const;
    QRect Rect(int x, int y, int cx, int cy) const;

    int AverageCharWidth() const { return m_nCharWidth; }
    int CharHeight() const { return m_nCharHeight; }

private:
    int m_nCharWidth;
    int m_nCharHeight;
};
