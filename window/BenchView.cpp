#include "window/BenchView.h"

#include "document/BenchDoc.h"
#include "engine/BenchMessages.h"
#include "engine/EngineGlobals.h"
#include "platform/MessageBox.h"
#include "platform/SectorSize.h"
#include "util/CommandLineOptions.h"
#include "window/BenchEvent.h"
#include "window/FormBuilder.h"
#include "window/FormTemplate.h"
#include "window/RateFormat.h"
#include "window/ResultsTable.h"
#include "window/TargetRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>


CBenchView::CBenchView(QWidget* pParent)
    : CCommandTarget<QWidget>(pParent)
{
    m_formSize = BuildBenchForm(this, m_controls);
    setFixedSize(m_formSize);
    m_mountSource = [] { return ListMounts(); };
    m_pfnSectorSize = [](const char* pszTarget) { return GetSectorSize(pszTarget); };
    m_pPoster = std::make_unique<CBenchPoster>(this);
    g_szTestFile.clear();
    FillFixedLists();
    ConnectControls();
    AttachChart();
}

CBenchView::~CBenchView()
{
    // The worker only posts, so it can be joined without serving it; what it
    // posted meanwhile goes with this object. Then the test file closes.
    if (m_pWorkerThread && m_pWorkerThread->joinable()) {
        g_bStopTest = true;
        m_pWorkerThread->join();
    }
    m_TestFile.Close();
}

QWidget* CBenchView::GetDlgItem(int nId) const
{
    const auto it = m_controls.find(nId);
    return it == m_controls.end() ? nullptr : it->second;
}

QComboBox* CBenchView::Combo(int nId) const { return qobject_cast<QComboBox*>(GetDlgItem(nId)); }
QCheckBox* CBenchView::Check(int nId) const { return qobject_cast<QCheckBox*>(GetDlgItem(nId)); }

void CBenchView::ShowControl(int nId, bool bShow)
{
    if (QWidget* p = GetDlgItem(nId))
        p->setVisible(bShow);
}

void CBenchView::SetDlgItemText(int nId, const std::string& strText)
{
    const QString text = QString::fromStdString(strText);
    QWidget* p = GetDlgItem(nId);
    if (auto* pLabel = qobject_cast<QLabel*>(p))
        pLabel->setText(text);
    else if (auto* pButton = qobject_cast<QAbstractButton*>(p))
        pButton->setText(text);
    else if (auto* pLine = qobject_cast<QLineEdit*>(p))
        pLine->setText(text);
    else if (auto* pEdit = qobject_cast<QPlainTextEdit*>(p))
        pEdit->setPlainText(text);
}

std::string CBenchView::GetDlgItemText(int nId) const
{
    QWidget* p = GetDlgItem(nId);
    if (auto* pLabel = qobject_cast<QLabel*>(p))
        return pLabel->text().toStdString();
    if (auto* pButton = qobject_cast<QAbstractButton*>(p))
        return pButton->text().toStdString();
    if (auto* pLine = qobject_cast<QLineEdit*>(p))
        return pLine->text().toStdString();
    if (auto* pEdit = qobject_cast<QPlainTextEdit*>(p))
        return pEdit->toPlainText().toStdString();
    if (auto* pCombo = qobject_cast<QComboBox*>(p))
        return pCombo->currentText().toStdString();
    return {};
}

std::string CBenchView::GetDescriptionText() const { return GetDlgItemText(IDC_DESCRIPTION); }
std::string CBenchView::GetMinutesText() const { return GetDlgItemText(IDC_RUNTIME); }

void CBenchView::OnCommand(uint32_t nId)
{
    if (nId == IDC_START)
        OnStart();
    else if (nId == ID_VIEW_SCALE_FACTOR)
        OnScaleFactor();
}

void CBenchView::OnInitialUpdate()
{
    // The frame follows the form's size and sits in the middle of its screen.
    if (QWidget* pFrame = window(); pFrame != this) {
        pFrame->adjustSize();
        if (QScreen* pScreen = pFrame->screen()) {
            QRect rc = pFrame->frameGeometry();
            rc.moveCenter(pScreen->availableGeometry().center());
            pFrame->move(rc.topLeft());
        }
    }

    Combo(IDC_DRIVE)->clear();
    m_pDocument->drivecount = FillDriveList();
    ResetChart();

    if (!SelectDocumentDrive()) {
        std::string strText = MissingTargetText(m_pDocument->drive);
        if (IsUnattended()) {
            strText += " Test aborted.";
            WriteLog(strText.c_str());
            if (m_pMainFrame)
                PostCommand(m_pMainFrame, ID_APP_EXIT);
            return;
        }
        strText += " Information will be loaded.";
        AfxMessageBox(strText.c_str(), MB_ICONEXCLAMATION);
    }
    OnUpdate();
}

void CBenchView::OnUpdate()
{
    CBenchDoc& doc = *m_pDocument;
    ++m_nUpdating;
    Combo(IDC_IOSIZE1)->setCurrentIndex(doc.iosize1);
    Combo(IDC_IOSIZE2)->setCurrentIndex(doc.iosize2);
    Combo(IDC_FILESIZE)->setCurrentIndex(FileSizePosition(doc.filesize));
    Combo(IDC_PATTERN)->setCurrentIndex(doc.pattern);
    SetDlgItemText(IDC_DESCRIPTION, doc.description);
    SetDlgItemText(IDC_RUNTIME, doc.ioruntime);
    Check(IDC_DIRECTIO)->setChecked(doc.directio != 0);
    Check(IDC_WRITECACHE)->setChecked(doc.bypasswritecache != 0);
    Check(IDC_VERIFY)->setChecked(doc.verifydata != 0);
    Check(IDC_CONTINUOUS)->setChecked(doc.continuousio != 0);
    Combo(IDC_UNITS)->setCurrentIndex(m_nUnits);
    OnVerifyData();

    QComboBox* pDepth = Combo(IDC_QUEUEDEPTH);
    if (pDepth->count() == 0)
        for (uint16_t nDepth : g_QueueDepths)
            pDepth->addItem(QString::number(nDepth));
    for (int i = 0; i < pDepth->count(); ++i)
        if (pDepth->itemText(i).toInt() == doc.queuedepth) {
            pDepth->setCurrentIndex(i);
            break;
        }

    FitScaleToValue(m_nUnits == 2 ? doc.maxiops : doc.maxbps);
    FillResultsTable();
    RedrawChart();
    --m_nUpdating;

    // An unattended run starts by itself, once: a later refresh must not
    // post the Start that would cancel it.
    if (IsUnattended() && !m_bAutoStarted && !m_bRunUnderWay) {
        m_bAutoStarted = true;
        PostCommand(this, IDC_START);
    }
}

void CBenchView::ApplyTable(const TableSlotTexts* pTexts)
{
    for (int k = 0; k < NUM_TABLE_SLOTS; ++k) {
        SetDlgItemText(IDC_TABLE_SIZE + k, pTexts[k].size);
        SetDlgItemText(IDC_TABLE_WRITE + k, pTexts[k].write);
        SetDlgItemText(IDC_TABLE_READ + k, pTexts[k].read);
    }
}

void CBenchView::FillResultsTable()
{
    ApplyTable(BuildFilledTable(*m_pDocument, m_nUnits).data());
}

void CBenchView::ShowTableAsPainted()
{
    ApplyTable(BuildPaintedTable(*m_pDocument, m_nUnits).data());
}
