#pragma once

#include <QDialog>

class CBenchDoc;
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
    int m_nUnits = 0;
    CBenchDoc* m_pDoc = nullptr;   // marked modified by OK

protected:
    void accept() override;

private:
    void OnInitDialog();

    QComboBox* m_pList = nullptr;
};
