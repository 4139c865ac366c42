#include "document/BenchDoc.h"
#include "document/BenchFileForms.h"
#include "platform/MessageBox.h"
#include "util/CommandLineOptions.h"

#include <cctype>

bool PathEndsWith(std::string_view strPath, std::string_view strSuffix)
{
    if (strPath.size() < strSuffix.size())
        return false;
    const std::string_view tail = strPath.substr(strPath.size() - strSuffix.size());
    for (size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) != strSuffix[i])
            return false;
    return true;
}

bool CBenchDoc::OnSaveDocument(const char* pszPathName)
{
    if (m_pfnUpdateFromForm)
        m_pfnUpdateFromForm(*this);
    const char* pszPath = pszPathName ? pszPathName : "";
    // An unattended run saves over the test it opened, whatever its name.
    if (!PathEndsWith(pszPath, "bmk") && !IsUnattended()) {
        AfxMessageBox("Please save test results as\nBenchmark Results (*.bmk)", MB_ICONERROR);
        return false;
    }
    if (!WriteXmlForm(*this, pszPath)) {
        AfxMessageBox("Failed to save results.", MB_ICONERROR);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool CBenchDoc::OnOpenDocument(const char* pszPathName)
{
    const char* pszPath = pszPathName ? pszPathName : "";
    ResetRates();
    switch (ReadXmlForm(*this, pszPath)) {
    case XML_READ_OK:
        return true;
    case XML_READ_NOT_BENCH:
        AfxMessageBox("Unexpected file format.", MB_ICONWARNING);
        return false;
    default:
        break;
    }
    if (!PathEndsWith(pszPath, "tst") && !PathEndsWith(pszPath, "bmk")) {
        AfxMessageBox("Invalid file.", MB_ICONERROR);
        return false;
    }
    return ReadArchiveForm(*this, pszPath);
}
