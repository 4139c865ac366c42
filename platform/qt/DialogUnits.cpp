#include "platform/qt/DialogUnits.h"

#include <QFontMetrics>

CDialogUnits::CDialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    // The average over the 52 letters, rounded, as dialog templates have always measured it.
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_nCharWidth = (letters / 26 + 1) / 2;
    m_nCharHeight = metrics.height();
    if (m_nCharWidth < 1)
        m_nCharWidth = 1;
    if (m_nCharHeight < 1)
        m_nCharHeight = 1;
}

int CDialogUnits::X(int nUnits) const
{
    return nUnits * m_nCharWidth / 4;
}

int CDialogUnits::Y(int nUnits) const
{
    return nUnits * m_nCharHeight / 8;
}

QRect CDialogUnits::Rect(int x, int y, int cx, int cy) const
{
    // Edges are converted, not sizes, so neighbouring controls meet exactly.
    const int left = X(x);
    const int top = Y(y);
    return QRect(left, top, X(x + cx) - left, Y(y + cy) - top);
}
