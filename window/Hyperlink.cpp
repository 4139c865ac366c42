#include "window/Hyperlink.h"

#include "platform/MessageBox.h"

#include <QCoreApplication>
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

namespace {

// How long a click waits for xdg-open's verdict. A launcher still running
// then is taken as the browser at work; it is left to finish on its own.
constexpr int XDG_OPEN_WAIT_MS = 2000;

// xdg-open's exit statuses as result codes: 2 a file that does not exist,
// 3 no tool to open it with, 4 the tool failed.
int XdgOpenResult(int nExitStatus)
{
    switch (nExitStatus) {
    case 0: return 33;
    case 2: return 2;
    case 3:
    case 4: return 31;
    default: return 1;
    }
}

} // namespace

int OpenLinkWithDesktop(const char* pszVerb, const std::string& strUrl)
{
    const QUrl url = QUrl::fromUserInput(QString::fromStdString(strUrl));
    if (!pszVerb)
        return QDesktopServices::openUrl(url) ? 33 : 31;
    // Watched rather than detached, so a launcher that finds no browser is a
    // failure the user hears about instead of a silent success.
    auto* pProcess = new QProcess(qApp);
    pProcess->setProgram(QStringLiteral("xdg-open"));
    pProcess->setArguments({url.toString()});
    pProcess->setStandardOutputFile(QProcess::nullDevice());
    pProcess->setStandardErrorFile(QProcess::nullDevice());
    pProcess->start();
    if (!pProcess->waitForStarted()) {
        delete pProcess;
        return 2;
    }
    if (!pProcess->waitForFinished(XDG_OPEN_WAIT_MS)) {
        QObject::connect(pProcess, &QProcess::finished, pProcess, &QObject::deleteLater);
        return 33;
    }
    const int nResult = pProcess->exitStatus() == QProcess::NormalExit ? XdgOpenResult(pProcess->exitCode()) : 1;
    delete pProcess;
    return nResult;
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
