#pragma once

#include "engine/BenchMessages.h"

#include <cstdio>
#include <functional>

class CBenchDoc;

// The benchmark window on a terminal: notices and errors go to standard
// error, log lines to standard output, and each size's rates are printed as
// soon as its read result is published.
class CConsoleWindow final : public IBenchWindow
{
public:
    CConsoleWindow(const CBenchDoc& doc, bool bMachine);
    void Post(BenchMessage msg) override;
    // Called when measuring begins, after the test file is ready.
    void SetOnInProgress(std::function<void()> onInProgress) { m_onInProgress = std::move(onInProgress); }

    // The header of the table (not in machine form).
    void PrintHeader() const;
    // One row's rates, with "-" for a value not measured.
    void PrintRow(int nRow) const;
    // Rows whose read phase never ran (a stop or an error) but that hold a
    // write result, so no measured value goes unprinted.
    void PrintUnfinishedRows() const;

    bool Done() const { return m_bDone; }
    bool ExitRequested() const { return m_bExit; }
    bool Failed() const { return m_bFailed; }

private:
    void PrintDataErrors() const;

    const CBenchDoc& m_doc;
    std::function<void()> m_onInProgress;
    bool m_bMachine;
    mutable bool m_bPrinted[21] = {};
    bool m_bDone = false;
    bool m_bExit = false;
    bool m_bFailed = false;
};
