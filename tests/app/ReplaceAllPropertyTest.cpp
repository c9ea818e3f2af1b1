// Random replace alls over random texts, each against the line-by-line model of
// ReplaceAllModel.h, then undone and redone: the plain and the expression engine, with
// and without case and whole word, replacements with and without line breaks (CR LF, CR,
// LF) and group references, forward and backward, over the whole text and over selections
// in the three modes; with the main window's editing options and with the editor's
// defaults. The sequences are split into parts so that a parallel run spreads them.
#include "ReplaceAllModel.h"

#include "../qvedit/editor/EditorFixture.h"

#include "app/EditorSettings.h"
#include "qvedit/search/QvEditRegexSearch.h"
#include "qvedit/search/QvEditSearch.h"

#include <random>
#include <string>
#include <vector>

namespace {

using replacemodel::TModel;
using replacemodel::TRange;

constexpr int SequencesPerPart = 2500;

const char* const PlainPatterns[] = {"a", "ab", "b ", " ", "A", "1", "_a", "\t", "aa"};
const char* const Expressions[] = {
    "a", "a+", "[ab]+", "\\bA", "a\\B", "\\Bb", "a*?", "x*", "^", "^\\s*", "\\s+$", "\\w+$", "(a)(b)?",
    "(a|b)+?", "(\\w)\\1", "b|^", "\\d", "A.?b", "(?i)ab", "\\t", "^$", "(\\w+) (\\w+)", "\\b",
};
const char* const PlainReplacements[] = {"", "X", "yy", "\r\n", "a\nb", "p\rq", " ", "Z \r\n ", "\t"};
const char* const ExpressionReplacements[] = {"$&$&", "[$1]", "$2-$1", "\\$", "<$0>\r\n", "${1}1"};

class TPick {
public:
    explicit TPick(unsigned Seed) : gen_(Seed) {}
    int operator()(int N) { return N <= 1 ? 0 : std::uniform_int_distribution<int>(0, N - 1)(gen_); }
    bool Chance(int Percent) { return (*this)(100) < Percent; }
    template <class T, std::size_t N>
    T From(T (&Items)[N])
    {
        return Items[(*this)(static_cast<int>(N))];
    }

private:
    std::mt19937 gen_;
};

// Lines of letters, digits, blanks, tabs and "_"; a line may end in blanks.
std::string RandomText(TPick& Pick)
{
    static const char Chars[] = "aab AB_1\tb";
    std::string text;
    const int lines = 1 + Pick(6);
    for (int i = 0; i < lines; ++i) {
        if (i > 0)
            text += "\r\n";
        for (int n = Pick(14); n > 0; --n)
            text += Chars[Pick(sizeof Chars - 1)];
    }
    return text;
}

TPoint RandomPoint(TPick& Pick, const std::vector<std::string>& Lines)
{
    const int y = 1 + Pick(static_cast<int>(Lines.size()));
    return TPoint{1 + Pick(static_cast<int>(Lines[static_cast<std::size_t>(y - 1)].size()) + 1), y};
}

// The whole text, or a selection of some text in one of the three modes.
TRange RandomRange(TPick& Pick, const std::vector<std::string>& Lines)
{
    TRange range;
    if (Pick.Chance(40) || Lines.empty())
        return range;
    range.Whole = false;
    TPoint a = RandomPoint(Pick, Lines);
    TPoint b = RandomPoint(Pick, Lines);
    if (b.Y < a.Y || (b.Y == a.Y && b.X < a.X))
        std::swap(a, b);
    const int mode = Pick(3);
    range.Mode = mode == 0 ? smNormal : mode == 1 ? smLine : smColumn;
    if (range.Mode == smColumn) {
        if (a.X > b.X)
            std::swap(a.X, b.X);
        if (a.X == b.X)
            ++b.X;  // a block of no width selects nothing
    } else if (a == b) {
        return TRange{};
    }
    range.Start = a;
    range.End = b;
    return range;
}

std::string Describe(const std::string& Text, bool Expression, const std::string& Pattern,
                     const std::string& Replacement, TQvSearchOptions Options, const TRange& Range)
{
    std::string d = "text \"" + Text + "\", " + (Expression ? "expression \"" : "plain \"") + Pattern +
                    "\" by \"" + Replacement + "\", options " + std::to_string(Options.ToBits());
    if (Range.Whole)
        return d + ", whole text";
    return d + ", selection mode " + std::to_string(Range.Mode) + " from " + std::to_string(Range.Start.X) + "," +
           std::to_string(Range.Start.Y) + " to " + std::to_string(Range.End.X) + "," + std::to_string(Range.End.Y);
}

class ReplaceAllPropertyTest : public TEditorFixture<> {
protected:
    ReplaceAllPropertyTest() : plain_(nullptr), regex_(nullptr) {}
    ~ReplaceAllPropertyTest() override { Editor().SetSearchEngine(nullptr); }

    // Runs the sequences of one part; "" when each agreed with the model, else the first
    // that did not.
    std::string RunPart(unsigned Seed, bool ProgramSettings)
    {
        if (ProgramSettings)
            ApplyEditingSettings(Editor());
        const bool trim = Editor().GetOptions().Contains(eoTrimTrailingSpaces);
        TPick pick(Seed);
        for (int n = 0; n < SequencesPerPart; ++n) {
            SetText(RandomText(pick));
            Editor().ClearUndo();
            const std::string text = Editor().QvGetText();
            const std::vector<std::string> lines = replacemodel::LinesOf(Editor());

            const bool expression = pick.Chance(60);
            const std::string pattern = expression ? pick.From(Expressions) : pick.From(PlainPatterns);
            const std::string replacement = expression && pick.Chance(40) ? pick.From(ExpressionReplacements)
                                                                          : pick.From(PlainReplacements);
            TQvSearchOptions options;
            if (pick.Chance(50))
                options.Include(ssoMatchCase);
            if (!expression && pick.Chance(25))
                options.Include(ssoWholeWord);
            if (pick.Chance(50))
                options.Include(ssoBackwards);
            const TRange range = RandomRange(pick, lines);
            const std::string what = "sequence " + std::to_string(n) + " of seed " + std::to_string(Seed) + ": " +
                                     Describe(text, expression, pattern, replacement, options, range);

            Editor().SetSearchEngine(expression ? static_cast<TQvEditSearchCustom*>(&regex_)
                                                : static_cast<TQvEditSearchCustom*>(&plain_));
            options = replacemodel::Prepare(Editor(), range, options);
            const auto model = TModel(expression, pattern, replacement, options).Apply(lines, range, trim);
            const Integer count = Editor().SearchReplace(pattern, replacement, options);
            const std::string replaced = Editor().QvGetText();
            if (count != model.Count || replaced != model.Text)
                return what + ": count " + std::to_string(count) + ", text \"" + replaced + "\"; the model's " +
                       std::to_string(model.Count) + ", \"" + model.Text + "\"";
            Editor().Undo();
            if (Editor().QvGetText() != text || Editor().GetCanUndo())
                return what + ": undone to \"" + Editor().QvGetText() + "\"";
            Editor().Redo();
            if (Editor().QvGetText() != model.Text)
                return what + ": redone to \"" + Editor().QvGetText() + "\"";
        }
        std::printf("[ property ] %d random replace alls agreed with the model (seed %u, %s)\n", SequencesPerPart,
                    Seed, ProgramSettings ? "the program's editing options" : "the editor's defaults");
        return "";
    }

private:
    TQvEditSearch plain_;
    TQvEditRegexSearch regex_;
};

}  // namespace

TEST_F(ReplaceAllPropertyTest, WithTheProgramsOptionsPart1) { EXPECT_EQ(RunPart(1, true), ""); }
TEST_F(ReplaceAllPropertyTest, WithTheProgramsOptionsPart2) { EXPECT_EQ(RunPart(2, true), ""); }
TEST_F(ReplaceAllPropertyTest, WithTheProgramsOptionsPart3) { EXPECT_EQ(RunPart(3, true), ""); }
TEST_F(ReplaceAllPropertyTest, WithTheProgramsOptionsPart4) { EXPECT_EQ(RunPart(4, true), ""); }
TEST_F(ReplaceAllPropertyTest, WithTheEditorsDefaultsPart1) { EXPECT_EQ(RunPart(11, false), ""); }
TEST_F(ReplaceAllPropertyTest, WithTheEditorsDefaultsPart2) { EXPECT_EQ(RunPart(12, false), ""); }
TEST_F(ReplaceAllPropertyTest, WithTheEditorsDefaultsPart3) { EXPECT_EQ(RunPart(13, false), ""); }
TEST_F(ReplaceAllPropertyTest, WithTheEditorsDefaultsPart4) { EXPECT_EQ(RunPart(14, false), ""); }
