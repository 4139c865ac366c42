#include "platform/qt/FileDialogs.h"

#include <QApplication>
#include <QFileDialog>

#include <utility>

namespace {
IFileDialogs* g_pInstalled = nullptr;

QString Q(const std::string& str) { return QString::fromStdString(str); }

std::string S(const QString& str) { return str.toStdString(); }
}

IFileDialogs& FileDialogs()
{
    static CQtFileDialogs qtDialogs;
    return g_pInstalled ? *g_pInstalled : qtDialogs;
}

IFileDialogs* SetFileDialogs(IFileDialogs* pDialogs)
{
    return std::exchange(g_pInstalled, pDialogs);
}

std::string AddDefaultExtension(const std::string& strPath, const std::string& strDefaultExt)
{
    if (strPath.empty() || strDefaultExt.empty())
        return strPath;
    const auto slash = strPath.find_last_of('/');
    const std::string name = slash == std::string::npos ? strPath : strPath.substr(slash + 1);
    // A leading dot names a hidden file, not an extension.
    if (name.find('.', 1) != std::string::npos)
        return strPath;
    return strPath + "." + strDefaultExt;
}

std::string CQtFileDialogs::GetOpenFileName(const std::string& strTitle, const std::string& strFilter)
{
    return S(QFileDialog::getOpenFileName(QApplication::activeWindow(), Q(strTitle), QString(), Q(strFilter)));
}

std::string CQtFileDialogs::GetSaveFileName(const std::string& strTitle, const std::string& strFilter,
                                            const std::string& strDefaultExt, const std::string& strInitialName)
{
    QFileDialog dialog(QApplication::activeWindow(), Q(strTitle), QString(), Q(strFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(Q(strDefaultExt));
    if (!strInitialName.empty())
        dialog.selectFile(Q(strInitialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return AddDefaultExtension(S(dialog.selectedFiles().constFirst()), strDefaultExt);
}

std::string CQtFileDialogs::GetExistingDirectory(const std::string& strTitle, const std::string& strStartDir)
{
    return S(QFileDialog::getExistingDirectory(QApplication::activeWindow(), Q(strTitle), Q(strStartDir)));
}

CScriptedFileDialogs::CScriptedFileDialogs() : m_pPrevious(SetFileDialogs(this)) {}

CScriptedFileDialogs::~CScriptedFileDialogs()
{
    SetFileDialogs(m_pPrevious);
}

std::string CScriptedFileDialogs::Next(Request request)
{
    m_requests.push_back(std::move(request));
    if (m_answers.empty())
        return {};
    std::string answer = std::move(m_answers.front());
    m_answers.pop_front();
    return answer;
}

std::string CScriptedFileDialogs::GetOpenFileName(const std::string& strTitle, const std::string& strFilter)
{
    return Next({Kind::Open, strTitle, strFilter, {}, {}});
}

std::string CScriptedFileDialogs::GetSaveFileName(const std::string& strTitle, const std::string& strFilter,
                                                  const std::string& strDefaultExt, const std::string& strInitialName)
{
    return AddDefaultExtension(Next({Kind::Save, strTitle, strFilter, strDefaultExt, strInitialName}), strDefaultExt);
}

std::string CScriptedFileDialogs::GetExistingDirectory(const std::string& strTitle, const std::string& strStartDir)
{
    return Next({Kind::Directory, strTitle, {}, {}, strStartDir});
}
