#include "window/Hyperlink.h"

#include "platform/MessageBox.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QProcess>
#include <QUrl>

#include <cstdio>

std::string HyperlinkErrorText(int nCode)
{
    switch (nCode) {
    case 0: return "The operating system is out\nof memory or resources.";
    case 2: return "The specified file was not found.";
    case 3: return "The specified path was not found.";
    case 5: return "The operating system denied\naccess to the specified file.";
    case 8: return "There was not enough memory to complete the operation.";
    case 11: return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26: return "A sharing violation occurred. ";
    case 27: return "The filename association is\nincomplete or invalid.";
    case 28: return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29: return "The DDE transaction failed.";
    case 30: return "The DDE transation could not\nbe completed because other DDE transations\n were being processed.";
    case 31: return "There is no application associated\nwith the given filename extension.";
    case 32: return "The specified dynamic-link library was not found.";
    default: {
        char text[64];
        std::snprintf(text, sizeof text, "Unknown error (%d) occurred.", nCode);
        return text;
    }
    }
}

int OpenLinkWithDesktop(const char* pszVerb, const std::string& strUrl)
{
    const QUrl url = QUrl::fromUserInput(QString::fromStdString(strUrl));
    if (pszVerb)
        return QDesktopServices::openUrl(url) ? 33 : 31;
    return QProcess::startDetached(QStringLiteral("xdg-open"), {url.toString()}) ? 33 : 2;
}

CHyperlink::CHyperlink(QWidget* pParent)
    : QLabel(pParent), m_strUrl("www.example.com/tarnwick"), m_opener(OpenLinkWithDesktop)
{
    setCursor(Qt::PointingHandCursor);
}

CHyperlink::~CHyperlink() = default;

void CHyperlink::SetOpener(LinkOpener opener)
{
    m_opener = std::move(opener);
}

void CHyperlink::OnClicked()
{
    int nResult = m_opener("open", m_strUrl);
    if (nResult <= 32)
        nResult = m_opener(nullptr, m_strUrl);
    if (nResult > 32) {
        update();
        return;
    }
    const std::string text = "Unable to open hyperlink:\n\n" + HyperlinkErrorText(nResult);
    AfxMessageBox(text.c_str(), MB_ICONWARNING);
}

void CHyperlink::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() == Qt::LeftButton && rect().contains(pEvent->position().toPoint()))
        OnClicked();
    QLabel::mouseReleaseEvent(pEvent);
}
