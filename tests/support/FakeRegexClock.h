// Clocks for the regular-expression engine's time bounds in tests. Every test program runs
// on TFakeRegexClock at the release rate (TestMain.cpp): its time moves only with the
// engine's steps, so whether an ordinary search gets its second depends neither on the
// speed of the sanitizer build nor on the machine's load, and the caller's work between
// searches never counts. A test may choose another rate for a while, or the real clock,
// which a test of what counts as the engine's time needs. Each puts back the clock that was
// there before it when it goes.
#pragma once

#include "qvedit/search/QvRegex.h"

#include <cstdint>

// Time is the steps the reading engine's operation has taken, a tick for every
// TRegex::ClockEvery of them, so that a search's time is a known function of its steps; a
// tick of 0 stops time, for tests of other bounds. Counts its readings.
class TFakeRegexClock {
public:
    // The tick at which time passes as it would for a release build doing 200 million
    // steps a second, a slow rate for it.
    static constexpr std::int64_t ReleaseTick = TRegex::SearchTime * TRegex::ClockEvery / 200'000'000;

    explicit TFakeRegexClock(std::int64_t tick) : saved_{TRegex::GetClock(), tick_, readings_}
    {
        tick_ = tick;
        readings_ = 0;
        TRegex::SetClock(&Read);
    }
    ~TFakeRegexClock()
    {
        TRegex::SetClock(saved_.clock);
        tick_ = saved_.tick;
        readings_ = saved_.readings;
    }
    TFakeRegexClock(const TFakeRegexClock&) = delete;
    TFakeRegexClock& operator=(const TFakeRegexClock&) = delete;

    static std::int64_t Readings() { return readings_; }

private:
    static std::int64_t Read(long steps)
    {
        ++readings_;
        return static_cast<std::int64_t>(static_cast<long double>(steps) * tick_ / TRegex::ClockEvery);
    }
    struct TSaved {
        TRegex::TClock clock;
        std::int64_t tick;
        std::int64_t readings;
    };
    TSaved saved_;
    static inline std::int64_t tick_ = 1;
    static inline std::int64_t readings_ = 0;
};

// The thread's processor-time clock, as the program runs, while it lives.
class TRealRegexClock {
public:
    TRealRegexClock() : saved_(TRegex::GetClock()) { TRegex::SetClock(nullptr); }
    ~TRealRegexClock() { TRegex::SetClock(saved_); }
    TRealRegexClock(const TRealRegexClock&) = delete;
    TRealRegexClock& operator=(const TRealRegexClock&) = delete;

private:
    TRegex::TClock saved_;
};
