// The Drive list: the mounts of this system, then folders chosen later or
// the document's own target. Each entry carries its target as item data.
#include "window/BenchView.h"

#include "document/BenchDoc.h"
#include "platform/MessageBox.h"
#include "platform/qt/FileDialogs.h"
#include "window/FormTemplate.h"
#include "window/TargetRules.h"

#include <QComboBox>

namespace {

std::string EntryTarget(const QComboBox* pList, int i)
{
    return pList->itemData(i).toString().toStdString();
}

}

void CBenchView::AddDriveEntry(const std::string& strText, const std::string& strTarget)
{
    Combo(IDC_DRIVE)->addItem(QString::fromStdString(strText), QString::fromStdString(strTarget));
}

int CBenchView::FillDriveList()
{
    const std::vector<MountEntry> mounts = m_mountSource ? m_mountSource() : std::vector<MountEntry>{};
    for (const MountEntry& m : mounts)
        AddDriveEntry(m.strDisplayText, m.strMountPoint);
    return static_cast<int>(mounts.size());
}

bool CBenchView::SelectDocumentDrive()
{
    QComboBox* pList = Combo(IDC_DRIVE);
    const std::string& strDrive = m_pDocument->drive;
    for (int i = 0; i < m_pDocument->drivecount && i < pList->count(); ++i)
        if (EntryTarget(pList, i) == strDrive) {
            pList->setCurrentIndex(i);
            return true;
        }
    AddDriveEntry(strDrive, strDrive);
    pList->setCurrentIndex(pList->count() - 1);
    ++m_pDocument->drivecount;
    return IsUncServerShare(strDrive) || TargetExists(strDrive);
}

void CBenchView::OnDriveChange()
{
    if (m_nUpdating > 0)
        return;
    QComboBox* pList = Combo(IDC_DRIVE);
    if (pList->currentIndex() >= 0)
        m_pDocument->drive = EntryTarget(pList, pList->currentIndex());
}

void CBenchView::OnBrowse()
{
    const std::string strPath = FileDialogs().GetExistingDirectory("", m_pDocument->drive);
    if (strPath.empty())
        return;   // cancelled
    if (!CanWriteInto(strPath)) {
        const std::string strText =
            strPath + " is not accessible." + " You may not have permission to use this resource.";
        AfxMessageBox(strText.c_str(), MB_ICONEXCLAMATION);
        return;
    }
    m_pDocument->drive = strPath;
    QComboBox* pList = Combo(IDC_DRIVE);
    for (int i = 0; i < m_pDocument->drivecount && i < pList->count(); ++i)
        if (EntryTarget(pList, i) == strPath) {
            pList->setCurrentIndex(i);
            return;
        }
    AddDriveEntry(strPath, strPath);
    pList->setCurrentIndex(pList->count() - 1);
    ++m_pDocument->drivecount;
}
