// What each control of the form changes in the document and in the other
// controls.
#include "window/BenchView.h"

#include "document/BenchDoc.h"
#include "window/FormTemplate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

void CBenchView::FillFixedLists()
{
    for (int nId : {IDC_IOSIZE1, IDC_IOSIZE2})
        for (const TransferSize& size : g_TransferSizes)
            Combo(nId)->addItem(QString::fromUtf8(size.label));
    for (const char* pszLabel : g_FileSizeLabels)
        Combo(IDC_FILESIZE)->addItem(QString::fromUtf8(pszLabel));
    for (const char* pszName : g_PatternNames)
        Combo(IDC_PATTERN)->addItem(QString::fromUtf8(pszName));
    for (const char* pszUnit : {"MB/s", "MiB/s", "IO/s"})
        Combo(IDC_UNITS)->addItem(QString::fromUtf8(pszUnit));
}

void CBenchView::ConnectControls()
{
    // activated and clicked come from the user only, as the form's own
    // selection changes raise no notification.
    const auto onChoice = [this](int nId, void (CBenchView::*handler)()) {
        connect(Combo(nId), &QComboBox::activated, this, [this, handler] { (this->*handler)(); });
    };
    onChoice(IDC_DRIVE, &CBenchView::OnDriveChange);
    onChoice(IDC_IOSIZE1, &CBenchView::OnFirstSizeChange);
    onChoice(IDC_IOSIZE2, &CBenchView::OnLastSizeChange);
    onChoice(IDC_FILESIZE, &CBenchView::OnFileSizeChange);
    onChoice(IDC_QUEUEDEPTH, &CBenchView::OnQueueDepthChange);
    onChoice(IDC_PATTERN, &CBenchView::OnPatternChange);
    onChoice(IDC_UNITS, &CBenchView::OnUnitsChange);
    const auto onClick = [this](int nId, void (CBenchView::*handler)()) {
        auto* pButton = qobject_cast<QAbstractButton*>(GetDlgItem(nId));
        connect(pButton, &QAbstractButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    onClick(IDC_DIRECTIO, &CBenchView::OnDirectIo);
    onClick(IDC_WRITECACHE, &CBenchView::OnBypassWriteCache);
    onClick(IDC_VERIFY, &CBenchView::OnVerifyData);
    onClick(IDC_CONTINUOUS, &CBenchView::OnRunContinuously);
    onClick(IDC_BROWSE, &CBenchView::OnBrowse);
    onClick(IDC_START, &CBenchView::OnStart);
    auto* pDescription = qobject_cast<QPlainTextEdit*>(GetDlgItem(IDC_DESCRIPTION));
    connect(pDescription, &QPlainTextEdit::textChanged, this, &CBenchView::OnDescriptionChange);
}

namespace {

// Doubles the file size until it holds one transfer of nBytes; a damaged
// file's size of 0 starts from the smallest listed size instead of looping.
void GrowFileSizeTo(uint64_t& nFileSize, uint64_t nBytes)
{
    if (nFileSize >= nBytes)
        return;
    if (nFileSize == 0)
        nFileSize = FileSizeAt(0);
    while (nFileSize < nBytes)
        nFileSize *= 2;
}

}

void CBenchView::OnFirstSizeChange()
{
    if (m_nUpdating > 0)
        return;
    CBenchDoc& doc = *m_pDocument;
    doc.iosize1 = Combo(IDC_IOSIZE1)->currentIndex();
    if (doc.iosize2 < doc.iosize1) {
        doc.iosize2 = doc.iosize1;
        Combo(IDC_IOSIZE2)->setCurrentIndex(doc.iosize2);
    }
    if (doc.filesize < g_TransferSizes[doc.iosize1].bytes) {
        GrowFileSizeTo(doc.filesize, g_TransferSizes[doc.iosize1].bytes);
        Combo(IDC_FILESIZE)->setCurrentIndex(FileSizePosition(doc.filesize));
    }
    RedrawChart();
    FitScaleToRange();
}

void CBenchView::OnLastSizeChange()
{
    if (m_nUpdating > 0)
        return;
    CBenchDoc& doc = *m_pDocument;
    doc.iosize2 = Combo(IDC_IOSIZE2)->currentIndex();
    if (doc.iosize2 < doc.iosize1) {
        doc.iosize1 = doc.iosize2;
        Combo(IDC_IOSIZE1)->setCurrentIndex(doc.iosize1);
    }
    if (doc.filesize < g_TransferSizes[doc.iosize2].bytes) {
        GrowFileSizeTo(doc.filesize, g_TransferSizes[doc.iosize2].bytes);
        Combo(IDC_FILESIZE)->setCurrentIndex(FileSizePosition(doc.filesize));
    }
    RedrawChart();
    FitScaleToRange();
}

void CBenchView::OnFileSizeChange()
{
    if (m_nUpdating > 0)
        return;
    CBenchDoc& doc = *m_pDocument;
    doc.filesize = FileSizeAt(Combo(IDC_FILESIZE)->currentIndex());
    while (doc.iosize1 > 0 && g_TransferSizes[doc.iosize1].bytes > doc.filesize)
        --doc.iosize1;
    while (doc.iosize2 > 0 && g_TransferSizes[doc.iosize2].bytes > doc.filesize)
        --doc.iosize2;
    Combo(IDC_IOSIZE1)->setCurrentIndex(doc.iosize1);
    Combo(IDC_IOSIZE2)->setCurrentIndex(doc.iosize2);
}

void CBenchView::OnQueueDepthChange()
{
    const int nDepth = Combo(IDC_QUEUEDEPTH)->currentText().toInt();
    m_pDocument->queuedepth = m_pDocument->chosenqueuedepth = static_cast<uint16_t>(nDepth);
}

void CBenchView::OnPatternChange()
{
    m_pDocument->pattern = Combo(IDC_PATTERN)->currentIndex();
}

void CBenchView::OnDirectIo()
{
    m_pDocument->directio = Check(IDC_DIRECTIO)->isChecked() ? 1 : 0;
}

void CBenchView::OnBypassWriteCache()
{
    m_pDocument->bypasswritecache = Check(IDC_WRITECACHE)->isChecked() ? 1 : 0;
}

void CBenchView::OnVerifyData()
{
    CBenchDoc& doc = *m_pDocument;
    const bool bVerify = Check(IDC_VERIFY)->isChecked();
    doc.SetVerifyData(bVerify);
    QComboBox* pDepth = Combo(IDC_QUEUEDEPTH);
    if (bVerify) {
        if (pDepth->count() > 0)
            pDepth->setCurrentIndex(0);
    } else {
        for (int i = 0; i < pDepth->count(); ++i)
            if (pDepth->itemText(i).toInt() == doc.queuedepth) {
                pDepth->setCurrentIndex(i);
                break;
            }
    }
    pDepth->setEnabled(!bVerify);
    for (int nId : {IDC_PATTERN_LABEL, IDC_PATTERN, IDC_CONTINUOUS})
        ShowControl(nId, bVerify);
    OnRunContinuously();
}

void CBenchView::OnRunContinuously()
{
    CBenchDoc& doc = *m_pDocument;
    QCheckBox* pContinuous = Check(IDC_CONTINUOUS);
    doc.continuousio = pContinuous->isChecked() ? 1 : 0;
    pContinuous->setText(doc.continuousio ? QStringLiteral("R&un Continuously for:")
                                          : QStringLiteral("R&un Continuously"));
    const bool bShowMinutes = doc.continuousio && doc.verifydata;
    ShowControl(IDC_RUNTIME, bShowMinutes);
    ShowControl(IDC_MINUTES_LABEL, bShowMinutes);
}

void CBenchView::OnDescriptionChange()
{
    // Filling the box from the document is no edit of the user's.
    if (m_nUpdating > 0)
        return;
    m_pDocument->SetModifiedFlag(true);
}

void CBenchView::OnUnitsChange()
{
    m_nUnits = Combo(IDC_UNITS)->currentIndex();
    RedrawChart();
    FitScaleToRange();
}
