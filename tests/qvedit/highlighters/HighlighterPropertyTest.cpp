// Properties every registered highlighter keeps on any input: random and hostile lines,
// every start range, lines held in buffers that end right after their NUL (so that the
// address sanitizer reports any read past it), a fresh and a used instance.

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "HighlighterTestSupport.h"
#include "qvedit/core/QvEditHighlighter.h"

namespace {

struct TToken {
    Integer Pos;
    std::string Text;
    Integer Kind;
    bool operator==(const TToken&) const = default;
};

// A value the highlighter keeps as it is: its range after SetRange equals the value.
bool IsStableRange(TQvCustomHighlighter& h, TQvHighlighterRange value)
{
    h.SetRange(value);
    return h.GetRange() == value;
}

// Scans the line from `startRange`, checking the token properties on the way.
std::vector<TToken> ScanChecked(TQvCustomHighlighter& h, const TGuardedLine& line,
                                TQvHighlighterRange startRange)
{
    const std::string& text = line.Text();
    const auto length = static_cast<Integer>(text.size());
    std::vector<TToken> tokens;
    h.SetRange(startRange);
    TQvHighlighterRange rangeBefore = h.GetRange();
    h.SetLine(text, 0);
    Integer expectedPos = 0;
    std::size_t calls = 0;
    const std::size_t limit = 3 * text.size() + 3;
    while (!h.GetEol()) {
        const std::string token = h.GetToken();
        // The token read in place is the same characters, in the line handed over.
        const std::string_view view = h.GetTokenView();
        EXPECT_EQ(view, token);
        if (!view.empty()) {
            EXPECT_EQ(view.data(), text.data() + h.GetTokenPos()) << "the token is read in place";
        }
        EXPECT_EQ(h.GetTokenPos(), expectedPos) << "tokens not contiguous";
        EXPECT_LE(h.GetTokenPos() + static_cast<Integer>(token.size()), length);
        if (token.empty()) {
            EXPECT_NE(h.GetRange(), rangeBefore) << "empty token without a range change";
        }
        tokens.push_back({h.GetTokenPos(), token, h.GetTokenKind()});
        expectedPos = h.GetTokenPos() + static_cast<Integer>(token.size());
        rangeBefore = h.GetRange();
        if (++calls > limit) {
            ADD_FAILURE() << "no end of line after " << limit << " calls of Next";
            return tokens;
        }
        h.Next();
    }
    EXPECT_EQ(h.GetTokenPos(), length) << "end of line before the end";
    EXPECT_EQ(h.GetToken(), "");
    const TQvHighlighterRange endRange = h.GetRange();
    h.Next();
    EXPECT_TRUE(h.GetEol()) << "Next after the end of line moved on";
    EXPECT_EQ(h.GetTokenPos(), length);
    EXPECT_TRUE(IsStableRange(h, endRange)) << "end range " << endRange << " is not a range";
    return tokens;
}

}  // namespace

TEST(HighlighterRegistry, EveryRegisteredClassDescribesItself)
{
    TQvHighlighterList* list = GetPlaceableHighlighters();
    ASSERT_GT(list->Count(), 0);
    std::set<std::string> names;
    for (Integer i = 0; i < list->Count(); ++i) {
        TQvHighlighterClass cls = list->Items(i);
        std::unique_ptr<TQvCustomHighlighter> h(cls->Create(nullptr));
        EXPECT_EQ(h->ClassType(), cls);
        EXPECT_EQ(list->FindByClass(h.get()), i);
        EXPECT_EQ(list->FindByName(h->GetLanguageName()), i);
        EXPECT_TRUE(names.insert(h->GetLanguageName()).second) << "duplicate language name";
    }
    EXPECT_EQ(list->Items(list->Count()), nullptr);
    EXPECT_EQ(list->FindByName("no such language"), -1);
}

TEST(HighlighterRegistry, RegisteringTwiceListsOnce)
{
    TQvHighlighterList* list = GetPlaceableHighlighters();
    const Integer count = list->Count();
    ASSERT_GT(count, 0);
    RegisterPlaceableHighlighter(list->Items(0));
    EXPECT_EQ(list->Count(), count);
}

TEST(HighlighterRegistry, EmptyLineIsOneEndToken)
{
    TQvHighlighterList* list = GetPlaceableHighlighters();
    for (Integer i = 0; i < list->Count(); ++i) {
        std::unique_ptr<TQvCustomHighlighter> h(list->Items(i)->Create(nullptr));
        SCOPED_TRACE(h->GetLanguageName());
        const TGuardedLine empty("");
        h->ResetRange();
        h->SetLine(empty.Text(), 0);
        EXPECT_TRUE(h->GetEol());
        EXPECT_EQ(h->GetTokenPos(), 0);
    }
}

namespace {

// Checks the lines whose index leaves Part when divided by Parts: the parts of one seed
// together check every line.
void CheckRandomLines(TQvHighlighterClass cls, unsigned seed, std::size_t Part, std::size_t Parts)
{
    std::unique_ptr<TQvCustomHighlighter> used(cls->Create(nullptr));
    SCOPED_TRACE(used->GetLanguageName());

    const std::vector<TQvHighlighterRange> ranges = StartRanges(*used);
    ASSERT_FALSE(ranges.empty());

    std::mt19937 random(seed);
    const std::vector<std::string> lines = RandomLines(seed + 1, 1200);
    for (std::size_t i = Part; i < lines.size(); i += Parts) {
        const std::string& text = lines[i];
        const TGuardedLine line(text);
        for (TQvHighlighterRange start : ranges) {
            std::unique_ptr<TQvCustomHighlighter> fresh(cls->Create(nullptr));
            const std::vector<TToken> expected = ScanChecked(*fresh, line, start);
            const std::vector<TToken> again = ScanChecked(*used, line, start);
            EXPECT_TRUE(expected == again) << "fresh and used instance differ";
            if (::testing::Test::HasFailure()) {
                ADD_FAILURE() << "line: " << HexBytes(text) << " start range " << start;
                return;
            }
            // Leave the used instance in the middle of some other line.
            const TGuardedLine other(lines[random() % lines.size()]);
            used->SetRange(ranges[random() % ranges.size()]);
            used->SetLine(other.Text(), 1);
            for (unsigned steps = random() % 4; steps > 0 && !used->GetEol(); --steps)
                used->Next();
        }
    }
}

}  // namespace

// Two cases per registered highlighter, each with half of the lines, so that they run
// side by side and a highlighter added later is covered without a change. The list is
// read when the cases are made, after every highlighter unit has registered itself.
constexpr int LineParts = 2;

class HighlighterProperties : public ::testing::TestWithParam<std::tuple<Integer, int>> {};

TEST_P(HighlighterProperties, RandomLinesFromEveryRange)
{
    const auto [index, part] = GetParam();
    TQvHighlighterList* list = GetPlaceableHighlighters();
    ASSERT_LT(index, list->Count());
    CheckRandomLines(list->Items(index), 1000 + static_cast<unsigned>(index), static_cast<std::size_t>(part),
                     LineParts);
}

// The case's name: the highlighter's language name in letters and digits ("C++" is "Cpp")
// and the part of the lines.
std::string LanguageOf(const ::testing::TestParamInfo<std::tuple<Integer, int>>& Info)
{
    const auto [index, part] = Info.param;
    std::unique_ptr<TQvCustomHighlighter> h(GetPlaceableHighlighters()->Items(index)->Create(nullptr));
    std::string name;
    for (char c : h->GetLanguageName()) {
        if (c == '+')
            name += 'p';
        else if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
    }
    return name + "Part" + std::to_string(part + 1);
}

INSTANTIATE_TEST_SUITE_P(EveryHighlighter, HighlighterProperties,
                         ::testing::Combine(::testing::Range(Integer{0}, GetPlaceableHighlighters()->Count()),
                                            ::testing::Range(0, LineParts)),
                         LanguageOf);
