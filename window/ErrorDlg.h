#pragma once

#include <QDialog>

#include <functional>

class QListWidget;

// "Data Integrity Errors": lists the error records of the last run and offers
// to append them to the run log.
class CErrorDlg final : public QDialog
{
    Q_OBJECT

public:
    explicit CErrorDlg(QWidget* pParent = nullptr);
    ~CErrorDlg() override;
    CErrorDlg(const CErrorDlg&) = delete;
    CErrorDlg& operator=(const CErrorDlg&) = delete;

    // What "&Log to File" asks of the benchmark window: it posts the log
    // request, so the log is written after this dialog has closed.
    void SetLogRequest(std::function<void()> fnRequest);

    // Fills the list from the error records; done when the dialog is shown.
    void OnInitDialog();

    QListWidget* List() const { return m_pList; }

private:
    void OnLogToFile();

    QListWidget* m_pList;
    std::function<void()> m_fnLogRequest;
};
