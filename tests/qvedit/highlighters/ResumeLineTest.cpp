// A highlighter resumed in the middle of a line from the state it gave there goes on exactly
// as the scan from the line's start: the same tokens (position, kind, attribute, text) to
// the end of the line and the same range there, for every registered highlighter that says
// it can resume, from every start range, at every token boundary of random lines, of the
// golden files' real code and of long lines of a minified script and a JSON document. A
// fresh highlighter object resumes, so that nothing left from the full scan helps it.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "GoldenDriver.h"
#include "GuardedLine.h"
#include "HighlighterTestSupport.h"
#include "qvedit/highlighters/QvHighlighterMulti.h"

namespace {

struct TToken {
    Integer Pos;
    Integer Kind;
    Integer Attribute;  // its index in its highlighter's list; -1 for none
    std::string Text;
    bool operator==(const TToken&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TToken& t)
{
    return out << "{" << t.Pos << ", kind " << t.Kind << ", attribute " << t.Attribute << ", `" << t.Text << "`}";
}

Integer AttributeIndex(const TQvCustomHighlighter& h)
{
    const TQvHighlighterAttributes* attribute = h.GetTokenAttribute();
    for (Integer i = 0; i < h.GetAttribCount(); ++i)
        if (h.GetAttribute(i) == attribute)
            return i;
    return -1;
}

TToken Current(const TQvCustomHighlighter& h)
{
    return {h.GetTokenPos(), h.GetTokenKind(), AttributeIndex(h), std::string(h.GetTokenView())};
}

// The tokens from the current one to the end of the line, then the range there.
std::vector<TToken> TokensToEol(TQvCustomHighlighter& h, TQvHighlighterRange& EndRange)
{
    std::vector<TToken> tokens;
    while (!h.GetEol()) {
        tokens.push_back(Current(h));
        h.Next();
    }
    EndRange = h.GetRange();
    return tokens;
}

// Each token boundary of each line (about Boundaries of them, chosen at random, when given)
// from each start range (the first Starts of them, when given); stops at the first
// difference.
void ExpectResumedAsScanned(TQvHighlighterClass cls, const std::vector<std::string>& lines,
                            std::size_t Boundaries, std::size_t Starts)
{
    std::unique_ptr<TQvCustomHighlighter> full(cls->Create(nullptr));
    std::unique_ptr<TQvCustomHighlighter> resumed(cls->Create(nullptr));
    SCOPED_TRACE(full->GetLanguageName());
    if (!full->CanResume())
        return;
    std::mt19937 random(99);
    std::vector<TQvHighlighterRange> starts = StartRanges(*full);
    if (Starts != 0 && starts.size() > Starts)
        starts.resize(Starts);
    for (TQvHighlighterRange start : starts) {
        for (const std::string& text : lines) {
            const TGuardedLine line(text);
            full->SetRange(start);
            full->SetLine(line.Text(), 3);
            std::vector<TQvHighlighterState> states;
            std::vector<TToken> tokens;
            while (!full->GetEol()) {
                tokens.push_back(Current(*full));
                states.push_back(full->GetState());
                full->Next();
            }
            const TQvHighlighterRange endRange = full->GetRange();
            std::vector<std::size_t> picks;
            for (std::size_t k = 0; k < states.size(); ++k)
                if (Boundaries == 0 || random() % states.size() < Boundaries)
                    picks.push_back(k);
            for (std::size_t k : picks) {
                // Another range set before must not matter: the state carries its own.
                resumed->SetRange(start + 1);
                resumed->SetLine(line.Text(), 0);
                resumed->ResumeLine(line.Text(), 3, states[k]);
                TQvHighlighterRange resumedEnd = 0;
                std::vector<TToken> got = TokensToEol(*resumed, resumedEnd);
                const std::vector<TToken> expected(tokens.begin() + static_cast<std::ptrdiff_t>(k) + 1, tokens.end());
                if (got != expected || resumedEnd != endRange) {
                    ADD_FAILURE() << "line " << HexBytes(text.size() > 400 ? text.substr(0, 400) : text)
                                  << "from range " << start << ", resumed after token " << k << " at "
                                  << states[k].Pos << ": " << got.size() << " tokens ending in range "
                                  << resumedEnd << ", the scan from the start " << expected.size()
                                  << " ending in range " << endRange
                                  << (got.empty() || expected.empty() ? std::string()
                                      : ", first " + ::testing::PrintToString(got.front()) + " against " +
                                            ::testing::PrintToString(expected.front()));
                    return;
                }
            }
        }
    }
}

std::string Repeated(const std::string& Piece, std::size_t Bytes)
{
    std::string text;
    while (text.size() < Bytes)
        text += Piece;
    return text;
}

void ForEachHighlighter(const std::vector<std::string>& lines, std::size_t Boundaries = 0,
                        std::size_t Starts = 0)
{
    TQvHighlighterList* list = GetPlaceableHighlighters();
    ASSERT_GT(list->Count(), 0);
    for (Integer i = 0; i < list->Count(); ++i)
        ExpectResumedAsScanned(list->Items(i), lines, Boundaries, Starts);
}

}  // namespace

TEST(HighlighterResumeLine, RandomLinesResumeAsTheyScan)
{
    ForEachHighlighter(RandomLines(5151, 400), 6);
}

TEST(HighlighterResumeLine, GoldenLinesResumeAsTheyScan)
{
    const std::vector<std::string> lines = GoldenLines();
    ASSERT_GT(lines.size(), 100u);
    ForEachHighlighter(lines, 6, 4);
}

// Long lines of a minified script, a JSON document and a page with entities, at a few
// boundaries each, from the first start ranges.
TEST(HighlighterResumeLine, LongLinesResumeAsTheyScan)
{
    ForEachHighlighter({Repeated("var a1=function(b,c){return b+c*2.5;};if(a1(1,2)>3){x=\"s\\\"t\";}/*c*/ ", 50000),
                        "[" + Repeated("{\"id\":12,\"name\":\"value one\",\"n\":[1,2,3],\"ok\":true},", 50000) + "{}]",
                        Repeated("<p class=\"a\">x &amp; y &lt;z&gt; &copy;</p><!-- c --> ", 50000)},
                       3, 2);
}

// The languages that say so resume; the one that cannot carry a nested language's state
// says it cannot.
TEST(HighlighterResumeLine, WhoCanResume)
{
    TQvHighlighterList* list = GetPlaceableHighlighters();
    for (Integer i = 0; i < list->Count(); ++i) {
        std::unique_ptr<TQvCustomHighlighter> h(list->Items(i)->Create(nullptr));
        EXPECT_EQ(h->CanResume(), dynamic_cast<TQvMultiHighlighter*>(h.get()) == nullptr) << h->GetLanguageName();
    }
}
