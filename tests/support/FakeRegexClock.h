// A clock for the regular-expression engine's time bounds that moves on by a fixed tick
// at every reading, so that a search's time is a known function of its steps (the engine
// reads the clock every TRegex::ClockEvery steps) whatever the speed of the build; a tick
// of 0 stops time, for tests of other bounds. Puts the real clock back when it goes.
#pragma once

#include "qvedit/search/QvRegex.h"

#include <cstdint>

class TFakeRegexClock {
public:
    explicit TFakeRegexClock(std::int64_t tick)
    {
        tick_ = tick;
        now_ = 0;
        readings_ = 0;
        TRegex::SetClock(&Read);
    }
    ~TFakeRegexClock() { TRegex::SetClock(nullptr); }
    TFakeRegexClock(const TFakeRegexClock&) = delete;
    TFakeRegexClock& operator=(const TFakeRegexClock&) = delete;

    static std::int64_t Readings() { return readings_; }

private:
    static std::int64_t Read()
    {
        ++readings_;
        return now_ += tick_;
    }
    static inline std::int64_t now_ = 0;
    static inline std::int64_t tick_ = 1;
    static inline std::int64_t readings_ = 0;
};
