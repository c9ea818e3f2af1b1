#include "HighlighterTestSupport.h"

int KindOfWholeLine(TQvCustomHighlighter& h, const std::string& line)
{
    h.ResetRange();
    h.SetLine(line, 0);
    const int kind = h.GetTokenKind();
    const bool whole = h.GetToken() == line;
    h.Next();
    if (whole && h.GetEol())
        return kind;
    // An empty line gives the end-of-line token at once.
    static const std::string empty;
    h.ResetRange();
    h.SetLine(empty, 0);
    return h.GetTokenKind();
}
