// Fuzzes every registered highlighter with lines and start ranges. Input: byte 0 picks
// the highlighter, bytes 1..2 the start range (low byte first), the rest is a text whose
// lines are separated by NUL bytes; they are scanned one after the other with the range
// carried as the editor carries it. Each line lives in a buffer of exactly its length plus
// the NUL, so the address sanitizer reports any read past its end. Besides memory errors
// the target traps when a line does not end within 3 * length + 3 tokens, when tokens are
// not contiguous from 0, when the end of line is not at the end, or when an empty token
// comes without a range change.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "qvedit/core/QvEditHighlighter.h"
#include "qvedit/highlighters/QvHighlighterCpp.h"
#include "qvedit/highlighters/QvHighlighterCss.h"
#include "qvedit/highlighters/QvHighlighterHtml.h"
#include "qvedit/highlighters/QvHighlighterJScript.h"
#include "qvedit/highlighters/QvHighlighterPHP.h"
#include "qvedit/highlighters/QvHighlighterPerl.h"
#include "qvedit/highlighters/QvHighlighterSQL.h"
#include "qvedit/highlighters/QvHighlighterVBScript.h"
#include "qvedit/highlighters/QvHighlighterXML.h"
#include "../tests/support/GuardedLine.h"

namespace {

// Highlighter units register themselves when they are linked; a program that takes them
// from the static library links only those it uses. Name every one here; registering a
// class again changes nothing.
const TQvHighlighterClass LinkedHighlighters[] = {
    HighlighterClassOf<TQvCppHighlighter>(),      HighlighterClassOf<TQvCssHighlighter>(),
    HighlighterClassOf<TQvHTMLHighlighter>(),     HighlighterClassOf<TQvJScriptHighlighter>(),
    HighlighterClassOf<TQvPHPHighlighter>(),      HighlighterClassOf<TQvPerlHighlighter>(),
    HighlighterClassOf<TQvSQLHighlighter>(),      HighlighterClassOf<TQvVBScriptHighlighter>(),
    HighlighterClassOf<TQvXMLHighlighter>(),
};

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void ScanLine(TQvCustomHighlighter& h, const std::string& text, Integer lineNo)
{
    const auto length = static_cast<Integer>(text.size());
    TQvHighlighterRange rangeBefore = h.GetRange();
    h.SetLine(text, lineNo);
    Integer expected = 0;
    std::size_t calls = 0;
    while (!h.GetEol()) {
        Check(++calls <= 3 * text.size() + 3);
        Check(h.GetTokenPos() == expected);
        const std::string token = h.GetToken();
        Check(!token.empty() || h.GetRange() != rangeBefore);
        expected += static_cast<Integer>(token.size());
        Check(expected <= length);
        (void)h.GetTokenAttribute();
        (void)h.GetTokenKind();
        rangeBefore = h.GetRange();
        h.Next();
    }
    Check(h.GetTokenPos() == length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    for (TQvHighlighterClass cls : LinkedHighlighters)
        RegisterPlaceableHighlighter(cls);
    TQvHighlighterList* list = GetPlaceableHighlighters();
    if (size < 3 || list->Count() == 0)
        return 0;
    TQvHighlighterClass cls = list->Items(data[0] % list->Count());
    std::unique_ptr<TQvCustomHighlighter> h(cls->Create(nullptr));
    h->SetRange(static_cast<TQvHighlighterRange>(data[1] | (data[2] << 8)));

    const char* text = reinterpret_cast<const char*>(data + 3);
    const std::size_t textSize = size - 3;
    std::size_t start = 0;
    Integer lineNo = 0;
    while (start <= textSize) {
        std::size_t end = start;
        while (end < textSize && text[end] != '\0')
            ++end;
        const TGuardedLine line(std::string_view(text + start, end - start));
        ScanLine(*h, line.Text(), lineNo++);
        h->SetRange(h->GetRange());
        start = end + 1;
    }
    return 0;
}
