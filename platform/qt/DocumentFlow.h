#pragma once

#include <functional>
#include <string>

class CDocumentBase;
class CRecentFileList;
class IFileDialogs;

// The File menu's work on the one document: New, Open, Save, Save As, the
// recent files and the question before anything replaces unsaved changes.
class CDocumentFlow
{
public:
    // The dialogs in use are FileDialogs() unless a set is given.
    CDocumentFlow(CDocumentBase& doc, CRecentFileList& recent, IFileDialogs* pDialogs = nullptr);
    CDocumentFlow(const CDocumentFlow&) = delete;
    CDocumentFlow& operator=(const CDocumentFlow&) = delete;

    // Called after a new or opened document is in place: the view fills itself.
    void SetDocumentReplacedHandler(std::function<void()> handler) { m_onReplaced = std::move(handler); }

    // When modified, asks "Save changes to <name>?": Yes saves (false if the
    // save fails or is cancelled), No goes on, Cancel stops (false).
    bool SaveModified();

    bool FileNew();
    // The Open dialog, then OpenDocumentFile.
    bool FileOpen();
    // After SaveModified; a file that fails to open leaves a new default
    // document (what was read before the failure is not kept), the reader
    // having said why.
    bool OpenDocumentFile(const std::string& strPath);
    // The recent file at the index; one that no longer opens leaves the list.
    bool OpenRecentFile(int nIndex);
    // Over the document's file; a document without one asks for a name.
    bool FileSave();
    bool FileSaveAs();

    static const char* const FILTER;        // "Benchmark Results (*.bmk)"
    static const char* const DEFAULT_EXT;   // "bmk"

private:
    IFileDialogs& Dialogs() const;
    bool Load(const std::string& strPath);
    bool SaveTo(const std::string& strPath);
    void Replaced();

    CDocumentBase& m_doc;
    CRecentFileList& m_recent;
    IFileDialogs* m_pDialogs;
    std::function<void()> m_onReplaced;
};
