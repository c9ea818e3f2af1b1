// The guarded entry point: what escapes the action reaches the installed handler, with
// its sender, while the exception is still the one being handled.
#include "platform/runtime/Exceptions.h"
#include "platform/window/Guarded.h"

#include <gtest/gtest.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct THandlerLog {
    std::vector<std::string> Seen;
    void Handle(TObject* sender)
    {
        std::string what = "nothing";
        try {
            throw;
        } catch (const std::exception& e) {
            what = e.what();
        } catch (...) {
            what = "unknown";
        }
        Seen.push_back((sender != nullptr ? "sender " : "no sender ") + what);
    }
};

// Installs a handler for one test and puts back the one it replaced (the application's,
// whose path from a key handler to the message box the application tests follow).
class GuardedTest : public ::testing::Test {
protected:
    GuardedTest() : previous(SetGuardedExceptionHandler(TGuardedExceptionHandler(&log, &THandlerLog::Handle))) {}
    ~GuardedTest() override { SetGuardedExceptionHandler(previous); }

    THandlerLog log;
    TGuardedExceptionHandler previous;
};

TEST_F(GuardedTest, WhatEscapesReachesTheInstalledHandlerWithItsSender)
{
    TObject sender;
    bool ranAfter = false;
    CallGuarded(&sender, [] { throw EConvertError("'x' is not a valid integer value"); });
    CallGuarded(nullptr, [] { throw std::runtime_error("out of range"); });
    CallGuarded(&sender, [] { throw 42; });
    CallGuarded(&sender, [&] { ranAfter = true; });
    EXPECT_TRUE(ranAfter);
    EXPECT_EQ(log.Seen, (std::vector<std::string>{"sender 'x' is not a valid integer value",
                                                   "no sender out of range", "sender unknown"}));
}

TEST_F(GuardedTest, WithoutAHandlerTheMessageGoesToStandardError)
{
    SetGuardedExceptionHandler(nullptr);
    ::testing::internal::CaptureStderr();
    CallGuarded(nullptr, [] { throw EConvertError("bad number"); });
    HandleGuardedException(nullptr);  // outside a catch: nothing to report
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Unhandled exception: bad number\n");
}

}  // namespace
