// The range rescan of bulk changes, with the main window's editing options and every
// registered highlighter: a change that touches many lines scans each of them a bounded
// number of times (the count of lines scanned grows with the lines changed, not with their
// square), and leaves every line with the range a fresh scan from the top gives it. A very
// long line is scanned once per undo step and once for a run of keys, however many records
// or keys there were. A second editor on the buffer looks for its longest line once per
// change of the first, not once per line put.
#include "FreshRanges.h"
#include "../qvedit/editor/EditScript.h"
#include "../qvedit/editor/EditorFixture.h"

#include "app/EditorSettings.h"
#include "qvedit/core/QvEditHighlighter.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/highlighters/QvHighlighterJScript.h"
#include "qvedit/highlighters/QvHighlighterPHP.h"
#include "qvedit/search/QvEditSearch.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// Lines that open and close what most languages carry over a line end: comments, strings,
// tags, CDATA, blocks of PHP, style and script.
const std::vector<std::string>& Pattern()
{
    static const std::vector<std::string> lines = {
        "<div class=\"a\">text &amp; more</div>",
        "/* a comment that goes on",
        "   inside it */ int x = 1; // to the end",
        "$v = 'str' . \"dq $x\"; # hash",
        "<!-- a page comment",
        "--> <?php echo 1; ?> <script>var s = 'q';</script>",
        "function f(a, b) { return a + b; }",
        "SELECT * FROM t WHERE a = 'x'; -- note",
        "p { color: red; } <style> b { x: 1 }",
        "Sub Foo() ' a note",
        "object Form1: TForm1",
        "  Caption = 'x'",
        "end",
        "<![CDATA[ raw",
        "]]> <tag attr='v'/> {$a} (* old *)",
        "\"a string that is not closed",
        "my $s = <<END; q{ perl",
        "END",
        "</style></script> ?> <? x",
    };
    return lines;
}

std::string TextOf(Integer Count)
{
    std::string text;
    for (Integer i = 0; i < Count; ++i) {
        text += Pattern()[static_cast<std::size_t>(i) % Pattern().size()];
        if (i + 1 < Count)
            text += "\r\n";
    }
    return text;
}

// The scans of one bulk change, by the name of its step.
using TCounts = std::map<std::string, std::size_t>;

class BulkChangeRescanTest : public TEditorFixture<> {
protected:
    BulkChangeRescanTest()
    {
        ApplyEditingSettings(Editor());
        Editor().SetSearchEngine(&search_);
    }
    ~BulkChangeRescanTest() override
    {
        Editor().SetHighlighter(nullptr);
        Editor().SetSearchEngine(nullptr);
    }

    TQvEdit& E() { return Editor(); }
    void Do(TQvEditorCommand Command, char Char = '\0') { E().CommandProcessor(Command, Char, nullptr); }
    void Go(TPoint P) { E().CommandProcessor(ecGotoXY, '\0', &P); }
    void Select(TPoint From, TPoint To)
    {
        Go(From);
        E().CommandProcessor(ecSelGotoXY, '\0', &To);
    }
    void Load(Integer Lines)
    {
        E().ClearAll();
        E().QvSetText(TextOf(Lines));
        E().ClearUndo();
        E().SetSelectionMode(smNormal);
    }

    // Every stored range against a highlighter of the same class scanning from the top.
    ::testing::AssertionResult RangesOfAFreshScan(TQvHighlighterClass Class)
    {
        std::unique_ptr<TQvCustomHighlighter> fresh(Class->Create(nullptr));
        return ::RangesOfAFreshScan(*E().GetLines(), *fresh);
    }

    // Runs Change and counts the lines it scans into Counts under Name; the ranges must be
    // those of a fresh scan after it.
    void Measure(TCounts& Counts, TQvHighlighterClass Class, const std::string& Name, const std::function<void()>& Change)
    {
        const std::size_t before = E().RangeLinesScanned();
        Change();
        Counts[Name] = E().RangeLinesScanned() - before;
        EXPECT_TRUE(RangesOfAFreshScan(Class)) << "after " << Name;
    }

    // For every registered highlighter, the bulk changes of Scenario on Small and on four
    // times as many lines: each step scans at most a few times the lines of the text, and
    // its count grows about four times, not sixteen. (Where the ranges meet again after a
    // change depends on the text there: a step may scan one line on the small text and run
    // to the end of the large one, so the growth is measured against the small text's lines
    // when it scanned fewer.)
    void ExpectLinear(const std::function<void(TCounts&, TQvHighlighterClass, Integer)>& Scenario)
    {
        constexpr Integer Small = 1000;
        TQvHighlighterList* list = GetPlaceableHighlighters();
        ASSERT_GE(list->Count(), 10);
        for (Integer k = 0; k < list->Count(); ++k) {
            const TQvHighlighterClass cls = list->Items(k);
            std::unique_ptr<TQvCustomHighlighter> highlighter(cls->Create(nullptr));
            SCOPED_TRACE(highlighter->GetLanguageName());
            E().SetHighlighter(highlighter.get());
            TCounts small;
            TCounts large;
            Scenario(small, cls, Small);
            Scenario(large, cls, 4 * Small);
            E().SetHighlighter(nullptr);
            for (const auto& [name, count] : large) {
                EXPECT_LE(count, 3 * 4 * Small + 10) << name << " scans " << count << " lines of " << 4 * Small;
                EXPECT_LE(count, 6 * std::max<std::size_t>(small[name], Small))
                    << name << " scans " << small[name] << " lines at " << Small << " and " << count << " at "
                    << 4 * Small;
            }
        }
    }

    TQvEditSearch search_{nullptr};
};

TEST_F(BulkChangeRescanTest, UndoAndRedoOfSelectAllAndAKey)
{
    ExpectLinear([&](TCounts& Counts, TQvHighlighterClass Class, Integer N) {
        Load(N);
        Do(ecSelectAll);
        Do(ecChar, 'x');
        Measure(Counts, Class, "undo", [&] { E().Undo(); });
        Measure(Counts, Class, "redo", [&] { E().Redo(); });
        Measure(Counts, Class, "undo again", [&] { E().Undo(); });
    });
}

TEST_F(BulkChangeRescanTest, APasteMidTextAndCutAndPasteOfEverything)
{
    ExpectLinear([&](TCounts& Counts, TQvHighlighterClass Class, Integer N) {
        Load(N);
        editscript::PutOnClipboard(TextOf(N), -1);
        Go(TPoint{3, N / 2});
        Measure(Counts, Class, "paste", [&] { Do(ecPaste); });
        Measure(Counts, Class, "undo of the paste", [&] { E().Undo(); });
        Measure(Counts, Class, "redo of the paste", [&] { E().Redo(); });
        Load(N);
        Do(ecSelectAll);
        Measure(Counts, Class, "cut", [&] { Do(ecCut); });
        Measure(Counts, Class, "paste of everything", [&] { Do(ecPaste); });
        Measure(Counts, Class, "undo of the paste of everything", [&] { E().Undo(); });
    });
}

TEST_F(BulkChangeRescanTest, CaseChangesAndIndentOfABlock)
{
    ExpectLinear([&](TCounts& Counts, TQvHighlighterClass Class, Integer N) {
        Load(N);
        Do(ecSelectAll);
        Measure(Counts, Class, "upper case", [&] { Do(ecUpperCaseBlock); });
        Measure(Counts, Class, "undo of upper case", [&] { E().Undo(); });
        Measure(Counts, Class, "redo of upper case", [&] { E().Redo(); });
        Do(ecSelectAll);
        Measure(Counts, Class, "toggle case", [&] { Do(ecToggleCaseBlock); });
        Do(ecSelectAll);
        Measure(Counts, Class, "indent", [&] { Do(ecBlockIndent); });
        Measure(Counts, Class, "undo of indent", [&] { E().Undo(); });
    });
}

TEST_F(BulkChangeRescanTest, UndoOfLineAndColumnDeletions)
{
    ExpectLinear([&](TCounts& Counts, TQvHighlighterClass Class, Integer N) {
        Load(N);
        E().SetSelectionMode(smLine);
        Select(TPoint{1, 1}, TPoint{1, N / 2});
        Do(ecDeleteChar);
        E().SetSelectionMode(smNormal);
        Measure(Counts, Class, "undo of a line deletion", [&] { E().Undo(); });
        Measure(Counts, Class, "redo of a line deletion", [&] { E().Redo(); });
        Load(N);
        E().SetSelectionMode(smColumn);
        Select(TPoint{2, 1}, TPoint{4, N});
        Do(ecDeleteChar);
        E().SetSelectionMode(smNormal);
        Measure(Counts, Class, "undo of a column deletion", [&] { E().Undo(); });
        Measure(Counts, Class, "redo of a column deletion", [&] { E().Redo(); });
    });
}

TEST_F(BulkChangeRescanTest, ReplaceAllColumnPasteAndInsertStrings)
{
    ExpectLinear([&](TCounts& Counts, TQvHighlighterClass Class, Integer N) {
        Load(N);
        // As the find dialog sends it by default: in any case.
        Measure(Counts, Class, "replace all", [&] {
            EXPECT_GT(E().SearchReplace("e", "E", TQvSearchOptions{ssoReplaceAll, ssoEntireScope}), 0);
        });
        Measure(Counts, Class, "undo of replace all", [&] { E().Undo(); });
        std::string column;
        for (Integer i = 0; i < N; ++i)
            column += i + 1 < N ? "/*\r\n" : "/*";
        editscript::PutOnClipboard(column, static_cast<int>(smColumn));
        Go(TPoint{1, 1});
        Measure(Counts, Class, "column paste", [&] { Do(ecPaste); });
        Measure(Counts, Class, "undo of column paste", [&] { E().Undo(); });
        TStringList strings;
        for (Integer i = 0; i < N; ++i)
            strings.Add(Pattern()[static_cast<std::size_t>(i) % Pattern().size()]);
        Measure(Counts, Class, "InsertStrings", [&] { E().GetLines()->InsertStrings(N / 2, &strings); });
    });
}

// ---- One very long line ----------------------------------------------------------------------

class LongLineRescanTest : public BulkChangeRescanTest {
protected:
    LongLineRescanTest() : js_(nullptr) { E().SetHighlighter(&js_); }

    static constexpr std::size_t LineBytes = 1'000'000;

    // A minified script on one line, a short line below it whose start is the long line's
    // end range.
    void LoadLongLine()
    {
        std::string line;
        while (line.size() < LineBytes)
            line += "var a=\"s\",b='t';function f(x){return x/2}/*c*/";
        E().ClearAll();
        E().QvSetText(line + "\r\nvar end = 1;");
        E().ClearUndo();
    }
    // Bytes scanned for ranges by Change and a read of the range after the long line.
    std::size_t BytesScanned(const std::function<void()>& Change)
    {
        const std::size_t before = E().RangeBytesScanned();
        Change();
        E().GetLines()->GetRange(1);
        return E().RangeBytesScanned() - before;
    }

    TQvJScriptHighlighter js_;
};

TEST_F(LongLineRescanTest, AnUndoStepScansItsLineOnceWhateverItsRecords)
{
    LoadLongLine();
    Go(TPoint{1, 1});
    for (int i = 0; i < 50; ++i)
        Do(ecDeleteChar);
    const TQvHighlighterClass cls = GetPlaceableHighlighters()->Items(
        GetPlaceableHighlighters()->FindByClass(&js_));
    ASSERT_NE(cls, nullptr);
    for (int round = 0; round < 2; ++round) {
        EXPECT_LE(BytesScanned([&] { E().Undo(); }), 2 * LineBytes) << "undo, round " << round;
        EXPECT_TRUE(RangesOfAFreshScan(cls)) << "undo, round " << round;
        EXPECT_LE(BytesScanned([&] { E().Redo(); }), 2 * LineBytes) << "redo, round " << round;
        EXPECT_TRUE(RangesOfAFreshScan(cls)) << "redo, round " << round;
    }
}

TEST_F(LongLineRescanTest, KeysThatComeBeforeARangeIsReadShareOneScan)
{
    LoadLongLine();
    const TQvHighlighterClass cls = GetPlaceableHighlighters()->Items(
        GetPlaceableHighlighters()->FindByClass(&js_));
    ASSERT_NE(cls, nullptr);
    EXPECT_LE(BytesScanned([&] {
                  Go(TPoint{1, 1});
                  for (int i = 0; i < 50; ++i)
                      Do(ecDeleteChar);
                  Go(TPoint{static_cast<Integer>(E().GetLines()->GetView(0).size()) + 1, 1});
                  for (int i = 0; i < 50; ++i)
                      Do(ecDeleteLastChar);
              }),
              2 * LineBytes);
    EXPECT_TRUE(RangesOfAFreshScan(cls));
    // A key that opens a comment: the line below is read in it.
    Go(TPoint{1, 1});
    Do(ecDeleteChar);
    E().GetLines()->Put(0, "/*" + E().GetLines()->Get(0).substr(0, 1000));
    EXPECT_TRUE(RangesOfAFreshScan(cls));
}

// ---- Lines without a match between the replaced ones -----------------------------------------

// A replace all over a script whose lines with a variable alternate with lines without one:
// with the PHP highlighter, a replace all, its undo and its redo scan about the lines they
// changed, not the lines between them, and leave the ranges of a fresh scan, also where a
// replacement opens a string the lines after it are read in.
class PutRunsRescanTest : public BulkChangeRescanTest {
protected:
    PutRunsRescanTest() : php_(nullptr) { E().SetHighlighter(&php_); }

    static constexpr Integer Lines = 4000;  // half of them hold a variable

    void LoadScript()
    {
        // Even lines hold variables, odd lines none; comments and strings go over line ends.
        static const std::vector<std::string> withVariables = {
            "$total = $a + 1; // sum", "$s = \"text {$x} /* not a comment\";", "$done = true; /* a comment that goes",
            "$in = 'the comment';", "$v = 'a string that goes", "$w = 2; # note",
        };
        static const std::vector<std::string> without = {
            "echo 'no variable here';", "print(2); */ f(1);", "   on here */ print(2);",
            "on in the string';", "?> <b>html</b> <?php", "g('x');",
        };
        std::string text;
        for (Integer i = 0; i < Lines; ++i) {
            const auto k = static_cast<std::size_t>(i / 2);
            text += i % 2 == 0 ? withVariables[k % withVariables.size()] : without[k % without.size()];
            if (i + 1 < Lines)
                text += "\r\n";
        }
        E().ClearAll();
        E().QvSetText(text);
        E().ClearUndo();
    }
    Integer LinesWith(char C)
    {
        Integer count = 0;
        for (Integer i = 0; i < E().GetLines()->GetCount(); ++i)
            count += E().GetLines()->GetView(i).find(C) != std::string_view::npos ? 1 : 0;
        return count;
    }
    std::size_t Scanned(const std::function<void()>& Change)
    {
        const std::size_t before = E().RangeLinesScanned();
        Change();
        // The rescan of a large change may wait for a range to be read.
        E().GetLines()->GetRange(E().GetLines()->GetCount() - 1);
        return E().RangeLinesScanned() - before;
    }
    TQvHighlighterClass Class()
    {
        return GetPlaceableHighlighters()->Items(GetPlaceableHighlighters()->FindByClass(&php_));
    }

    TQvPHPHighlighter php_;
};

TEST_F(PutRunsRescanTest, AReplaceAllItsUndoAndRedoScanTheLinesTheyChanged)
{
    ASSERT_NE(Class(), nullptr);
    LoadScript();
    const Integer changed = LinesWith('$');
    ASSERT_LT(changed, Lines * 3 / 4);
    // As the find dialog sends it by default: in any case.
    const TQvSearchOptions options{ssoReplaceAll, ssoEntireScope};
    const std::string text = E().GetLines()->GetText();
    // A replacement that comments out the opening of a comment or a string changes the
    // ranges of the line after it too: a line in six.
    const auto bound = static_cast<std::size_t>(changed + changed / 4 + 10);
    std::string replaced;
    Integer count = 0;
    EXPECT_LE(Scanned([&] { count = E().SearchReplace("$", "##", options); }), bound) << "replace all";
    EXPECT_GT(count, changed);
    EXPECT_TRUE(RangesOfAFreshScan(Class())) << "after replace all";
    replaced = E().GetLines()->GetText();
    EXPECT_LE(Scanned([&] { E().Undo(); }), bound) << "undo";
    EXPECT_TRUE(RangesOfAFreshScan(Class())) << "after undo";
    EXPECT_EQ(E().GetLines()->GetText(), text);
    EXPECT_LE(Scanned([&] { E().Redo(); }), bound) << "redo";
    EXPECT_TRUE(RangesOfAFreshScan(Class())) << "after redo";
    EXPECT_EQ(E().GetLines()->GetText(), replaced);
}

TEST_F(PutRunsRescanTest, AReplacementThatOpensAStringOrACommentRescansTheLinesAfterIt)
{
    ASSERT_NE(Class(), nullptr);
    for (const char* replacement : {"'", "\"", "/*", "*/", "?>", "$"}) {
        SCOPED_TRACE(replacement);
        LoadScript();
        // Only some of the matches: those on the lines of the first half.
        E().SetCaretAndSelection(TPoint{1, Lines / 2}, TPoint{1, 1}, TPoint{1, Lines / 2});
        EXPECT_GT(E().SearchReplace("$", replacement, TQvSearchOptions{ssoReplaceAll, ssoSelectedOnly}), 0);
        E().GetLines()->GetRange(E().GetLines()->GetCount() - 1);
        EXPECT_TRUE(RangesOfAFreshScan(Class())) << "after replace all";
        E().Undo();
        E().GetLines()->GetRange(E().GetLines()->GetCount() - 1);
        EXPECT_TRUE(RangesOfAFreshScan(Class())) << "after undo";
        E().Redo();
        E().GetLines()->GetRange(E().GetLines()->GetCount() - 1);
        EXPECT_TRUE(RangesOfAFreshScan(Class())) << "after redo";
    }
}

// ---- A second editor on the buffer -----------------------------------------------------------

TEST_F(BulkChangeRescanTest, ASecondEditorRightOfItsMaximumWidthLooksForItsLongestLineOncePerChange)
{
    auto searches = [&](Integer N) {
        std::string text(3000, 'w');
        for (Integer i = 0; i < N; ++i)
            text += "\r\na;b;c";
        E().ClearAll();
        E().QvSetText(text);
        E().ClearUndo();
        TQvEdit other(nullptr);
        other.SetBounds(0, 0, 400, 300);
        other.SetParent(&Form());
        other.SetLinesPointer(&E());
        Go(TPoint{1, 2});
        TPoint end{3001, 1};
        other.CommandProcessor(ecGotoXY, '\0', &end);
        const std::size_t before = E().GetLines()->LongestLineSearches();
        EXPECT_EQ(E().SearchReplace(";", " ", TQvSearchOptions{ssoReplaceAll, ssoEntireScope}), 2 * N);
        const std::size_t count = E().GetLines()->LongestLineSearches() - before;
        other.RemoveLinesPointer();
        return count;
    };
    const std::size_t small = searches(500);
    const std::size_t large = searches(2000);
    EXPECT_LE(large, 20u) << "at 500 lines " << small;
}

}  // namespace
