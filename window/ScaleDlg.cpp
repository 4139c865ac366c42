#include "window/ScaleDlg.h"

#include "document/BenchDoc.h"
#include "window/BenchView.h"
#include "platform/qt/DialogUnits.h"
#include "window/ChartMath.h"
#include "window/RateFormat.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

CScaleDlg::CScaleDlg(QWidget* pParent)
    : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Scale Factor"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    const CDialogUnits du(font());
    auto* pLabel = new QLabel(QStringLiteral("Full Scale Value:"), this);
    pLabel->setGeometry(du.Rect(37, 19, 54, 8));
    m_pList = new QComboBox(this);
    m_pList->setObjectName(QStringLiteral("1066"));
    QRect rc = du.Rect(99, 17, 49, 57);
    rc.setHeight(std::min(rc.height(), m_pList->sizeHint().height()));
    m_pList->setGeometry(rc);
    auto* pOk = new QPushButton(QStringLiteral("OK"), this);
    pOk->setObjectName(QStringLiteral("1"));
    pOk->setGeometry(du.Rect(33, 62, 50, 14));
    pOk->setDefault(true);
    auto* pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    pCancel->setObjectName(QStringLiteral("2"));
    pCancel->setGeometry(du.Rect(103, 62, 50, 14));
    connect(pOk, &QPushButton::clicked, this, &CScaleDlg::accept);
    connect(pCancel, &QPushButton::clicked, this, &CScaleDlg::reject);
    setFixedSize(du.X(183), du.Y(92));
}

CScaleDlg::~CScaleDlg() = default;

void CScaleDlg::OnInitDialog()
{
    const int nUnits = m_pView ? m_pView->GetUnits() : 0;
    m_pList->clear();
    m_pList->addItem(QStringLiteral("Auto"));
    for (int i = 0; i < NUM_SCALE_STEPS; ++i)
        m_pList->addItem(QString::fromStdString(FormatRateText(FullScaleStep(nUnits, i), nUnits)));
    m_pList->setCurrentIndex(m_nChoice);
}

int CScaleDlg::exec()
{
    OnInitDialog();
    return QDialog::exec();
}

void CScaleDlg::accept()
{
    if (m_pView && m_pView->GetDocument())
        m_pView->GetDocument()->SetModifiedFlag(true);
    m_nChoice = m_pList->currentIndex();
    QDialog::accept();
}
