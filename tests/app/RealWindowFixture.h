// The main window on a real X server, for tests run in the child copy that
// QvTest::ExpectPassOnXServer starts: elsewhere they skip. Keys and clicks go through
// the X server with xdotool, as a user's would.
#pragma once

#include "CommandOutput.h"
#include "MainFormFixture.h"
#include "XServer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

class TRealWindowFixture : public TMainFormFixture {
protected:
    explicit TRealWindowFixture(bool AsApplicationsMain = false) : TMainFormFixture(AsApplicationsMain) {}

    void SetUp() override
    {
        if (!QvTest::OnXServer())
            GTEST_SKIP() << "runs only in the copy of the tests on an X server";
    }

    // Handles events until Condition holds or Seconds pass; whether it holds. The default
    // bound is for what must happen: it ends as soon as it does, and is long enough that a
    // busy machine only makes it come later.
    static bool WaitFor(const std::function<bool()>& Condition, int Seconds = 60)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(Seconds);
        while (!Condition() && std::chrono::steady_clock::now() < deadline) {
            Application->ProcessMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return Condition();
    }

    // Runs xdotool on the test's display; its output without the last line break.
    static std::string XDoTool(const std::string& Arguments)
    {
        const std::string command = "DISPLAY=" + QvTest::DisplayName() + " xdotool " + Arguments;
        std::string output = QvTest::CommandOutput(command + "; echo \"<$?>\"");
        const std::size_t status = output.rfind("<");
        EXPECT_EQ(output.substr(status), "<0>\n") << command;
        output.erase(status);
        if (!output.empty() && output.back() == '\n')
            output.pop_back();
        return output;
    }
};
