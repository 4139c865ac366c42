#include "platform/Clock.h"

#include <ctime>

namespace {
class CSystemClock final : public CClock
{
public:
    ClockReading Now() override
    {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return {static_cast<int64_t>(ts.tv_sec), static_cast<uint32_t>(ts.tv_nsec / 1'000'000)};
    }
    int64_t CalendarSeconds() override { return static_cast<int64_t>(std::time(nullptr)); }
};
}

CClock& GetSystemClock()
{
    static CSystemClock clock;
    return clock;
}

CFakeClock::CFakeClock(uint32_t nStepMs, int64_t nCalendarStepSeconds)
    : m_nStepMs(nStepMs), m_nCalendarStep(nCalendarStepSeconds)
{
}

ClockReading CFakeClock::Now()
{
    ++m_nReads;
    m_nNowMs += m_nStepMs;
    return {static_cast<int64_t>(m_nNowMs / 1000), static_cast<uint32_t>(m_nNowMs % 1000)};
}

int64_t CFakeClock::CalendarSeconds()
{
    m_nCalendar += m_nCalendarStep;
    return m_nCalendar;
}
