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

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define QV_POISON(addr, size) ASAN_POISON_MEMORY_REGION(addr, size)
#define QV_UNPOISON(addr, size) ASAN_UNPOISON_MEMORY_REGION(addr, size)
#else
#define QV_POISON(addr, size) ((void)(addr), (void)(size))
#define QV_UNPOISON(addr, size) ((void)(addr), (void)(size))
#endif

#include "qvedit/core/QvEditHighlighter.h"

namespace {

// A line whose bytes after the terminating NUL are unreadable under the sanitizer.
class TGuardedLine {
public:
    explicit TGuardedLine(const std::string& text) : text_(std::make_unique<std::string>(text))
    {
        QV_POISON(Tail(), TailSize());
    }
    ~TGuardedLine() { QV_UNPOISON(Tail(), TailSize()); }
    TGuardedLine(const TGuardedLine&) = delete;
    TGuardedLine& operator=(const TGuardedLine&) = delete;

    const std::string& Text() const { return *text_; }

private:
    char* Tail() const { return text_->data() + text_->size() + 1; }
    std::size_t TailSize() const { return text_->capacity() - text_->size(); }
    std::unique_ptr<std::string> text_;
};

struct TToken {
    Integer Pos;
    std::string Text;
    Integer Kind;
    bool operator==(const TToken&) const = default;
};

std::string Hex(const std::string& text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        out += digits[c >> 4];
        out += digits[c & 15];
        out += ' ';
    }
    return out;
}

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

// Pieces that open, continue and close constructs of the languages.
const char* const Fragments[] = {
    "\"", "'", "`", "$a", "$", "['", "[", "]", "->", "{$", "${", "{", "}", "/*", "*/", "//",
    "#", "\\", " ", "\t", "x", "if", "1", "0x", ".", "<<=", "<", ">", "<?", "?>", "<!--",
    "-->", "&amp;", "&#", "<![CDATA[", "]]>", "=", ";", "@", "%", "\r", "\n", "\xE9"};

// Lines over several alphabets: every byte but NUL, characters that open and close
// constructs, words and blanks, and sequences of whole constructs.
std::vector<std::string> MakeLines(unsigned seed, int count)
{
    const std::string alphabets[] = {
        "",  // every byte 1..255
        "\"'$\\{}[]->/*#",
        "\"'$\\{}[]->/*#<?!&;@%=+|^.:,()ab_x1 \t\r\n",
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456789 .-",
        "",  // fragments
    };
    std::mt19937 random(seed);
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        const std::size_t mode = static_cast<std::size_t>(i) % std::size(alphabets);
        const std::string& alphabet = alphabets[mode];
        const bool fragments = mode == std::size(alphabets) - 1;
        const int length = static_cast<int>(random() % (fragments ? 30 : 81));
        std::string line;
        for (int j = 0; j < length; ++j) {
            if (fragments)
                line += Fragments[random() % std::size(Fragments)];
            else if (alphabet.empty())
                line += static_cast<char>(1 + random() % 255);
            else
                line += alphabet[random() % alphabet.size()];
        }
        lines.push_back(line);
    }
    return lines;
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

    std::vector<TQvHighlighterRange> ranges;
    for (TQvHighlighterRange v = 0; v < 256; ++v)
        if (IsStableRange(*used, v))
            ranges.push_back(v);
    ASSERT_FALSE(ranges.empty());
    // Values the highlighter does not know: they must be handled all the same.
    for (TQvHighlighterRange v : {TQvHighlighterRange{255}, TQvHighlighterRange{1000},
                                  TQvHighlighterRange{-1}, ranges.back() + 1})
        ranges.push_back(v);

    std::mt19937 random(seed);
    const std::vector<std::string> lines = MakeLines(seed + 1, 1200);
    for (std::size_t i = Part; i < lines.size(); i += Parts) {
        const std::string& text = lines[i];
        const TGuardedLine line(text);
        for (TQvHighlighterRange start : ranges) {
            std::unique_ptr<TQvCustomHighlighter> fresh(cls->Create(nullptr));
            const std::vector<TToken> expected = ScanChecked(*fresh, line, start);
            const std::vector<TToken> again = ScanChecked(*used, line, start);
            EXPECT_TRUE(expected == again) << "fresh and used instance differ";
            if (::testing::Test::HasFailure()) {
                ADD_FAILURE() << "line: " << Hex(text) << " start range " << start;
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
