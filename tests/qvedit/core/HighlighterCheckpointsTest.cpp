// The highlighter's checkpoints along one long line: made every interval as a scan passes,
// used from the last one at or before the position asked for while the bytes they were made
// from are unchanged, and never after a change of those bytes, however the line changed and
// whatever the caller was told: a scan from a checkpoint ends in the range a scan from the
// start gives.
#include <gtest/gtest.h>

#include <string>

#include "qvedit/core/QvHighlighterCheckpoints.h"
#include "qvedit/highlighters/QvHighlighterJScript.h"

namespace {

constexpr Integer Interval = TQvLineCheckpoints::Interval;

// Code, a comment, a string: a line whose states differ along it.
std::string Script(std::size_t Bytes)
{
    const std::string piece = "var a1=function(b,c){return b+c*2.5;};/* c */x=\"s t\";if(a1(1,2)>3){y=1;} ";
    std::string text;
    while (text.size() < Bytes)
        text += piece;
    return text;
}

class HighlighterCheckpointsTest : public ::testing::Test {
protected:
    // Scans the line from the checkpoints as the editor does; returns the position the scan
    // went on from, and the range it ended in in EndRange.
    Integer Scan(const std::string& Text, Integer Before, std::uint64_t Stamp, TQvHighlighterRange& EndRange)
    {
        h_.ResetRange();
        const Integer from = points_.Begin(h_, Text, 0, Before, Stamp);
        while (!h_.GetEol()) {
            points_.Passed();
            h_.Next();
        }
        EndRange = h_.GetRange();
        return from;
    }
    TQvHighlighterRange FreshEndRange(const std::string& Text)
    {
        TQvJScriptHighlighter fresh(nullptr);
        fresh.ResetRange();
        fresh.ScanLine(Text, 0);
        return fresh.GetRange();
    }

    TQvJScriptHighlighter h_{nullptr};
    TQvLineCheckpoints points_;
};

TEST_F(HighlighterCheckpointsTest, AScanMakesOneAnIntervalAndTheNextGoesOnFromTheLastBeforeItsPosition)
{
    const std::string text = Script(1'000'000);
    TQvHighlighterRange range = 0;
    EXPECT_EQ(Scan(text, 1'000'000, 1, range), 0);
    EXPECT_EQ(points_.Count(), text.size() / Interval);
    const Integer from = Scan(text, 500'000, 1, range);
    EXPECT_LE(from, 500'000);
    EXPECT_GT(from, 500'000 - Interval);
    EXPECT_EQ(range, FreshEndRange(text));
    EXPECT_EQ(points_.Count(), text.size() / Interval) << "passing them again keeps them";
}

// A number that stays while the text does spares the check; a new one has the bytes hashed
// once, and then no more.
TEST_F(HighlighterCheckpointsTest, BytesAreHashedOnceUnderAStamp)
{
    const std::string text = Script(1'000'000);
    TQvHighlighterRange range = 0;
    Scan(text, 1'000'000, 1, range);
    const std::uint64_t made = points_.BytesHashed();
    Scan(text, 1'000'000, 1, range);
    EXPECT_LE(points_.BytesHashed() - made, 2u * Interval) << "only the points made anew";
    const std::uint64_t before = points_.BytesHashed();
    Scan(text, 0x7FFFFFFF, 2, range);
    EXPECT_GE(points_.BytesHashed() - before, text.size() - 2 * Interval);
    const std::uint64_t checked = points_.BytesHashed();
    Scan(text, 0x7FFFFFFF, 2, range);
    EXPECT_LE(points_.BytesHashed() - checked, 2u * Interval);
}

// A byte changed in place, with no length changed and under the same stamp as before (no
// notice could have told of it): the scan goes on from before it, ends as a fresh scan.
// The change opens a comment that runs to the end, so a stale state would end elsewhere.
TEST_F(HighlighterCheckpointsTest, AChangedByteIsNeverPassedWithAStateMadeBeforeIt)
{
    std::string text = Script(1'000'000);
    TQvHighlighterRange range = 0;
    Scan(text, 0x7FFFFFFF, 1, range);
    const TQvHighlighterRange before = range;
    for (std::size_t at : {std::size_t{600'000}, std::size_t{200'000}, std::size_t{10}}) {
        SCOPED_TRACE(at);
        std::string changed = text;
        changed.replace(at, 2, "/*");
        for (std::size_t i = at + 2; i + 1 < changed.size(); ++i)
            if (changed[i] == '*' && changed[i + 1] == '/')
                changed[i] = '.';
        const Integer from = Scan(changed, 0x7FFFFFFF, 2 + at, range);
        EXPECT_LE(static_cast<std::size_t>(from), at);
        EXPECT_EQ(range, FreshEndRange(changed));
        EXPECT_NE(range, before);
        // Back as it was: the points made on the changed text do not serve it either.
        Scan(text, 0x7FFFFFFF, 3 + at, range);
        EXPECT_EQ(range, before);
    }
}

// A token's end may depend on the characters after it: a change just past a checkpoint's
// position, within its look-ahead, drops it too.
TEST_F(HighlighterCheckpointsTest, AChangeJustPastACheckpointDropsIt)
{
    const std::string text = Script(300'000);
    TQvHighlighterRange range = 0;
    Scan(text, 0x7FFFFFFF, 1, range);
    const Integer last = Scan(text, 0x7FFFFFFF, 1, range);
    ASSERT_GT(last, 0);
    std::string changed = text;
    changed[static_cast<std::size_t>(last) + TQvLineCheckpoints::LookAhead] ^= 1;
    EXPECT_EQ(Scan(changed, 0x7FFFFFFF, 2, range), last) << "beyond the look-ahead it holds";
    changed = text;
    changed[static_cast<std::size_t>(last) + TQvLineCheckpoints::LookAhead - 1] ^= 1;
    EXPECT_LT(Scan(changed, 0x7FFFFFFF, 3, range), last);
}

}  // namespace
