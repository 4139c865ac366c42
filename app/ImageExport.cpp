#include "app/ImageExport.h"

#include "app/ExportGeometry.h"
#include "platform/MessageBox.h"
#include "platform/qt/FileDialogs.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QWidget>

namespace {
const char EXPORT_TITLE[] = "Export Image";
const char EXPORT_FILTER[] = "JPEG (*.jpg)";
const char EXPORT_EXT[] = "jpg";

// Long enough for a menu that has just closed to leave the screen.
constexpr unsigned long CAPTURE_WAIT_MS = 300;

// What the capture covers, in screen coordinates: the frame with its
// border, caption and menu, cut to the virtual screen from 0,0.
QRect ClampedFrameRect(const QWidget* pFrame)
{
    const QRect rcFrame = pFrame->frameGeometry();
    const QScreen* pScreen = pFrame->screen();
    const QSize virtualSize = pScreen ? pScreen->virtualSize() : QSize();
    const CaptureRect rc = ClampCaptureRect({rcFrame.left(), rcFrame.top(), rcFrame.right() + 1, rcFrame.bottom() + 1},
                                            virtualSize.width(), virtualSize.height());
    if (rc.right <= rc.left || rc.bottom <= rc.top)
        return {};
    return QRect(QPoint(rc.left, rc.top), QPoint(rc.right - 1, rc.bottom - 1));
}
}

CImageExport::CImageExport(QWidget* pFrame) : m_pFrame(pFrame) {}

CImageExport::~CImageExport() = default;

bool CImageExport::PlatformGivesScreenPixels()
{
    const QString name = QGuiApplication::platformName();
    return !(name == QLatin1String("offscreen") || name == QLatin1String("minimal")
             || name.startsWith(QLatin1String("wayland")));
}

QImage CImageExport::GrabFromScreen() const
{
    const QRect rc = ClampedFrameRect(m_pFrame);
    QScreen* pScreen = m_pFrame->screen();
    if (rc.isEmpty() || !pScreen)
        return {};
    // The root window is grabbed in the coordinates of the screen it shows.
    const QPoint origin = pScreen->geometry().topLeft();
    return pScreen->grabWindow(0, rc.left() - origin.x(), rc.top() - origin.y(), rc.width(), rc.height()).toImage();
}

QImage CImageExport::GrabOwnRendering() const
{
    // Only the client area can be rendered; it is cut as the screen would cut it.
    const QRect rcClient = m_pFrame->geometry();
    const QRect rc = ClampedFrameRect(m_pFrame).intersected(rcClient);
    if (rc.isEmpty())
        return {};
    return m_pFrame->grab(rc.translated(-rcClient.topLeft())).toImage();
}

bool CImageExport::CaptureWindow()
{
    QThread::msleep(CAPTURE_WAIT_MS);
    m_pCaptureBitmap.reset();
    m_pFrame->show();
    // Let every window repaint before its pixels are read.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);

    QImage image;
    if (PlatformGivesScreenPixels())
        image = GrabFromScreen();
    // A screen that hands out no pixels leaves the frame's own rendering.
    if (image.isNull())
        image = GrabOwnRendering();
    if (image.isNull())
        return false;
    m_pCaptureBitmap = std::make_unique<QImage>(std::move(image));
    return true;
}

void CImageExport::OnExportImage(const std::string& strTitle)
{
    if (!CaptureWindow()) {
        AfxMessageBox("Unable to create image.", MB_ICONERROR);
        return;
    }
    // The dialog asks before it overwrites a file; an empty answer is Cancel,
    // which keeps the capture until the next one.
    const std::string path =
        FileDialogs().GetSaveFileName(EXPORT_TITLE, EXPORT_FILTER, EXPORT_EXT, DefaultExportName(strTitle));
    if (path.empty())
        return;
    // From here the capture belongs to this save and is released once, after it.
    const std::unique_ptr<QImage> pImage = std::move(m_pCaptureBitmap);
    QImageWriter writer(QString::fromStdString(path), "jpg");
    if (!writer.write(*pImage))
        AfxMessageBox("Unable to save image.", MB_ICONERROR);
}
