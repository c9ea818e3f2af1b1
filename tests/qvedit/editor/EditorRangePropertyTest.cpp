// The end-of-line ranges the editor keeps, with real highlighters, while a user edits:
// typing, line breaks, pasting text with empty lines, comment and string delimiters,
// deleting selections in each mode, undo and redo. After every step each stored range
// must equal a fresh scan from the top.
#include "EditorFixture.h"
#include "LineRangeHighlighter.h"

#include "platform/window/Clipboard.h"
#include "qvedit/highlighters/QvHighlighterCpp.h"
#include "qvedit/highlighters/QvHighlighterCss.h"
#include "qvedit/highlighters/QvHighlighterHtml.h"
#include "qvedit/highlighters/QvHighlighterJScript.h"
#include "qvedit/highlighters/QvHighlighterMulti.h"
#include "qvedit/highlighters/QvHighlighterPHP.h"

#include <array>
#include <numeric>
#include <random>
#include <sstream>

namespace {

// Page markup with PHP, script and style blocks, as the multi-language highlighter shows it.
struct TPageHighlighter {
    TQvHTMLHighlighter html{nullptr};
    TQvJScriptHighlighter js{nullptr};
    TQvCssHighlighter css{nullptr};
    TQvPHPHighlighter php{nullptr};
    TQvMultiHighlighter multi{nullptr};

    TPageHighlighter()
    {
        multi.SetDefaultHighlighter(&html);
        Add("Js", "<script(.*)>", "</script(.*)>", &js);
        Add("Css", "<style(.*)>", "</style(.*)>", &css);
        Add("PHP", "<\\?php", "\\?>", &php);
    }
    void Add(const std::string& Name, const std::string& Start, const std::string& End,
             TQvCustomHighlighter* Highlighter)
    {
        TScheme* scheme = multi.GetSchemes()->Add();
        scheme->SetSchemeName(Name);
        scheme->SetCaseSensitive(false);
        scheme->SetStartExpr(Start);
        scheme->SetEndExpr(End);
        scheme->SetHighlighter(Highlighter);
    }
};

// Pieces a user types and pastes: delimiters that open and close multi-line states.
constexpr std::array Typed = {"/*", "*/", "\"", "'", "\\", "<?php ", "?>", "<script>",
                              "</script>", "<style>", "</style>", "<!--", "-->", "#define A ",
                              "// x", "x = 1;", "<<<EOT", "EOT;", "{", "`"};
constexpr std::array Pasted = {
    "\n", "\n\n", "a\n\nb", "/* one\n\ntwo */", "\"open\n\nclosed\"", "x \\\n\ny",
    "<?php\n/*\n\n*/\n?>", "<script>\nvar s = '\n\n</script>", "<style>\n/* c\n\n*/ p {}\n</style>",
    "#define M \\\n\n", "\n\\\n", "<<<EOT\ntext\n\nEOT;\n", "<!-- c\n\n-->\n", "*/\n\n/*"};

// A line ending in a backslash continues onto the next line (range 1), which is then read
// as plain text; "/*" opens a block comment (range 2) that "*/" closes. Unlike the
// product's highlighters, an empty line ends a continuation: a state other than the
// first can reach range 0 on an empty line.
class TContinuationHighlighter : public TLineRangeHighlighter<TContinuationHighlighter> {
public:
    using TLineRangeHighlighter::TLineRangeHighlighter;
    static std::string LanguageName() { return "Continuations"; }

protected:
    TQvHighlighterRange RangeAfter(std::string_view Line, TQvHighlighterRange Range) const override
    {
        const bool continued = Range == 1;
        Range = continued ? 0 : Range;
        for (std::size_t i = 0; !continued && i + 1 < Line.size(); ++i) {
            if (Line.compare(i, 2, Range == 0 ? "/*" : "*/") == 0) {
                Range = Range == 0 ? 2 : 0;
                ++i;
            }
        }
        if (Range == 0 && !Line.empty() && Line.back() == '\\')
            Range = 1;
        return Range;
    }
};

class EditorRangePropertyTest : public EditorFixture {
protected:
    ~EditorRangePropertyTest() override { Editor().SetHighlighter(nullptr); }

    // Every stored range against a scan from the top by the same highlighter.
    ::testing::AssertionResult RangesOfAFreshScan()
    {
        std::vector<Integer> all(static_cast<std::size_t>(Editor().GetLines()->GetCount()));
        std::iota(all.begin(), all.end(), 0);
        return ReadRangesOfAFullScan(all);
    }

    // The ranges a scan of the whole text from the top gives, by the editor's highlighter.
    std::vector<Integer> FreshRanges()
    {
        TQvEditStringList& lines = *Editor().GetLines();
        TQvCustomHighlighter* hl = Editor().GetHighlighter();
        std::vector<Integer> ranges;
        hl->ResetRange();
        std::string line;
        for (Integer i = 0; i < lines.GetCount(); ++i) {
            line = lines.Get(i);
            hl->SetLine(line, i);
            hl->NextToEol();
            ranges.push_back(static_cast<Integer>(hl->GetRange()));
        }
        return ranges;
    }

    // Reads the ranges of the lines Read (0-based) against a full scan made before.
    ::testing::AssertionResult ReadRangesOfAFullScan(const std::vector<Integer>& Read)
    {
        const std::vector<Integer> fresh = FreshRanges();
        TQvEditStringList& lines = *Editor().GetLines();
        for (const Integer i : Read)
            if (i < lines.GetCount() && lines.GetRange(i) != fresh[static_cast<std::size_t>(i)])
                return ::testing::AssertionFailure()
                       << "line " << i + 1 << " `" << lines.Get(i) << "` reads " << lines.GetRange(i)
                       << ", a full scan gives " << fresh[static_cast<std::size_t>(i)] << "\ntext:\n"
                       << lines.GetText();
        return ::testing::AssertionSuccess();
    }

    TPoint RandomPoint(std::mt19937& Random)
    {
        const Integer count = std::max(Editor().GetLines()->GetCount(), 1);
        const Integer y = std::uniform_int_distribution<Integer>(1, count)(Random);
        const auto length = static_cast<Integer>(Editor().GetLines()->Get(y - 1).size());
        return TPoint{std::uniform_int_distribution<Integer>(1, length + 2)(Random), y};
    }

    void Paste(const std::string& Text)
    {
        TClipboard* clipboard = Clipboard();
        clipboard->Open();
        clipboard->Clear();
        clipboard->SetAsText(Text);
        clipboard->Close();
        Key('V', ssCtrl);
    }

    // One edit chosen by Random; returns what it did, for the failure message.
    std::string RandomEdit(std::mt19937& Random)
    {
        auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(Random); };
        std::ostringstream did;
        switch (pick(9)) {
        case 0: {
            const std::string text = Typed[static_cast<std::size_t>(pick(Typed.size()))];
            Type(text);
            did << "type `" << text << "`";
            break;
        }
        case 1:
            Key(VK_RETURN);
            did << "Enter";
            break;
        case 2: {
            const std::string text = Pasted[static_cast<std::size_t>(pick(Pasted.size()))];
            Paste(text);
            did << "paste `" << text << "`";
            break;
        }
        case 3: {
            const auto mode = static_cast<TQvSelectionMode>(pick(3));
            const TPoint from = RandomPoint(Random);
            const TPoint to = RandomPoint(Random);
            Editor().SetSelectionMode(mode);
            Editor().SetCaretXY(from);
            Editor().SetBlockBegin(from);
            Editor().SetBlockEnd(to);
            Key(pick(2) == 0 ? VK_DELETE : VK_BACK);
            Editor().SetSelectionMode(smNormal);
            did << "delete mode " << int(mode) << " (" << from.X << "," << from.Y << ")-(" << to.X
                << "," << to.Y << ")";
            break;
        }
        case 4:
            Key('Z', ssCtrl);
            did << "undo";
            break;
        case 5:
            Key('Z', ssCtrl | ssShift);
            did << "redo";
            break;
        case 6: {
            const TPoint at = RandomPoint(Random);
            Editor().SetCaretXY(at);
            did << "caret to (" << at.X << "," << at.Y << ")";
            break;
        }
        case 7:
            Key(VK_BACK);
            did << "Backspace";
            break;
        default:
            Key(VK_DELETE);
            did << "Delete";
            break;
        }
        return did.str();
    }

    // Steps of random edits from a few seeds, each checked against a fresh scan.
    void EditAndCompare(const std::string& Start)
    {
        for (unsigned seed = 1; seed <= 12; ++seed) {
            SetText(Start);
            ASSERT_TRUE(RangesOfAFreshScan()) << "after loading";
            std::mt19937 random(seed);
            std::string history;
            for (int step = 0; step < 120; ++step) {
                history += RandomEdit(random) + "\n";
                ASSERT_TRUE(RangesOfAFreshScan()) << "seed " << seed << " after:\n" << history;
            }
        }
    }

    // A highlighter given to a text already there scans its lines only as far as they are
    // read. Random steps: edits in the editor and in a second editor on its buffer (above and
    // below the lines scanned so far), reads of a few lines' ranges, paints, and another
    // highlighter given to both and taken back; every range read is a full scan's.
    void ReadAsNeededAndCompare(const std::string& Piece, TQvCustomHighlighter& Used, TQvCustomHighlighter& Other)
    {
        std::string text;
        for (int i = 0; i < 30; ++i)
            text += Piece;
        TQvEdit sharer(nullptr);
        sharer.SetLinesPointer(&Editor());
        for (unsigned seed = 1; seed <= 6; ++seed) {
            Editor().SetHighlighter(nullptr);
            sharer.SetHighlighter(nullptr);
            SetText(text);
            Editor().ClearUndo();
            const std::size_t scanned = Editor().RangeLinesScanned();
            Editor().SetHighlighter(&Used);
            sharer.SetHighlighter(&Used);
            // Nothing read yet, nothing scanned.
            ASSERT_EQ(Editor().RangeLinesScanned(), scanned);
            std::mt19937 random(seed);
            auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
            std::string history;
            for (int step = 0; step < 150; ++step) {
                const int what = pick(10);
                if (what < 4) {
                    history += RandomEdit(random) + "\n";
                } else if (what < 6) {
                    const TPoint at = RandomPoint(random);
                    const std::string typed = pick(2) == 0 ? Typed[static_cast<std::size_t>(pick(Typed.size()))] : "\r";
                    sharer.SetCaretXY(at);
                    for (const char c : typed)
                        sharer.CommandProcessor(c == '\r' ? ecLineBreak : ecChar, c, nullptr);
                    history += "the sharer types `" + typed + "` at (" + std::to_string(at.X) + "," +
                               std::to_string(at.Y) + ")\n";
                } else if (what < 8) {
                    std::vector<Integer> read;
                    for (int i = 0; i < 3; ++i)
                        read.push_back(pick(Editor().GetLines()->GetCount()));
                    ASSERT_TRUE(ReadRangesOfAFullScan(read)) << "seed " << seed << " after:\n" << history;
                } else if (what < 9) {
                    Grab();
                    history += "paint\n";
                } else {
                    TQvCustomHighlighter* next = Editor().GetHighlighter() == &Used ? &Other : &Used;
                    Editor().SetHighlighter(next);
                    sharer.SetHighlighter(next);
                    history += "highlighter " + next->GetLanguageName() + "\n";
                }
            }
            ASSERT_TRUE(RangesOfAFreshScan()) << "seed " << seed << " after:\n" << history;
        }
        Editor().SetHighlighter(nullptr);
        sharer.SetHighlighter(nullptr);
    }

    TQvPHPHighlighter php_{nullptr};
    TQvCppHighlighter cpp_{nullptr};
    TContinuationHighlighter continuation_{nullptr};
    TPageHighlighter page_;
};

const char* const CppText = "#include <x>\n/* c\n\n*/\nint a = 1; \\\n\"s\\\n\"\nint b;\n";
const char* const PageText =
    "<html>\n<?php\n$a = \"x\n\ny\";\n?>\n<script>\nvar c = 1; /*\n*/\n</script>\n"
    "<style>\np { }\n</style>\n<!-- c\n-->\n";

}  // namespace

TEST_F(EditorRangePropertyTest, PHPRangesAfterEveryEdit)
{
    Editor().SetHighlighter(&php_);
    EditAndCompare("<?php\n$a = 'x\n\ny';\n/* c\n\n*/\n$b = <<<EOT\ntext\nEOT;\n");
}

TEST_F(EditorRangePropertyTest, PageRangesAfterEveryEdit)
{
    Editor().SetHighlighter(&page_.multi);
    EditAndCompare(PageText);
}

TEST_F(EditorRangePropertyTest, CppRangesAfterEveryEdit)
{
    Editor().SetHighlighter(&cpp_);
    EditAndCompare(CppText);
}

TEST_F(EditorRangePropertyTest, RangesScannedAsFarAsReadAreThoseOfAFullScan)
{
    {
        SCOPED_TRACE("page");
        ReadAsNeededAndCompare(PageText, page_.multi, php_);
    }
    {
        SCOPED_TRACE("C++");
        ReadAsNeededAndCompare(CppText, cpp_, continuation_);
    }
    {
        SCOPED_TRACE("continuations");
        ReadAsNeededAndCompare("a \\\n/* read as text\nx\n*/\ny\n\n", continuation_, page_.multi);
    }
}


// Lines inserted after a continued line come with range 0, which an empty line there
// really has; the lines below must still be rescanned, as the continuation no longer
// reaches them.
TEST_F(EditorRangePropertyTest, InsertedLinesAfterAContinuedLineRescanTheLinesBelow)
{
    Editor().SetHighlighter(&continuation_);
    const char* const text = "a \\\n/* read as text\nx\n*/\ny\nz";
    SetText(text);
    TQvEditStringList& lines = *Editor().GetLines();
    continuation_.LinesScanned = 0;
    lines.InsertLines(1, 2);
    // Both new lines, the two now in a comment; the closing line agrees, and the scan
    // stops there.
    EXPECT_EQ(continuation_.LinesScanned, 5);
    EXPECT_TRUE(RangesOfAFreshScan()) << "after inserting empty lines";

    SetText(text);
    TStringList more;
    more.Add("");
    more.Add("b");
    lines.InsertStrings(1, &more);
    EXPECT_TRUE(RangesOfAFreshScan()) << "after inserting strings";

    // The same as a user pastes it after the backslash, and takes it back.
    SetText(text);
    Editor().SetCaretXY(TPoint{4, 1});
    Paste("\nb");
    EXPECT_EQ(lines.Get(2), "/* read as text");
    EXPECT_TRUE(RangesOfAFreshScan()) << "after pasting";
    Key('Z', ssCtrl);
    EXPECT_TRUE(RangesOfAFreshScan()) << "after undo";
    Key('Z', ssCtrl | ssShift);
    EXPECT_TRUE(RangesOfAFreshScan()) << "after redo";
}

// Many lines pasted go into the buffer at once: each is rescanned as a line put in, and
// the lines below them too; their undo and redo likewise.
TEST_F(EditorRangePropertyTest, ManyLinesPastedAtOnceHaveTheRangesOfAFreshScan)
{
    Editor().SetHighlighter(&continuation_);
    SetText("a \\\n/* read as text\nx\n*/\ny\nz");
    std::string pasted;
    for (int i = 0; i < 300; ++i)
        pasted += std::string(i % 7 == 0 ? "/* opened" : i % 11 == 0 ? "closed */" : i % 5 == 0 ? "continued \\" : "") +
                  " line " + std::to_string(i) + (i % 13 == 0 ? "\\" : "") + "\n";
    Editor().SetCaretXY(TPoint{4, 1});
    Paste(pasted);
    ASSERT_EQ(Editor().GetLines()->Count(), 306);
    EXPECT_TRUE(RangesOfAFreshScan()) << "after pasting";
    Key('Z', ssCtrl);
    EXPECT_TRUE(RangesOfAFreshScan()) << "after undo";
    Key('Z', ssCtrl | ssShift);
    EXPECT_TRUE(RangesOfAFreshScan()) << "after redo";
}
