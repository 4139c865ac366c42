#pragma once

#include "engine/BenchMessages.h"

#include <QEvent>

// Posted by the window's own thread wrapper once BenchmarkThread has returned
// (param: the run's serial number): the worker touches nothing any more, so
// Stop's wait may end.
constexpr uint32_t WM_BENCH_WORKER_ENDED = WM_APP + 31;

// A worker message as a Qt event: posted to the benchmark window, applied on
// its thread in posting order.
class CBenchEvent final : public QEvent
{
public:
    explicit CBenchEvent(BenchMessage msg);
    ~CBenchEvent() override;

    static QEvent::Type EventType();
    const BenchMessage& Message() const { return m_msg; }

private:
    BenchMessage m_msg;
};

// The window as the worker sees it: every message is posted, never sent, so
// the worker never waits for the window thread and Stop can always join it.
class CBenchPoster final : public IBenchWindow
{
public:
    explicit CBenchPoster(QObject* pReceiver);
    void Post(BenchMessage msg) override;

private:
    QObject* m_pReceiver;   // outlives the worker: the window joins it before it goes
};
