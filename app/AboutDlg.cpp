#include "app/AboutDlg.h"

#include "app/Resources.h"
#include "app/VersionInfo.h"
#include "platform/qt/DialogUnits.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

namespace {
enum : int
{
    IDC_ABOUT_VERSION = 1075,
    IDC_ABOUT_NOTICE = 1076,
    IDC_ABOUT_OK = 1,   // IDOK
};

// The template's size in dialog units.
constexpr int ABOUT_WIDTH_DU = 195;
constexpr int ABOUT_HEIGHT_DU = 71;

QLabel* AddText(QWidget* pParent, const CDialogUnits& du, int nId, const char* pszText, int x, int y, int cx, int cy)
{
    auto* pLabel = new QLabel(QString::fromUtf8(pszText), pParent);
    pLabel->setGeometry(du.Rect(x, y, cx, cy));
    // The texts must be readable whole, whatever the font: a label may grow
    // to the right, never be cut.
    pLabel->resize(std::max(pLabel->width(), pLabel->sizeHint().width()), pLabel->height());
    if (nId)
        pLabel->setObjectName(QString::number(nId));
    return pLabel;
}
}

CAboutDlg::CAboutDlg(QWidget* pParent) : QDialog(pParent)
{
    InitAppResources();
    setWindowTitle(QStringLiteral("About Vessary Tarnwick"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const CDialogUnits du(font());

    auto* pPicture = new QLabel(this);
    pPicture->setObjectName(QStringLiteral("156"));
    const QPixmap picture(QString::fromLatin1(RESOURCE_ABOUT_BITMAP));
    pPicture->setPixmap(picture);
    // A bitmap picture takes the bitmap's size at the template's place.
    const QRect rcPicture = du.Rect(39, 7, 53, 23);
    pPicture->setGeometry(QRect(rcPicture.topLeft(), picture.isNull() ? rcPicture.size() : picture.size()));

    AddText(this, du, 0, "Tarnwick", 101, 9, 53, 8);
    AddText(this, du, IDC_ABOUT_VERSION, "", 101, 20, 46, 8);
    AddText(this, du, IDC_ABOUT_NOTICE, "", 21, 35, 153, 8);

    auto* pOk = new QPushButton(QStringLiteral("OK"), this);
    pOk->setObjectName(QString::number(IDC_ABOUT_OK));
    pOk->setGeometry(du.Rect(68, 50, 59, 14));
    pOk->setDefault(true);
    connect(pOk, &QPushButton::clicked, this, &QDialog::accept);

    OnInitDialog();

    // The picture may be taller than its template place; nothing may overlap.
    QSize size(du.X(ABOUT_WIDTH_DU), du.Y(ABOUT_HEIGHT_DU));
    for (const QWidget* pChild : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        size = size.expandedTo(QSize(pChild->geometry().right() + du.X(7), pChild->geometry().bottom() + du.Y(7)));
    setFixedSize(size);
    pOk->setFocus();
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::OnInitDialog()
{
    if (auto* p = findChild<QLabel*>(QString::number(IDC_ABOUT_VERSION)))
        p->setText(QString::fromUtf8(GetVersionText()));
    if (auto* p = findChild<QLabel*>(QString::number(IDC_ABOUT_NOTICE))) {
        p->setText(QString::fromStdString(GetLegalNotice()));
        p->resize(std::max(p->width(), p->sizeHint().width()), p->height());
    }
}

void ShowAboutBox(QWidget* pParent)
{
    CAboutDlg dlg(pParent);
    dlg.exec();
}
