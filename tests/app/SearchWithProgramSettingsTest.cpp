// Finding and replacing with the main window's editing options: a replacement is made
// from its match in the line, whatever the expression looks at around it, and the count
// is what was replaced; the expression engine's bound counts its own work only, on the
// real clock, however long the editor works between searches; a find from a caret that no
// find put there takes the empty match at the caret.
#include "ReplaceAllModel.h"

#include "../qvedit/editor/EditorFixture.h"
#include "FakeRegexClock.h"

#include "app/EditorSettings.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/search/QvEditRegexSearch.h"
#include "qvedit/search/QvEditSearch.h"

#include <algorithm>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

using replacemodel::TModel;
using replacemodel::TRange;

std::int64_t ProcessorTime()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// A listener on the buffer that, while Slow, takes two milliseconds of processor time for
// every line put: the editor's own work between the searches of a replace all, made costly.
class TSlowListener : public TObject {
public:
    explicit TSlowListener(TQvEditStringList& Lines) : lines_(Lines), saved_(Lines.OnPutted)
    {
        Lines.OnPutted = TStringListInsertedEvent(this, &TSlowListener::Putted);
    }
    ~TSlowListener() override { lines_.OnPutted = saved_; }
    bool Slow = false;
    std::int64_t Spent = 0;

private:
    void Putted(Integer Index, std::string_view S)
    {
        if (saved_)
            saved_(Index, S);
        if (!Slow)
            return;
        const std::int64_t start = ProcessorTime();
        while (ProcessorTime() - start < 2'000'000) {
        }
        Spent += ProcessorTime() - start;
    }

    TQvEditStringList& lines_;
    TStringListInsertedEvent saved_;
};

class SearchWithProgramSettingsTest : public TEditorFixture<> {
protected:
    SearchWithProgramSettingsTest()
    {
        ApplyEditingSettings(Editor());
        plain_ = std::make_unique<TQvEditSearch>(nullptr);
        regex_ = std::make_unique<TQvEditRegexSearch>(nullptr);
        Editor().SetSearchEngine(regex_.get());
    }
    ~SearchWithProgramSettingsTest() override { Editor().SetHighlighter(nullptr); }

    void Load(const std::string& Text)
    {
        SetText(Text);
        Editor().ClearUndo();
    }
    std::string Text() { return Editor().QvGetText(); }
    Integer Run(const std::string& Search, const std::string& Replace, TQvSearchOptions Options)
    {
        return Editor().SearchReplace(Search, Replace, Options);
    }

    std::unique_ptr<TQvEditSearch> plain_;
    std::unique_ptr<TQvEditRegexSearch> regex_;
};

std::string Lines(const std::string& Line, int Count)
{
    std::string text;
    for (int i = 0; i < Count; ++i)
        text += i == 0 ? Line : "\r\n" + Line;
    return text;
}

// Where the editor's text first differs from Expected: "" when nowhere.
std::string FirstDifference(TCustomQvEdit& Editor, const std::string& Expected)
{
    const std::vector<std::string> expected = LinesByteByByte(Expected);
    const std::vector<std::string> actual = replacemodel::LinesOf(Editor);
    for (std::size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        if (i >= expected.size() || i >= actual.size() || expected[i] != actual[i])
            return "line " + std::to_string(i + 1) + " of " + std::to_string(actual.size()) + ": \"" +
                   (i < actual.size() ? actual[i] : "") + "\", expected \"" + (i < expected.size() ? expected[i] : "") +
                   "\"";
    }
    return "";
}

}  // namespace

// ---- Replacements made from the match in its line -----------------------------------------------

TEST_F(SearchWithProgramSettingsTest, EachReplacementIsMadeFromItsMatchInTheLine)
{
    struct Case {
        const char* text;
        const char* expression;
        const char* replacement;
        const char* expected;
        int count;
        bool matchCase;
    };
    const Case cases[] = {
        {"ab ab", "\\Bb", "X", "aX aX", 2, true},  // the boundary looks before the match
        {"foo", "o\\B", "0", "f0o", 1, true},      // and after it
        {"aa", "a*?", "X", "XaXa", 2, true},       // empty lazy matches
        {"one\r\ntwo", "^", "> ", "> one\r\n> two", 2, true},
        {"ab cd\r\nef", "\\w$", "[$&]", "ab c[d]\r\ne[f]", 2, true},
        {"abc de", "\\b(\\w)(\\w*)", "$2$1", "bca ed", 2, true},
        {"a b c d", "(\\w+) (\\w+)", "$2 $1", "b a d c", 2, true},
        {"ab AB aB", "AB", "x", "x x x", 3, false},
        {"ab AB aB", "AB", "x", "ab x aB", 1, true},
        {"abc", "(a)|(b)", "[$1$2]", "[a][b]c", 2, true},
        {"axxb", "x*", "-", "a-b", 1, true},
        {"a12", "\\d+?", "<$&>", "a<1><2>", 2, true},
        {"aab ab", "(a+?)b", "$1", "aa a", 2, true},
        {"x xx ax", "\\bx", "y", "y yx ax", 2, true},
        {"abc", "b", "\\$1\r\n", "a$1\r\nc", 1, true},
        {"a b ", "\\w", "", "", 2, true},  // what is left is blanks, trimmed
    };
    for (const Case& c : cases) {
        for (const bool backward : {false, true}) {
            SCOPED_TRACE(std::string(c.expression) + " -> " + c.replacement + " in " + c.text +
                         (backward ? " backward" : " forward"));
            Load(c.text);
            const TRange whole;
            TQvSearchOptions options;
            if (backward)
                options.Include(ssoBackwards);
            if (c.matchCase)
                options.Include(ssoMatchCase);
            options = replacemodel::Prepare(Editor(), whole, options);
            const auto model =
                TModel(true, c.expression, c.replacement, options).Apply(replacemodel::LinesOf(Editor()), whole, true);
            EXPECT_EQ(model.Text, c.expected);
            EXPECT_EQ(model.Count, c.count);
            EXPECT_EQ(Run(c.expression, c.replacement, options), c.count);
            EXPECT_EQ(Text(), c.expected);
            Editor().Undo();
            EXPECT_EQ(Text(), c.text);
        }
    }
}

TEST_F(SearchWithProgramSettingsTest, ReplacementsInASelectionAndOneByOneAreMadeFromTheLineToo)
{
    // Within a selection the expression still sees the whole line: the boundary before the
    // selection, the letters after it.
    Load("xab abab ab");
    TRange range;
    range.Whole = false;
    range.Start = TPoint{3, 1};
    range.End = TPoint{8, 1};
    const TQvSearchOptions options = replacemodel::Prepare(Editor(), range, {ssoMatchCase});
    EXPECT_EQ(Run("\\Bb|a\\B", "_", options), 4);
    EXPECT_EQ(Text(), "xa_ ___b ab");

    // Asked match by match, and answered to replace each.
    Load("ab ab");
    Editor().OnReplaceText = TReplaceTextEvent(
        +[](TObject*, const std::string&, const std::string&, int, int, TQvReplaceAction& Action) {
            Action = raReplace;
        });
    EXPECT_EQ(Run("\\Bb", "X", {ssoReplaceAll, ssoPrompt, ssoEntireScope, ssoMatchCase}), 2);
    EXPECT_EQ(Text(), "aX aX");
    Editor().OnReplaceText = nullptr;

    // One replacement at a time.
    Load("foo foo");
    EXPECT_EQ(Run("o\\B", "0", {ssoReplace, ssoEntireScope, ssoMatchCase}), 1);
    EXPECT_EQ(Text(), "f0o foo");
    EXPECT_EQ(Run("o\\B", "0", {ssoReplace, ssoMatchCase}), 1);
    EXPECT_EQ(Text(), "f0o f0o");
}

// The engine's work for a replace all of one long line grows with the line, not with its
// square: its clock, read once every ClockEvery steps, counts the work. Each replacement is
// made from its match again here (the template has an escape).
TEST_F(SearchWithProgramSettingsTest, AReplaceAllOfALongLineTakesWorkInProportionToTheLine)
{
    auto readings = [&](std::size_t matches) {
        std::string line;
        std::string replaced;
        for (std::size_t i = 0; i < matches; ++i) {
            line += "a bcd";
            replaced += "b bcd";
        }
        Load(line);
        const TFakeRegexClock clock(TFakeRegexClock::ReleaseTick);
        EXPECT_EQ(Run("a", "\\b", {ssoReplaceAll, ssoEntireScope, ssoMatchCase}), static_cast<Integer>(matches));
        EXPECT_TRUE(Editor().GetLines()->Get(0) == replaced);
        return TFakeRegexClock::Readings();
    };
    const std::int64_t once = readings(100'000);
    const std::int64_t twice = readings(200'000);
    EXPECT_GT(once, 5);
    EXPECT_LE(twice, 2 * once + 2);
}

// ---- The expression engine's bound on the real clock ---------------------------------------------

// A replace all whose every search is ordinary ends, however much longer than the engine's
// allowance for the whole text the editor works between the searches.
TEST_F(SearchWithProgramSettingsTest, TheEditorsWorkBetweenSearchesIsNotChargedToTheExpression)
{
    const TRealRegexClock real;
    TSlowListener editorWork(*Editor().GetLines());
    constexpr int Count = 1000;
    constexpr int Words = 20;  // the engine's work makes it read its clock every hundred lines or so
    std::string line;
    std::string replaced;
    for (int i = 0; i < Words; ++i) {
        line += i == 0 ? "foo efghij" : " foo efghij";
        replaced += i == 0 ? "XXX XXXXXX" : " XXX XXXXXX";
    }
    Load(Lines(line, Count));
    editorWork.Slow = true;
    EXPECT_EQ(Run("[a-z]", "X", {ssoReplaceAll, ssoEntireScope, ssoMatchCase}), Count * Words * 9);
    editorWork.Slow = false;
    EXPECT_EQ(FirstDifference(Editor(), Lines(replaced, Count)), "");
    // The editor's work alone took longer than the allowance.
    const auto bytes = static_cast<std::int64_t>(line.size()) * Count;
    EXPECT_GT(editorWork.Spent, TRegex::SearchTime + TRegex::TimePerByte * bytes);
    std::printf("[ bound    ] the editor's work %.2f s\n", static_cast<double>(editorWork.Spent) / 1e9);
    Editor().Undo();
    EXPECT_EQ(FirstDifference(Editor(), Lines(line, Count)), "");
}

// A hostile expression still ends within about a second of its own work, with the engine's
// message, after every ordinary line before it is replaced, however long the editor took
// over those.
TEST_F(SearchWithProgramSettingsTest, AHostileExpressionEndsAfterASecondOfItsOwnWork)
{
    const TRealRegexClock real;
    TSlowListener editorWork(*Editor().GetLines());
    constexpr int Ordinary = 1000;
    std::string line;
    std::string replaced;
    for (int i = 0; i < 25; ++i) {
        line += "xxy ";
        replaced += "- ";
    }
    line += "1";
    replaced += "1";
    const std::string costly = std::string(40, 'x') + "!y";
    const std::string text = Lines(line, Ordinary) + "\r\n" + costly + "\r\nxxy 2";
    Load(text);
    editorWork.Slow = true;
    const std::int64_t start = ProcessorTime();
    try {
        Run("(x+x+)+y", "-", {ssoReplaceAll, ssoEntireScope, ssoMatchCase});
        FAIL() << "no error";
    } catch (const ERegex& e) {
        EXPECT_EQ(e.ErrorCode(), reeBacktrackLimitExceeded);
        EXPECT_EQ(e.Message(), "TRegex(exec): Too Much Backtracking");
    }
    editorWork.Slow = false;
    const std::int64_t engine = ProcessorTime() - start - editorWork.Spent;
    EXPECT_GT(editorWork.Spent, TRegex::SearchTime + TRegex::TimePerByte * static_cast<std::int64_t>(text.size()));
    std::printf("[ bound    ] the editor's work %.2f s, the rest %.2f s\n", static_cast<double>(editorWork.Spent) / 1e9,
                static_cast<double>(engine) / 1e9);
    EXPECT_GT(engine, TRegex::SearchTime / 2);
    EXPECT_LT(engine, 5 * TRegex::SearchTime);
    EXPECT_EQ(FirstDifference(Editor(), Lines(replaced, Ordinary) + "\r\n" + costly + "\r\nxxy 2"), "");
    Editor().Undo();
    EXPECT_EQ(FirstDifference(Editor(), text), "");
}

// ---- Find Next from a caret no find put there ---------------------------------------------------

TEST_F(SearchWithProgramSettingsTest, FindNextFromACaretNoFindPutThereTakesTheEmptyMatchThere)
{
    Load("\r\nabc\r\n\r\ndef");
    Editor().SetCaretXY(TPoint{1, 1});
    EXPECT_EQ(Run("^$", "", {}), 1);
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, 1}));
    // Continuing from that find moves on.
    EXPECT_EQ(Run("^$", "", {}), 1);
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, 3}));
    EXPECT_EQ(Run("^$", "", {}), 0);

    Editor().SetCaretXY(TPoint{1, 2});
    EXPECT_EQ(Run("^", "", {}), 1);
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, 2}));
    EXPECT_EQ(Run("^", "", {}), 1);
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, 3}));
}
