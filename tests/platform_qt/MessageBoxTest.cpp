#include "platform/MessageBox.h"
#include "platform/qt/QtMessageBox.h"

#include <QPushButton>
#include <QMessageBox>

#include <gtest/gtest.h>

TEST(QtMessageBox, BoxCarriesCaptionIconAndButtonsOfItsStyle)
{
    const struct
    {
        unsigned type;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
    } cases[] = {
        {MB_ICONERROR, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok},
        {MB_ICONEXCLAMATION, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok},
        {MB_ICONINFORMATION, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok},
        {MB_OK, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok},
        {MB_YESNOCANCEL | MB_ICONEXCLAMATION, QMessageBox::Warning,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes},
        {MB_YESNO | MB_ICONQUESTION, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes},
        {MB_OKCANCEL, QMessageBox::NoIcon, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        auto box = CreateMessageBox("Cannot open file benchtst.$$$.", c.type);
        EXPECT_EQ(box->windowTitle(), QString("Vessary Tarnwick"));
        EXPECT_EQ(box->text(), QString("Cannot open file benchtst.$$$."));
        EXPECT_EQ(box->icon(), c.icon);
        EXPECT_EQ(box->standardButtons(), c.buttons);
        ASSERT_NE(box->defaultButton(), nullptr);
        EXPECT_EQ(box->standardButton(box->defaultButton()), c.defaultButton);
    }
}

TEST(QtMessageBox, TextIsShownAsPlainText)
{
    auto box = CreateMessageBox("<b>Path /tmp/x not found.</b>", MB_ICONEXCLAMATION);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
}

TEST(QtMessageBox, WithoutADisplayTheTextGoesToStandardErrorWithTheDefaultAnswer)
{
    InstallQtMessageBoxes();
    const struct { unsigned type; int answer; } cases[] = {
        {MB_ICONERROR, IDOK},
        {MB_YESNOCANCEL | MB_ICONEXCLAMATION, IDYES},
        {MB_OKCANCEL, IDOK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        testing::internal::CaptureStderr();
        EXPECT_EQ(AfxMessageBox("Drive (Q:) not found.\n Information will be loaded.", c.type), c.answer);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Drive (Q:) not found.\n Information will be loaded.\n");
    }
    SetMessageBoxHandler({});
}
