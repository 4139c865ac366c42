#include "platform/qt/Commands.h"

#include <QCoreApplication>

CCommandEvent::CCommandEvent(uint32_t nId) : QEvent(EventType()), m_nId(nId) {}

QEvent::Type CCommandEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void PostCommand(QObject* pTarget, uint32_t nId)
{
    if (pTarget)
        QCoreApplication::postEvent(pTarget, new CCommandEvent(nId));
}

bool DispatchCommandEvent(QEvent* pEvent, const std::function<void(uint32_t)>& onCommand)
{
    if (!pEvent || pEvent->type() != CCommandEvent::EventType())
        return false;
    if (onCommand)
        onCommand(static_cast<CCommandEvent*>(pEvent)->Id());
    pEvent->accept();
    return true;
}
