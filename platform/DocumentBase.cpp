#include "platform/DocumentBase.h"

CDocumentBase::CDocumentBase() : m_strTitle("Untitled") {}

CDocumentBase::~CDocumentBase() = default;

bool CDocumentBase::OnNewDocument()
{
    m_strPathName.clear();
    SetTitle("Untitled");
    SetModifiedFlag(false);
    return true;
}

bool CDocumentBase::OnOpenDocument(const char*)
{
    return false;
}

bool CDocumentBase::OnSaveDocument(const char*)
{
    return false;
}

void CDocumentBase::SetPathName(const std::string& strPathName)
{
    m_strPathName = strPathName;
    const auto slash = strPathName.find_last_of('/');
    SetTitle(slash == std::string::npos ? strPathName : strPathName.substr(slash + 1));
}

void CDocumentBase::SetTitle(const std::string& strTitle)
{
    m_strTitle = strTitle;
    OnTitleChanged();
    if (m_onTitleChanged)
        m_onTitleChanged();
}
