#include "platform/qt/DocumentFlow.h"

#include "platform/DocumentBase.h"
#include "platform/MessageBox.h"
#include "platform/qt/FileDialogs.h"
#include "platform/qt/RecentFiles.h"

const char* const CDocumentFlow::FILTER = "Benchmark Results (*.bmk)";
const char* const CDocumentFlow::DEFAULT_EXT = "bmk";

CDocumentFlow::CDocumentFlow(CDocumentBase& doc, CRecentFileList& recent, IFileDialogs* pDialogs)
    : m_doc(doc), m_recent(recent), m_pDialogs(pDialogs)
{
}

IFileDialogs& CDocumentFlow::Dialogs() const
{
    return m_pDialogs ? *m_pDialogs : FileDialogs();
}

void CDocumentFlow::Replaced()
{
    if (m_onReplaced)
        m_onReplaced();
}

bool CDocumentFlow::SaveModified()
{
    if (!m_doc.IsModified())
        return true;
    const std::string& name = m_doc.GetPathName().empty() ? m_doc.GetTitle() : m_doc.GetPathName();
    const std::string text = "Save changes to " + name + "?";
    switch (AfxMessageBox(text.c_str(), MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
        return FileSave();
    case IDNO:
        return true;
    default:
        return false;
    }
}

bool CDocumentFlow::FileNew()
{
    if (!SaveModified())
        return false;
    const bool bDone = m_doc.OnNewDocument();
    Replaced();
    return bDone;
}

bool CDocumentFlow::FileOpen()
{
    // Older result files end in "tst", so every file may be chosen.
    const std::string path = Dialogs().GetOpenFileName("Open", std::string(FILTER) + ";;All Files (*)");
    if (path.empty())
        return false;
    return OpenDocumentFile(path);
}

bool CDocumentFlow::OpenDocumentFile(const std::string& strPath)
{
    if (!SaveModified())
        return false;
    return Load(strPath);
}

bool CDocumentFlow::Load(const std::string& strPath)
{
    if (!m_doc.OnOpenDocument(strPath.c_str())) {
        // A reader may stop half-way; show a clean document rather than a mix.
        m_doc.OnNewDocument();
        Replaced();
        return false;
    }
    m_doc.SetPathName(strPath);
    m_doc.SetModifiedFlag(false);
    m_recent.Add(strPath);
    Replaced();
    return true;
}

bool CDocumentFlow::OpenRecentFile(int nIndex)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_recent.Paths().size()))
        return false;
    const std::string path = m_recent.Paths()[nIndex];
    if (!SaveModified())
        return false;
    if (Load(path))
        return true;
    m_recent.Remove(nIndex);
    return false;
}

bool CDocumentFlow::FileSave()
{
    if (m_doc.GetPathName().empty())
        return FileSaveAs();
    return SaveTo(m_doc.GetPathName());
}

bool CDocumentFlow::FileSaveAs()
{
    const std::string initial = m_doc.GetPathName().empty() ? m_doc.GetTitle() : m_doc.GetPathName();
    const std::string path = Dialogs().GetSaveFileName("Save As", FILTER, DEFAULT_EXT, initial);
    if (path.empty())
        return false;
    return SaveTo(path);
}

bool CDocumentFlow::SaveTo(const std::string& strPath)
{
    if (!m_doc.OnSaveDocument(strPath.c_str()))
        return false;
    m_doc.SetModifiedFlag(false);
    if (strPath != m_doc.GetPathName())
        m_doc.SetPathName(strPath);
    else
        m_doc.SetTitle(m_doc.GetTitle());  // the caption is set again after every save
    m_recent.Add(strPath);
    return true;
}
