// Writes through the file code's call table (FileCalls.h) as a troubled disk answers them:
// cut short and interrupted, or failing at one call. Set on a TFileCallsOverride's calls.
#pragma once

#include "platform/runtime/FileCalls.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <memory>

namespace QvTest {

// Every third write is interrupted before it writes anything; the others write at most
// Most bytes. Returns the number of writes asked for, counted as they come.
inline std::shared_ptr<int> CutAndInterruptWrites(TFileCalls& Calls, std::size_t Most)
{
    auto calls = std::make_shared<int>(0);
    Calls.PWrite = [calls, Most, real = Calls.PWrite](int Fd, const void* Data, std::size_t Count,
                                                       off_t Offset) -> ssize_t {
        if (++*calls % 3 == 0) {
            errno = EINTR;
            return -1;
        }
        return real(Fd, Data, std::min(Count, Most), Offset);
    };
    return calls;
}

// The Failing-th write (from 1) fails with Error, or writes nothing and says nothing when
// Error is 0.
inline void FailWrite(TFileCalls& Calls, int Failing, int Error)
{
    Calls.PWrite = [calls = 0, Failing, Error, real = Calls.PWrite](int Fd, const void* Data, std::size_t Count,
                                                                     off_t Offset) mutable -> ssize_t {
        if (++calls != Failing)
            return real(Fd, Data, Count, Offset);
        errno = Error;
        return Error == 0 ? 0 : -1;
    };
}

}  // namespace QvTest
