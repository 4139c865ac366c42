#include "window/ErrorDlg.h"

#include "engine/EngineGlobals.h"
#include "engine/RunLog.h"
#include "platform/qt/DialogUnits.h"

#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>

namespace {

constexpr int ID_LOG_TO_FILE = 1068;
constexpr int ID_ERROR_LIST = 1067;

// Draws each tab-separated column of a line at its tab stop.
class CTabStopDelegate final : public QStyledItemDelegate
{
public:
    CTabStopDelegate(QVector<int> stops, QObject* pParent) : QStyledItemDelegate(pParent), m_stops(std::move(stops)) {}

    void paint(QPainter* pPainter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QStringList parts = opt.text.split(QLatin1Char('\t'));
        opt.text.clear();
        opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, pPainter, opt.widget);
        pPainter->save();
        pPainter->setPen(opt.palette.color(QPalette::Text));
        for (int i = 0; i < parts.size(); ++i) {
            const int left = opt.rect.left() + 2 + (i == 0 ? 0 : m_stops.value(i - 1, m_stops.isEmpty() ? 0 : m_stops.back()));
            const QRect cell(left, opt.rect.top(), opt.rect.right() - left, opt.rect.height());
            pPainter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, parts[i]);
        }
        pPainter->restore();
    }

private:
    QVector<int> m_stops;
};

}

CErrorDlg::CErrorDlg(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Data Integrity Errors"));
    setObjectName(QStringLiteral("147"));
    const CDialogUnits du(font());
    setFixedSize(du.X(255), du.Y(138));

    auto* pIntro = new QLabel(QStringLiteral("The following errors occurred during testing:"), this);
    pIntro->setGeometry(du.Rect(7, 7, 200, 8));
    const struct {
        int x, cx;
        const char* text;
    } headings[] = {{7, 62, "I/O Size:"}, {71, 50, "Buffer Index:"}, {122, 62, "Expected Value:"}, {186, 60, "Actual Value:"}};
    for (const auto& h : headings) {
        auto* pHeading = new QLabel(QString::fromLatin1(h.text), this);
        pHeading->setGeometry(du.Rect(h.x, 20, h.cx, 8));
    }

    m_pList = new QListWidget(this);
    m_pList->setObjectName(QString::number(ID_ERROR_LIST));
    m_pList->setGeometry(du.Rect(7, 30, 241, 82));
    m_pList->setSelectionMode(QAbstractItemView::NoSelection);
    m_pList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pList->setSortingEnabled(false);
    m_pList->setUniformItemSizes(true);   // thousands of lines stay cheap to lay out
    m_pList->setItemDelegate(new CTabStopDelegate({du.X(62), du.X(113), du.X(178)}, m_pList));

    auto* pOk = new QPushButton(QStringLiteral("&OK"), this);
    pOk->setObjectName(QStringLiteral("1"));
    pOk->setGeometry(du.Rect(70, 117, 50, 14));
    pOk->setDefault(true);
    connect(pOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* pLog = new QPushButton(QStringLiteral("&Log to File"), this);
    pLog->setObjectName(QString::number(ID_LOG_TO_FILE));
    pLog->setGeometry(du.Rect(135, 117, 50, 14));
    connect(pLog, &QPushButton::clicked, this, &CErrorDlg::OnLogToFile);

    OnInitDialog();
}

CErrorDlg::~CErrorDlg() = default;

void CErrorDlg::SetLogRequest(std::function<void()> fnRequest)
{
    m_fnLogRequest = std::move(fnRequest);
}

void CErrorDlg::OnInitDialog()
{
    m_pList->clear();
    const int n = g_nDataErrors < 0 ? 0 : (g_nDataErrors > MAX_DATA_ERRORS ? MAX_DATA_ERRORS : g_nDataErrors);
    QStringList lines;
    lines.reserve(n);
    for (int i = 0; i < n; ++i)
        lines << QString::fromStdString(FormatErrorDialogLine(g_DataErrors[i]));
    m_pList->addItems(lines);
}

void CErrorDlg::OnLogToFile()
{
    if (m_fnLogRequest)
        m_fnLogRequest();
    done(0);
}
