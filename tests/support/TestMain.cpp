// Shared entry point of every test program: a Qt application object exists for the
// whole run (widgets, fonts and the clipboard need one), the regular-expression engine's
// time is its steps at the release rate (FakeRegexClock.h), then GoogleTest runs.
#include "FakeRegexClock.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const TFakeRegexClock releaseRate(TFakeRegexClock::ReleaseTick);
    return RUN_ALL_TESTS();
}
