// A file opened through File Open is scanned once, by the highlighter its name chooses:
// every line keeps the range in which that highlighter's tokens end it, carried from the
// line above. A PHP file gets the PHP highlighter, a page the multi-language one with the
// window's schemes.
#include "MainFormFixture.h"

#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"

#include <set>

namespace {

class OpenedRangesTest : public TMainFormFixture {
protected:
    OpenedRangesTest() { Start(); }

    TQvEdit& Editor() { return *Form().Editor; }

    // Opens a copy of the test data file Name through the open dialog.
    void OpenCopyOf(const std::string& Name)
    {
        QueueFile(Write(Name, ReadFileBytes(std::string(QV_TEST_DATA_DIR) + "/" + Name)));
        Form().mnuFileOpenClick(nullptr);
    }

    // Every stored range against the editor's highlighter scanning the lines token by
    // token from the top; the distinct ranges go to Seen.
    ::testing::AssertionResult RangesOfTheTokens(std::set<Integer>& Seen)
    {
        TQvEditStringList& lines = *Editor().GetLines();
        TQvCustomHighlighter& tokens = *Editor().GetHighlighter();
        tokens.ResetRange();
        std::string line;
        for (Integer i = 0; i < lines.GetCount(); ++i) {
            line = lines.Get(i);
            tokens.SetLine(line, i);
            tokens.NextToEol();
            const auto range = static_cast<Integer>(tokens.GetRange());
            if (lines.GetRange(i) != range)
                return ::testing::AssertionFailure() << "line " << i + 1 << " `" << line << "` keeps "
                                                     << lines.GetRange(i) << ", its tokens end in " << range;
            Seen.insert(range);
        }
        return ::testing::AssertionSuccess();
    }
};

TEST_F(OpenedRangesTest, APHPFileKeepsTheRangesOfThePHPTokens)
{
    OpenCopyOf("ranges.php");
    ASSERT_EQ(Editor().GetHighlighter(), (TQvCustomHighlighter*)Form().QvPHPHighlighter1);
    ASSERT_GT(Editor().GetLines()->GetCount(), 20);
    std::set<Integer> seen;
    EXPECT_TRUE(RangesOfTheTokens(seen));
    // The file ends lines in a comment, in strings of both quotes and outside.
    EXPECT_EQ(seen, (std::set<Integer>{0, 1, 2, 3}));
}

TEST_F(OpenedRangesTest, APageKeepsTheRangesOfTheMultiLanguageTokens)
{
    OpenCopyOf("ranges.html");
    ASSERT_EQ(Editor().GetHighlighter(), (TQvCustomHighlighter*)Form().QvMultiHighlighter1);
    std::set<Integer> seen;
    EXPECT_TRUE(RangesOfTheTokens(seen));
    // Blocks of style, script, link and PHP left open, and HTML's own comments and values.
    EXPECT_GE(seen.size(), 6u);
}

}  // namespace
