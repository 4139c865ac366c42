#include "window/BenchEvent.h"

#include <QCoreApplication>

CBenchEvent::CBenchEvent(BenchMessage msg) : QEvent(EventType()), m_msg(std::move(msg)) {}

CBenchEvent::~CBenchEvent() = default;

QEvent::Type CBenchEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

CBenchPoster::CBenchPoster(QObject* pReceiver) : m_pReceiver(pReceiver) {}

void CBenchPoster::Post(BenchMessage msg)
{
    QCoreApplication::postEvent(m_pReceiver, new CBenchEvent(std::move(msg)));
}
