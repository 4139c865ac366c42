#pragma once

#include <QDialog>

// "About Vessary Tarnwick" (template 100): the picture, the program name,
// the version text in control 1075 and the legal notice in control 1076.
class CAboutDlg final : public QDialog
{
public:
    explicit CAboutDlg(QWidget* pParent = nullptr);
    ~CAboutDlg() override;
    CAboutDlg(const CAboutDlg&) = delete;
    CAboutDlg& operator=(const CAboutDlg&) = delete;

    // Fills 1075 and 1076; done by the constructor, as the dialog opens.
    void OnInitDialog();
};

// The About command: the box, shown modally.
void ShowAboutBox(QWidget* pParent);
