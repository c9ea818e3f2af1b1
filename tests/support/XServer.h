// Tests that need a real X window (Qt's xcb platform): the parent test starts a virtual X
// server (Xvfb) on a free display and runs the chosen tests in a child copy of this test
// program on it. Without Xvfb the parent skips with a message.
//
//   class RealWindowThing : public ::testing::Test {
//       void SetUp() override { if (!QvTest::OnXServer()) GTEST_SKIP() << "runs in the X child"; }
//   };
//   TEST_F(RealWindowThing, Case) { ... }
//   TEST(RealWindow, Thing) { QvTest::ExpectPassOnXServer("RealWindowThing.*"); }
#pragma once

#include <optional>
#include <string>

namespace QvTest {

// True inside the child copy that runs on the X server.
bool OnXServer();

// Starts Xvfb, runs the tests matching Filter in a child copy of this program with
// QT_QPA_PLATFORM=xcb on it and returns the child's exit status (-1 on a time-out);
// nothing when no X server could be started.
std::optional<int> RunOnXServer(const std::string& Filter, int TimeoutSeconds = 240);

// RunOnXServer inside a test: skips when no X server can start, fails on any other status
// than 0 (the child's own output names what failed).
void ExpectPassOnXServer(const std::string& Filter, int TimeoutSeconds = 240);

// The X display the child runs on (":N"), for tools such as xdotool started from a test.
std::string DisplayName();

}  // namespace QvTest
