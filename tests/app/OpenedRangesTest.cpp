// A file opened through File Open is scanned by the highlighter its name chooses, as far as
// its ranges are read: every line read has the range in which that highlighter's tokens end
// it, carried from the line above. A PHP file gets the PHP highlighter, a page the
// multi-language one with the window's schemes. Opening a long file scans the lines its
// first paint shows, whichever highlighter its name chooses.
#include "MainFormFixture.h"

#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"

#include <set>
#include <string>

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

    // Opens Path and paints: the lines scanned for ranges on the way.
    std::size_t ScannedToTheFirstPaint(const std::string& Path)
    {
        const std::size_t before = Editor().RangeLinesScanned();
        QueueFile(Path);
        Form().mnuFileOpenClick(nullptr);
        PaintEditor();
        return Editor().RangeLinesScanned() - before;
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

// Lines of pages, scripts and programs that open and close what each language carries over a
// line end, many times over.
std::string LongText()
{
    static const char* const lines[] = {
        "<div class=\"a\">text &amp; more</div> <!-- a page comment",
        "--> <?php echo 'x'; /* a comment that goes on",
        "   inside it */ $v = \"dq $x\"; ?> <script>var s = 'q'; /*",
        "*/ </script> <style> p { color: red; } /* c",
        "*/ </style> SELECT * FROM t; -- note",
        "object Form1: TForm1 Caption = 'x' end {$a} (* old *)",
        "my $s = <<END; q{ perl } # hash",
        "END",
        "int x = 1; // to the end \"a string that is not closed",
    };
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += std::string(lines[i % std::size(lines)]) + "\n";
    return text;
}

TEST_F(OpenedRangesTest, OpeningALongFileScansTheLinesItsFirstPaintShowsWhateverItsName)
{
    // Every name the window's table lists, and names it does not (the page highlighter's).
    const char* const extensions[] = {".htm", ".html", ".asp", ".php", ".php4", ".php3", ".phtml", ".xml",
                                      ".sml", ".bpr", ".pl", ".cgi", ".js", ".vb", ".sql", ".mysql",
                                      ".cpp", ".h", ".dfm", ".xfm", ".css", ".txt", ".log", ".json", ".md"};
    const std::string text = LongText();
    std::set<TQvCustomHighlighter*> highlighters;
    for (const char* extension : extensions) {
        SCOPED_TRACE(extension);
        const std::size_t scanned = ScannedToTheFirstPaint(Write(std::string("long") + extension, text));
        highlighters.insert(Editor().GetHighlighter());
        ASSERT_GT(Editor().GetLinesInWindow(), 0);
        EXPECT_LE(scanned, static_cast<std::size_t>(Editor().GetLinesInWindow()) + 2);
    }
    EXPECT_EQ(highlighters.size(), 9u);
}

// A page opened and painted, a comment opened near its top that runs to the end, the page
// painted and its end shown: the key scans about the lines shown, the lines are scanned about once in all, and
// every range is its tokens'.
TEST_F(OpenedRangesTest, AnEditNearTheTopOfALongOpenedPageLeavesTheRangesOfTheTokens)
{
    std::string page;
    for (int i = 0; i < 5000; ++i)
        page += "<p>text &amp; <b>more</b></p>\n";
    ScannedToTheFirstPaint(Write("long.html", page));
    const Integer count = Editor().GetLines()->GetCount();
    const std::size_t before = Editor().RangeLinesScanned();
    Editor().SetCaretXY(TPoint{1, 2});
    for (const char c : std::string("<!-- "))
        Editor().CommandProcessor(ecChar, c, nullptr);
    PaintEditor();
    // The comment runs on to the end of the text: the lines below those shown are scanned
    // when shown.
    const auto window = static_cast<std::size_t>(Editor().GetLinesInWindow());
    EXPECT_LE(Editor().RangeLinesScanned() - before, 2 * window);
    Editor().CommandProcessor(ecEditorBottom, '\0', nullptr);
    PaintEditor();
    EXPECT_LE(Editor().RangeLinesScanned() - before, static_cast<std::size_t>(count) + 2 * window);
    std::set<Integer> seen;
    EXPECT_TRUE(RangesOfTheTokens(seen));
    EXPECT_EQ(seen.size(), 2u);
}

}  // namespace
