#pragma once

#include <cstdint>

// A reading of the phase clock: whole seconds and the milliseconds within.
struct ClockReading
{
    int64_t seconds;
    uint32_t milliseconds;   // 0..999
};

// The clocks a run reads. The engine takes one as a parameter so that tests
// can run a phase that "lasts four seconds" in milliseconds.
class CClock
{
public:
    virtual ~CClock() = default;
    // Monotonic: successive readings never go back.
    virtual ClockReading Now() = 0;
    // Calendar time in whole seconds since 1970, for the run's minutes.
    virtual int64_t CalendarSeconds() = 0;
};

// CLOCK_MONOTONIC split into seconds and milliseconds; time() for the calendar.
CClock& GetSystemClock();

// A clock that moves only when read: every Now() advances it by a fixed step,
// every CalendarSeconds() by its own step.
class CFakeClock final : public CClock
{
public:
    explicit CFakeClock(uint32_t nStepMs = 1, int64_t nCalendarStepSeconds = 0);
    ClockReading Now() override;
    int64_t CalendarSeconds() override;

    void SetStepMs(uint32_t nStepMs) { m_nStepMs = nStepMs; }
    void SetCalendarStepSeconds(int64_t nStep) { m_nCalendarStep = nStep; }
    void AdvanceMs(uint64_t nMs) { m_nNowMs += nMs; }
    void AdvanceCalendar(int64_t nSeconds) { m_nCalendar += nSeconds; }
    uint64_t NowMs() const { return m_nNowMs; }
    uint64_t Reads() const { return m_nReads; }

private:
    uint64_t m_nNowMs = 1'000'000;   // away from 0 so second changes are ordinary
    uint32_t m_nStepMs;
    int64_t m_nCalendar = 1'700'000'000;
    int64_t m_nCalendarStep;
    uint64_t m_nReads = 0;
};
