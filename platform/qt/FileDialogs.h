#pragma once

#include <deque>
#include <string>
#include <vector>

class QWidget;

// The file and folder choosers behind a small interface, so that tests can
// script the user's answers. An empty result means the user cancelled.
class IFileDialogs
{
public:
    virtual ~IFileDialogs() = default;

    // filter in the form "Benchmark Results (*.bmk)".
    virtual std::string GetOpenFileName(const std::string& strTitle, const std::string& strFilter) = 0;
    // strDefaultExt without the dot ("bmk"): added when the chosen name has no extension.
    virtual std::string GetSaveFileName(const std::string& strTitle, const std::string& strFilter,
                                        const std::string& strDefaultExt, const std::string& strInitialName) = 0;
    virtual std::string GetExistingDirectory(const std::string& strTitle, const std::string& strStartDir) = 0;
};

// The dialogs in use: the Qt ones unless another set was installed.
IFileDialogs& FileDialogs();
// Installs a set (null for the Qt ones) and returns the previous one (null for the Qt ones).
IFileDialogs* SetFileDialogs(IFileDialogs* pDialogs);

// Adds ".ext" when the file name part of the path has no extension.
std::string AddDefaultExtension(const std::string& strPath, const std::string& strDefaultExt);

// QFileDialog, owned by the active window.
class CQtFileDialogs final : public IFileDialogs
{
public:
    std::string GetOpenFileName(const std::string& strTitle, const std::string& strFilter) override;
    std::string GetSaveFileName(const std::string& strTitle, const std::string& strFilter,
                                const std::string& strDefaultExt, const std::string& strInitialName) override;
    std::string GetExistingDirectory(const std::string& strTitle, const std::string& strStartDir) override;
};

// For tests: answers from a queue, in order, and records every request.
// An empty queue answers as a cancelled dialog. Installs itself while it lives.
class CScriptedFileDialogs final : public IFileDialogs
{
public:
    enum class Kind { Open, Save, Directory };
    struct Request
    {
        Kind kind;
        std::string title;
        std::string filter;
        std::string defaultExt;
        std::string initialName;
    };

    CScriptedFileDialogs();
    ~CScriptedFileDialogs() override;
    CScriptedFileDialogs(const CScriptedFileDialogs&) = delete;
    CScriptedFileDialogs& operator=(const CScriptedFileDialogs&) = delete;

    // The next answer; "" answers as Cancel.
    void Answer(std::string strPath) { m_answers.push_back(std::move(strPath)); }
    const std::vector<Request>& Requests() const { return m_requests; }

    std::string GetOpenFileName(const std::string& strTitle, const std::string& strFilter) override;
    std::string GetSaveFileName(const std::string& strTitle, const std::string& strFilter,
                                const std::string& strDefaultExt, const std::string& strInitialName) override;
    std::string GetExistingDirectory(const std::string& strTitle, const std::string& strStartDir) override;

private:
    std::string Next(Request request);

    IFileDialogs* m_pPrevious;
    std::deque<std::string> m_answers;
    std::vector<Request> m_requests;
};
