#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <utility>

// The small document base the application's document extends: a path, a
// title shown in the caption, and the modified flag. The window layer's
// framework drives New/Open/Save through the virtual operations.
class CDocumentBase
{
public:
    CDocumentBase();
    virtual ~CDocumentBase();
    CDocumentBase(const CDocumentBase&) = delete;
    CDocumentBase& operator=(const CDocumentBase&) = delete;

    // Clears path and modified flag and titles the document "Untitled".
    virtual bool OnNewDocument();
    // The framework has no file form of its own: the application supplies it.
    virtual bool OnOpenDocument(const char* pszPathName);
    virtual bool OnSaveDocument(const char* pszPathName);

    const std::string& GetPathName() const { return m_strPathName; }
    // Also titles the document with the file name part of the path.
    void SetPathName(const std::string& strPathName);
    const std::string& GetTitle() const { return m_strTitle; }
    void SetTitle(const std::string& strTitle);

    // The worker thread marks the document modified at the end of a run.
    bool IsModified() const { return m_bModified.load(std::memory_order_acquire); }
    void SetModifiedFlag(bool bModified = true) { m_bModified.store(bModified, std::memory_order_release); }

    // Called after every title change, whoever sets it: the frame keeps its
    // caption in step with the title through this.
    void SetTitleChangedHandler(std::function<void()> handler) { m_onTitleChanged = std::move(handler); }

protected:
    // Called whenever the title changes, so a frame can follow it.
    virtual void OnTitleChanged() {}

private:
    std::function<void()> m_onTitleChanged;
    std::string m_strPathName;
    std::string m_strTitle;
    std::atomic<bool> m_bModified{false};
};
