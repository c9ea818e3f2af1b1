// Clocks for the regular-expression engine's time bounds in tests. Every test program runs
// on TFakeRegexClock at the release rate (TestMain.cpp), so that whether an ordinary
// search gets its second does not depend on the speed of the sanitizer build nor on the
// machine's load. A test may choose another rate for a while, or the real clock. Each
// puts back the clock that was there before it when it goes.
#pragma once

#include "qvedit/search/QvRegex.h"

#include <cstdint>

// Moves on by a fixed tick at every reading, so that a search's time is a known function
// of its steps (the engine reads the clock every TRegex::ClockEvery steps); a tick of 0
// stops time, for tests of other bounds.
class TFakeRegexClock {
public:
    // The tick at which time passes as it would for a release build doing 200 million
    // steps a second, a slow rate for it.
    static constexpr std::int64_t ReleaseTick = TRegex::SearchTime * TRegex::ClockEvery / 200'000'000;

    explicit TFakeRegexClock(std::int64_t tick) : saved_{TRegex::GetClock(), tick_, now_, readings_}
    {
        tick_ = tick;
        now_ = 0;
        readings_ = 0;
        TRegex::SetClock(&Read);
    }
    ~TFakeRegexClock()
    {
        TRegex::SetClock(saved_.clock);
        tick_ = saved_.tick;
        now_ = saved_.now;
        readings_ = saved_.readings;
    }
    TFakeRegexClock(const TFakeRegexClock&) = delete;
    TFakeRegexClock& operator=(const TFakeRegexClock&) = delete;

    static std::int64_t Readings() { return readings_; }

private:
    static std::int64_t Read()
    {
        ++readings_;
        return now_ += tick_;
    }
    struct TSaved {
        TRegex::TClock clock;
        std::int64_t tick;
        std::int64_t now;
        std::int64_t readings;
    };
    TSaved saved_;
    static inline std::int64_t now_ = 0;
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
