// The multi-language highlighter: markers and segments with the main window's schemes,
// range packing, references to highlighters that go away, and hostile expressions.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "qvedit/highlighters/QvHighlighterCss.h"
#include "qvedit/highlighters/QvHighlighterHtml.h"
#include "qvedit/highlighters/QvHighlighterJScript.h"
#include "qvedit/highlighters/QvHighlighterMulti.h"
#include "qvedit/highlighters/QvHighlighterPHP.h"
#include "qvedit/highlighters/QvHighlighterVBScript.h"
#include "qvedit/search/QvRegex.h"

namespace {

using TAttr = TQvHighlighterAttributes;

struct TTok {
    TAttr* Attr;
    std::string Text;
    bool operator==(const TTok&) const = default;
};
using TToks = std::vector<TTok>;

std::ostream& operator<<(std::ostream& out, const TTok& t)
{
    return out << (t.Attr != nullptr ? t.Attr->GetName() : "nil") << " `" << t.Text << "`";
}

// Scans one line the way the editor does and checks that the tokens tile the line.
TToks Scan(TQvCustomHighlighter& h, const std::string& line)
{
    TToks tokens;
    h.SetLine(line, 0);
    Integer pos = 0;
    for (std::size_t guard = 0; !h.GetEol(); ++guard) {
        if (guard > 3 * line.size() + 3) {
            ADD_FAILURE() << "no end of line in `" << line << "`";
            break;
        }
        EXPECT_EQ(h.GetTokenPos(), pos) << "in `" << line << "`";
        tokens.push_back({h.GetTokenAttribute(), h.GetToken()});
        pos = h.GetTokenPos() + static_cast<Integer>(h.GetToken().size());
        h.Next();
    }
    EXPECT_EQ(h.GetTokenPos(), static_cast<Integer>(line.size())) << "in `" << line << "`";
    return tokens;
}

bool HasMarker(const TToks& tokens, TAttr* marker)
{
    return std::any_of(tokens.begin(), tokens.end(),
                       [&](const TTok& t) { return t.Attr == marker; });
}

// The main window's configuration: the HTML highlighter outside any block and seven schemes.
struct TPage {
    TQvHTMLHighlighter html{nullptr};
    TQvHTMLHighlighter href{nullptr};
    TQvJScriptHighlighter js{nullptr};
    TQvJScriptHighlighter asp{nullptr};
    TQvVBScriptHighlighter vbs{nullptr};
    TQvCssHighlighter css{nullptr};
    TQvPHPHighlighter php{nullptr};
    TQvMultiHighlighter multi{nullptr};

    TPage()
    {
        multi.SetDefaultHighlighter(&html);
        Add("Html", false, "", "", &html);
        Colour(Add("Js", false, "<script(.*)>", "</script(.*)>", &js), clNone, clMaroon, {});
        Add("VBS", false, "<script(.*) language=(.*)vbscript(.*)>", "</script(.*)>", &vbs);
        Colour(Add("Css", false, "<style(.*)>", "</style(.*)>", &css), clNone, 1618925, fsBold);
        Colour(Add("AHref", false, "<a (.*)>", "</a>", &href), clNone, clTeal, {});
        Colour(Add("ASP", true, "<%", "%>", &asp), clYellow, clNavy, fsBold);
        Colour(Add("PHP", true, "<php", ">", &php), clNone, clRed, {fsBold, fsItalic});
    }
    TScheme* Add(const std::string& name, bool caseSensitive, const std::string& start,
                 const std::string& end, TQvCustomHighlighter* h)
    {
        TScheme* s = multi.GetSchemes()->Add();
        s->SetSchemeName(name);
        s->SetCaseSensitive(caseSensitive);
        s->SetStartExpr(start);
        s->SetEndExpr(end);
        s->SetHighlighter(h);
        return s;
    }
    static void Colour(TScheme* s, TColor back, TColor fore, TFontStyles style)
    {
        s->GetMarkerAttri()->SetBackground(back);
        s->GetMarkerAttri()->SetForeground(fore);
        s->GetMarkerAttri()->SetStyle(style);
    }
    TAttr* Marker(int scheme) { return multi.GetSchemes()->Items(scheme)->GetMarkerAttri(); }
};

// Packed ranges of the default layout.
TQvHighlighterRange Outside(TQvHighlighterRange html) { return html << 3; }
TQvHighlighterRange Inside(int scheme, TQvHighlighterRange html, TQvHighlighterRange sub)
{
    return (((html << 4) | sub) << 3) | (scheme + 1);
}

constexpr TQvHighlighterRange HtmlText = QvHTML::rsText;

struct TNoticeCounter : TObject {
    int Count = 0;
    void Changed(TObject*) { ++Count; }
};

}  // namespace

// ---- The configured page -----------------------------------------------------------------

TEST(MultiHighlighter, FirstSchemeInOrderWinsAndGreedyStartKeepsTheBlockOpen)
{
    TPage p;
    p.multi.ResetRange();
    // Js is tried before Css, and its start expression runs to the last ">" of the line.
    const TToks want = {
        {p.html.TextAttri(), "a "},    {p.html.SymbolAttri(), "<"}, {p.html.KeyAttri(), "style"},
        {p.html.SymbolAttri(), ">"},   {p.html.TextAttri(), "b"},   {p.html.SymbolAttri(), "<"},
        {p.html.KeyAttri(), "/style"}, {p.html.SymbolAttri(), ">"}, {p.html.TextAttri(), " "},
        {p.Marker(1), "<script>c</script>"}};
    EXPECT_EQ(Scan(p.multi, "a <style>b</style> <script>c</script>"), want);
    EXPECT_EQ(p.multi.GetRange(), Inside(1, HtmlText, QvJScript::rsUnknown));
}

TEST(MultiHighlighter, BlockOverLinesRestoresTheStateBeforeItsStart)
{
    TPage p;
    p.multi.ResetRange();
    // The start marker interrupts a double-quoted value, which goes on after the block;
    // the line ends right after the start marker, so the next one begins in the script.
    TToks want = {{p.html.SymbolAttri(), "<"},      {p.html.KeyAttri(), "p"},
                  {p.html.SpaceAttri(), " "},       {p.html.IdentifierAttri(), "t"},
                  {p.html.SymbolAttri(), "="},      {p.html.ValueAttri(), "\"x "},
                  {p.Marker(1), "<SCRIPT>"}};
    EXPECT_EQ(Scan(p.multi, "<p t=\"x <SCRIPT>"), want);
    EXPECT_EQ(p.multi.GetRange(), Inside(1, QvHTML::rsDoubleQuoteValue, QvJScript::rsUnknown));

    p.multi.SetRange(p.multi.GetRange());
    want = {{p.js.KeyAttri(), "var"}, {p.js.SpaceAttri(), " "}, {p.js.IdentifierAttri(), "a"},
            {p.js.SymbolAttri(), ";"}, {p.js.SpaceAttri(), " "}, {p.js.CommentAttri(), "/* c"}};
    EXPECT_EQ(Scan(p.multi, "var a; /* c"), want);
    EXPECT_EQ(p.multi.GetRange(), Inside(1, QvHTML::rsDoubleQuoteValue, QvJScript::rsANSI));

    p.multi.SetRange(p.multi.GetRange());
    want = {{p.js.CommentAttri(), "d */"}, {p.js.SpaceAttri(), " "}, {p.Marker(1), "</script>"},
            {p.html.ValueAttri(), " y\""}};
    EXPECT_EQ(Scan(p.multi, "d */ </script> y\""), want);
    EXPECT_EQ(p.multi.GetRange(), Outside(QvHTML::rsParam));
}

TEST(MultiHighlighter, MarkersOnOneLineCaseAndTheSchemesThatNeverOpen)
{
    TPage p;
    p.multi.ResetRange();
    EXPECT_EQ(Scan(p.multi, "<%x%>"),
              (TToks{{p.Marker(5), "<%"}, {p.asp.IdentifierAttri(), "x"}, {p.Marker(5), "%>"}}));
    EXPECT_EQ(p.multi.GetRange(), Outside(HtmlText));
    const std::string both = "<%%>";
    p.multi.SetLine(both, 0);
    EXPECT_EQ(p.multi.GetTokenKind(), 0);  // markers are kind 0 and never end the line

    // The case-insensitive Js scheme takes any case, and the VBS tag too, being first.
    for (const char* line : {"<SCRIPT>", "<ScRiPt language=vbscript>"}) {
        p.multi.ResetRange();
        EXPECT_EQ(Scan(p.multi, line), (TToks{{p.Marker(1), line}}));
    }
    // The PHP scheme is case-sensitive, and "<?php" does not contain its start.
    p.multi.ResetRange();
    EXPECT_EQ(Scan(p.multi, "<php $a>"), (TToks{{p.Marker(6), "<php"}, {p.php.SpaceAttri(), " "},
                                               {p.php.VariableAttri(), "$a"}, {p.Marker(6), ">"}}));
    for (const char* line : {"<PHP $a>", "<?php $a ?>"}) {
        p.multi.ResetRange();
        EXPECT_FALSE(HasMarker(Scan(p.multi, line), p.Marker(6))) << line;
        EXPECT_EQ(p.multi.GetRange(), Outside(HtmlText)) << line;
    }
}

TEST(MultiHighlighter, AdjacentBlocksEachRestoreTheDefaultState)
{
    // The scheme shares the default highlighter, so each block resets the state the value
    // was in; leaving each end marker must bring it back.
    TQvHTMLHighlighter html(nullptr);
    TQvMultiHighlighter multi(nullptr);
    multi.SetDefaultHighlighter(&html);
    TScheme* s = multi.GetSchemes()->Add();
    s->SetStartExpr("<%");
    s->SetEndExpr("%>");
    s->SetHighlighter(&html);
    TAttr* m = s->GetMarkerAttri();
    multi.ResetRange();
    const TToks want = {{html.SymbolAttri(), "<"}, {html.KeyAttri(), "p"},
                        {html.SpaceAttri(), " "},  {html.IdentifierAttri(), "t"},
                        {html.SymbolAttri(), "="}, {html.ValueAttri(), "\""},
                        {m, "<%"}, {html.TextAttri(), "x"}, {m, "%>"},
                        {m, "<%"}, {html.TextAttri(), "y"}, {m, "%>"},
                        {html.ValueAttri(), " q\""}};
    EXPECT_EQ(Scan(multi, "<p t=\"<%x%><%y%> q\""), want);
    EXPECT_EQ(multi.GetRange(), Outside(QvHTML::rsParam));
}

TEST(MultiHighlighter, WithoutDefaultHighlighterTheLineIsOneTokenWithoutAttribute)
{
    TQvMultiHighlighter multi(nullptr);
    multi.ResetRange();
    EXPECT_EQ(Scan(multi, "<p>a</p>"), (TToks{{nullptr, "<p>a</p>"}}));
    EXPECT_TRUE(Scan(multi, "").empty());
    EXPECT_EQ(multi.GetRange(), 0);
}

// ---- Properties and notices ---------------------------------------------------------------

TEST(MultiHighlighter, AttributesAreMarkersThenDefaultThenEachSchemeHighlighter)
{
    TPage p;
    const Integer html = p.html.GetAttribCount();
    const Integer count = 7 + 3 * html + 2 * p.js.GetAttribCount() + p.vbs.GetAttribCount() +
                          p.css.GetAttribCount() + p.php.GetAttribCount();
    ASSERT_EQ(p.multi.GetAttribCount(), count);
    EXPECT_EQ(p.multi.GetAttribute(6), p.Marker(6));
    EXPECT_EQ(p.multi.GetAttribute(7), p.html.GetAttribute(0));
    EXPECT_EQ(p.multi.GetAttribute(7 + 2 * html), p.js.GetAttribute(0));
    EXPECT_EQ(p.multi.GetAttribute(count - 1), p.php.GetAttribute(p.php.GetAttribCount() - 1));
    EXPECT_EQ(p.multi.GetAttribute(count), nullptr);
    EXPECT_EQ(p.Marker(0)->GetName(), "Marker");
    EXPECT_EQ(p.Marker(0)->GetBackground(), clYellow);
    EXPECT_EQ(p.Marker(0)->GetForeground(), clNone);
    EXPECT_EQ(p.Marker(0)->GetStyle(), TFontStyles(fsBold));
    EXPECT_EQ(p.multi.GetLanguageName(), "General Multi-Highlighter");
    EXPECT_GE(GetPlaceableHighlighters()->FindByClass(&p.multi), 0);

    TQvMultiHighlighter copy(nullptr);  // assigned schemes take every property
    copy.SetSchemes(p.multi.GetSchemes());
    EXPECT_EQ(copy.GetAttribCount(), count - html);
    EXPECT_EQ(copy.GetSchemes()->Items(3)->GetMarkerAttri()->GetForeground(), 1618925);
}

TEST(MultiHighlighter, ExpressionChangesAreCheckedAndNoticedOnlyWhenTheyMatter)
{
    TPage p;
    TNoticeCounter notices;
    p.multi.HookAttrChangeEvent(TNotifyEvent(&notices, &TNoticeCounter::Changed));
    TScheme* js = p.multi.GetSchemes()->Items(1);
    js->SetStartExpr("<SCRIPT(.*)>");  // only the case differs, and the scheme ignores case
    EXPECT_EQ(js->GetStartExpr(), "<SCRIPT(.*)>");
    EXPECT_EQ(notices.Count, 0);
    js->SetStartExpr("<script>");
    EXPECT_EQ(notices.Count, 1);
    try {
        js->SetEndExpr("</script(");
        ADD_FAILURE() << "an invalid expression was taken";
    } catch (const ERegex& e) {
        EXPECT_NE(std::string(e.what()).find(" (pos "), std::string::npos) << e.what();
    }
    EXPECT_EQ(js->GetEndExpr(), "</script(.*)>");
    p.Marker(1)->SetForeground(clBlue);
    p.js.KeyAttri()->SetForeground(clBlue);  // a scheme highlighter's own attribute
    EXPECT_EQ(notices.Count, 3);
}

TEST(MultiHighlighter, RefusesItselfAsDefaultOrSchemeHighlighter)
{
    TPage p;
    try {
        p.multi.SetDefaultHighlighter(&p.multi);
        ADD_FAILURE() << "accepted itself";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "A QvMultiHighlighter cannot be its own DefaultHighlighter.");
    }
    EXPECT_EQ(p.multi.GetDefaultHighlighter(), &p.html);
    TScheme* js = p.multi.GetSchemes()->Items(1);  // it would scan itself without end
    EXPECT_THROW(js->SetHighlighter(&p.multi), Exception);
    EXPECT_EQ(js->GetHighlighter(), &p.js);
}

TEST(MultiHighlighter, HighlightersThatGoAwayAreForgottenEverywhere)
{
    TPage p;
    auto css = std::make_unique<TQvCssHighlighter>(nullptr);
    TScheme* scheme = p.multi.GetSchemes()->Items(3);
    scheme->SetHighlighter(css.get());
    p.multi.ResetRange();
    Scan(p.multi, "<style>");
    p.multi.SetRange(p.multi.GetRange());
    const std::string rule = "p { }";
    p.multi.SetLine(rule, 0);  // the highlighter about to die scans this line
    css.reset();
    EXPECT_EQ(scheme->GetHighlighter(), nullptr);
    EXPECT_TRUE(p.multi.GetEol());
    p.multi.ResetRange();
    EXPECT_FALSE(HasMarker(Scan(p.multi, "<style>x"), p.Marker(3)));

    // Used as default and by a scheme: dropping one use keeps it hooked for the other.
    auto html = std::make_unique<TQvHTMLHighlighter>(nullptr);
    p.multi.SetDefaultHighlighter(html.get());
    p.multi.GetSchemes()->Items(0)->SetHighlighter(html.get());
    p.multi.GetSchemes()->Items(0)->SetHighlighter(nullptr);
    html.reset();
    EXPECT_EQ(p.multi.GetDefaultHighlighter(), nullptr);
    EXPECT_EQ(p.multi.GetAttribCount(), 7 + 2 * p.js.GetAttribCount() + p.vbs.GetAttribCount() +
                                            p.href.GetAttribCount() + p.php.GetAttribCount());

    // The other way round: after the multi-highlighter dies, its highlighters forget it.
    TNoticeCounter notices;
    {
        TQvMultiHighlighter multi(nullptr);
        multi.SetDefaultHighlighter(&p.asp);
        multi.GetSchemes()->Add()->SetHighlighter(&p.asp);
    }
    p.asp.HookAttrChangeEvent(TNotifyEvent(&notices, &TNoticeCounter::Changed));
    p.asp.KeyAttri()->SetForeground(clRed);
    EXPECT_EQ(notices.Count, 1);
}

// ---- Range packing ------------------------------------------------------------------------

TEST(MultiHighlighter, RangeOpensOnlyASchemeThatCanScan)
{
    TPage p;
    p.multi.GetSchemes()->Items(2)->SetHighlighter(nullptr);
    p.multi.SetRange(Inside(2, QvHTML::rsComment, 3));
    EXPECT_EQ(p.multi.GetCurrScheme(), -1);
    EXPECT_EQ(p.multi.GetRange(), Outside(QvHTML::rsComment));
    TQvMultiHighlighter bare(nullptr);
    for (TQvHighlighterRange value : {1, 7, -1}) {
        bare.SetRange(value);
        EXPECT_EQ(bare.GetRange(), 0) << value;
    }
}

TEST(MultiHighlighter, RangesThatDoNotFitFailInsteadOfPackingWrong)
{
    TPage p;
    p.Add("Eighth", true, "<q>", "</q>", &p.js);  // three bits cannot record it as open
    p.multi.ResetRange();
    Scan(p.multi, "<q>");
    EXPECT_EQ(p.multi.GetCurrScheme(), 7);
    try {
        p.multi.GetRange();
        ADD_FAILURE() << "packed an eighth scheme";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), "Assertion failure");
    }
}

TEST(MultiHighlighter, NestedLayoutWhileASchemeHighlighterIsMulti)
{
    TPage p;
    TQvMultiHighlighter inner(nullptr);
    inner.SetDefaultHighlighter(&p.js);
    TScheme* nested = p.Add("Inner", true, "<inner>", "</inner>", &inner);
    p.multi.ResetRange();
    EXPECT_EQ(p.multi.GetRange(), (HtmlText << 4) | 1);
    Scan(p.multi, "<inner>/*");
    EXPECT_EQ(p.multi.GetRange(), (Outside(QvJScript::rsANSI) << 4) | (7 + 2));
    p.multi.SetRange(0);  // no value: nothing changes
    EXPECT_EQ(p.multi.GetCurrScheme(), 7);
    p.multi.SetRange((QvHTML::rsComment << 4) | 1);
    EXPECT_EQ(p.multi.GetCurrScheme(), -1);
    EXPECT_EQ(p.html.GetRange(), QvHTML::rsComment);
    nested->SetHighlighter(nullptr);
    p.multi.ResetRange();
    EXPECT_EQ(p.multi.GetRange(), Outside(HtmlText));
}

// ---- Hostile expressions, check events and tokens ------------------------------------------

TEST(MultiHighlighter, ExpressionMatchingEmptyTextFindsNothingThere)
{
    TPage p;
    TScheme* s = p.multi.GetSchemes()->Items(1);
    s->SetStartExpr("^x*");
    s->SetEndExpr("^y*");
    p.multi.ResetRange();
    EXPECT_EQ(Scan(p.multi, "abc"), (TToks{{p.html.TextAttri(), "abc"}}));
    const TToks tokens = Scan(p.multi, "xxab");
    ASSERT_FALSE(tokens.empty());
    EXPECT_EQ(tokens.front(), (TTok{p.Marker(1), "xx"}));
    EXPECT_EQ(p.multi.GetCurrScheme(), 1);  // the empty end match closed nothing
}

TEST(MultiHighlighter, CheckEventsMayMoveOrDropMarkersButNotLeaveTheLine)
{
    struct TCheck : TObject {
        Integer Shift = 0;
        void Check(TObject*, Integer& StartPos, Integer& MarkerLen, std::string& Text)
        {
            StartPos += Shift;
            MarkerLen = 2;
            if (Shift < 0)
                Text.clear();
        }
    } check;
    TPage p;
    p.multi.GetSchemes()->Items(5)->OnCheckStartMarker = TOnCheckMarker(&check, &TCheck::Check);
    check.Shift = 1;  // "<%" becomes "%x"
    p.multi.ResetRange();
    const TToks tokens = Scan(p.multi, "a<%x%>");
    EXPECT_NE(std::find(tokens.begin(), tokens.end(), TTok{p.Marker(5), "%x"}), tokens.end());
    for (Integer shift : {100, -1}) {  // past the line's end, or without text: dropped
        check.Shift = shift;
        p.multi.ResetRange();
        EXPECT_FALSE(HasMarker(Scan(p.multi, "<%x"), p.Marker(5))) << shift;
    }
}

namespace {

// Gives an empty token at the start of every line, then the line as one token.
class TEmptyFirstHighlighter : public TQvCustomHighlighter {
public:
    using TQvCustomHighlighter::TQvCustomHighlighter;
    TQvHighlighterClass ClassType() const override { return nullptr; }
    TAttr* GetDefaultAttribute(Integer) const override { return nullptr; }
    void Next() override { ++step_; }
    bool GetEol() const override { return step_ > 1; }
    std::string GetToken() const override { return step_ == 1 ? std::string(line_) : std::string(); }
    TAttr* GetTokenAttribute() const override { return nullptr; }
    Integer GetTokenKind() const override { return step_; }
    Integer GetTokenPos() const override { return step_ > 1 ? Integer(line_.size()) : 0; }

protected:
    void DoSetLine(std::string_view NewValue, Integer) override
    {
        line_ = NewValue;
        step_ = 0;
    }

private:
    std::string_view line_;
    int step_ = 0;
};

}  // namespace

TEST(MultiHighlighter, EmptySubTokenAtTheLineStartStillMovesOn)
{
    TEmptyFirstHighlighter sub(nullptr);
    TQvMultiHighlighter multi(nullptr);
    multi.SetDefaultHighlighter(&sub);
    multi.ResetRange();
    EXPECT_EQ(Scan(multi, "abc"), (TToks{{nullptr, ""}, {nullptr, "abc"}}));
}

// Random lines of page pieces: tokens tile every line, and the end range reads back as it is.
TEST(MultiHighlighter, RandomPagesTileEveryLine)
{
    const char* const pieces[] = {"<script>", "</script>", "<SCRIPT a=1>", "<style>", "</style>",
                                  "<%", "%>", "<php", ">", "<a href=x>", "</a>", "<", "\"",
                                  "'", "/*", "*/", "<!--", "-->", "x", " ", "\t", "$a", "\xE9",
                                  "{", "}", "//", "&amp;", "="};
    TPage p;
    std::mt19937 random(42);
    p.multi.ResetRange();
    for (int i = 0; i < 3000 && !::testing::Test::HasFailure(); ++i) {
        std::string line;
        for (int n = static_cast<int>(random() % 12); n > 0; --n)
            line += pieces[random() % std::size(pieces)];
        std::string joined;
        for (const TTok& t : Scan(p.multi, line))
            joined += t.Text;
        EXPECT_EQ(joined, line);
        const TQvHighlighterRange range = p.multi.GetRange();
        p.multi.SetRange(range);
        EXPECT_EQ(p.multi.GetRange(), range) << "line `" << line << "`";
    }
}
