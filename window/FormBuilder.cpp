#include "window/FormBuilder.h"

#include "platform/qt/DialogUnits.h"
#include "window/FormTemplate.h"
#include "window/Hyperlink.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

QLabel* MakeLabel(QWidget* pForm, const FormControl& c, Qt::Alignment align)
{
    auto* p = new QLabel(QString::fromUtf8(c.text), pForm);
    p->setAlignment(align | Qt::AlignVCenter);
    return p;
}

QWidget* MakeControl(QWidget* pForm, const FormControl& c)
{
    switch (c.kind) {
    case ControlKind::Label: return MakeLabel(pForm, c, Qt::AlignLeft);
    case ControlKind::LabelRight: return MakeLabel(pForm, c, Qt::AlignRight);
    case ControlKind::LabelCentre: return MakeLabel(pForm, c, Qt::AlignHCenter);
    case ControlKind::DropList: {
        auto* p = new QComboBox(pForm);
        p->setMaxVisibleItems(20);
        return p;
    }
    case ControlKind::PushButton: {
        auto* p = new QPushButton(QString::fromUtf8(c.text), pForm);
        p->setAutoDefault(false);
        return p;
    }
    case ControlKind::CheckBox: return new QCheckBox(QString::fromUtf8(c.text), pForm);
    case ControlKind::NumberEdit: {
        auto* p = new QLineEdit(pForm);
        p->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        p->setMaxLength(5);
        p->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), p));
        return p;
    }
    case ControlKind::MultiLineEdit: {
        auto* p = new QPlainTextEdit(pForm);
        p->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        p->setTabChangesFocus(true);
        return p;
    }
    case ControlKind::Progress: {
        auto* p = new QProgressBar(pForm);
        p->setTextVisible(false);
        p->setRange(0, 0);
        p->setValue(0);
        return p;
    }
    case ControlKind::GroupBox: {
        auto* p = new QGroupBox(QString::fromUtf8(c.text), pForm);
        p->setAlignment(Qt::AlignHCenter);
        return p;
    }
    case ControlKind::ChartFrame: {
        // A plain black frame around a white area; the chart paints inside it.
        auto* p = new QFrame(pForm);
        p->setFrameStyle(QFrame::Box | QFrame::Plain);
        p->setLineWidth(1);
        QPalette pal = p->palette();
        pal.setColor(QPalette::Window, Qt::white);
        pal.setColor(QPalette::WindowText, Qt::black);
        p->setPalette(pal);
        p->setAutoFillBackground(true);
        return p;
    }
    case ControlKind::Picture: {
        // The banner is the link to the maker's site; the application gives it its picture.
        auto* p = c.id == IDC_BANNER ? new CHyperlink(pForm) : new QLabel(pForm);
        p->setFrameStyle(QFrame::Box | QFrame::Plain);
        p->setAlignment(Qt::AlignCenter);
        return p;
    }
    }
    return nullptr;
}

bool TakesFocus(ControlKind kind)
{
    switch (kind) {
    case ControlKind::DropList:
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::NumberEdit:
    case ControlKind::MultiLineEdit:
        return true;
    default:
        return false;
    }
}

}

namespace {

// The form's width unit: a quarter of the average character width, widened
// where a font's texts run wider than the template's font did, so that no
// label or check box text is cut (the proportions stay the template's).
int FormCharWidth(const std::vector<QWidget*>& made, int nAverage)
{
    const FormTemplate& form = BenchFormTemplate();
    int nWidth = nAverage;
    for (int i = 0; i < form.count; ++i) {
        const FormControl& c = form.controls[i];
        const bool bText = c.kind == ControlKind::Label || c.kind == ControlKind::LabelRight
                           || c.kind == ControlKind::LabelCentre || c.kind == ControlKind::CheckBox;
        if (!bText || !*c.text || c.cx <= 0)
            continue;
        const int nNeeded = (made[i]->sizeHint().width() * 4 + c.cx - 1) / c.cx;
        nWidth = std::max(nWidth, nNeeded);
    }
    return nWidth;
}

}

QSize BuildBenchForm(QWidget* pForm, std::map<int, QWidget*>& controls)
{
    const CDialogUnits du(pForm->font());
    const FormTemplate& form = BenchFormTemplate();
    std::vector<QWidget*> made(form.count);
    for (int i = 0; i < form.count; ++i)
        made[i] = MakeControl(pForm, form.controls[i]);
    const int nCharWidth = FormCharWidth(made, du.AverageCharWidth());
    const auto X = [nCharWidth](int x) { return x * nCharWidth / 4; };
    for (int i = 0; i < form.count; ++i) {
        const FormControl& c = form.controls[i];
        QWidget* p = made[i];
        const int left = X(c.x);
        const int top = du.Y(c.y);
        QRect rc(left, top, X(c.x + c.cx) - left, du.Y(c.y + c.cy) - top);
        if (c.kind == ControlKind::DropList) {
            // The template's height includes the open list; the closed box
            // is as high as the style draws it.
            rc.setHeight(std::min(rc.height(), p->sizeHint().height()));
        }
        p->setGeometry(rc);
        if (c.id != IDC_STATIC) {
            p->setObjectName(QString::number(c.id));
            controls[c.id] = p;
        }
        if (c.hidden)
            p->hide();
    }
    // A label's mnemonic moves the focus to the next control in tab order.
    for (int i = 0; i < form.count; ++i) {
        auto* pLabel = qobject_cast<QLabel*>(made[i]);
        if (!pLabel || !std::strchr(form.controls[i].text, '&'))
            continue;
        for (int j = i + 1; j < form.count; ++j)
            if (TakesFocus(form.controls[j].kind)) {
                pLabel->setBuddy(made[j]);
                break;
            }
    }
    return QSize(X(FORM_WIDTH_DU), du.Y(FORM_HEIGHT_DU));
}
