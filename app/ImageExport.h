#pragma once

#include <QImage>

#include <memory>
#include <string>

class QWidget;

// "Export Image...": a picture of the main frame as it is on the screen,
// saved as a JPEG file. Holds at most one capture; a new capture releases
// the previous one, a save releases it.
class CImageExport final
{
public:
    explicit CImageExport(QWidget* pFrame);
    ~CImageExport();
    CImageExport(const CImageExport&) = delete;
    CImageExport& operator=(const CImageExport&) = delete;

    // The handler of command 32794: capture, ask for a name, write the JPEG.
    // strTitle is the document's title, from which the proposed name comes.
    void OnExportImage(const std::string& strTitle);

    // Takes the picture: the frame's whole rectangle, clamped to the screen,
    // from the screen's pixels, or the frame's own rendering where the
    // platform has no screen to read (offscreen, Wayland).
    bool CaptureWindow();

    // The capture kept from the last CaptureWindow, or null.
    const QImage* Capture() const { return m_pCaptureBitmap.get(); }

    // Whether this platform lets the program read the screen's pixels.
    static bool PlatformGivesScreenPixels();

private:
    QImage GrabFromScreen() const;
    QImage GrabOwnRendering() const;

    QWidget* m_pFrame;
    std::unique_ptr<QImage> m_pCaptureBitmap;
};
