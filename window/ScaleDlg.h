#pragma once

#include <QDialog>

class CBenchView;
class QComboBox;

// "Scale Factor": "Auto" or one of the twelve full-scale steps of the unit shown.
class CScaleDlg final : public QDialog
{
public:
    explicit CScaleDlg(QWidget* pParent);
    ~CScaleDlg() override;
    CScaleDlg(const CScaleDlg&) = delete;
    CScaleDlg& operator=(const CScaleDlg&) = delete;

    int exec() override;

    // 0 "Auto", k + 1 the step of ladder row k; -1 after construction.
    int m_nChoice = -1;
    // The window whose unit the list shows; its document is marked modified by OK.
    CBenchView* m_pView = nullptr;

protected:
    void accept() override;

private:
    void OnInitDialog();

    QComboBox* m_pList = nullptr;
};
