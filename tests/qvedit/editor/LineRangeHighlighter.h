// A highlighter for the tests of the stored end-of-line ranges: each line is one plain
// token, and a subclass says only how a line moves the range. It counts the lines it is
// given. TLanguage is the subclass, which names the language.
#pragma once

#include "qvedit/core/QvEditHighlighter.h"

#include <string>

template <class TLanguage>
class TLineRangeHighlighter : public TQvCustomHighlighter {
public:
    explicit TLineRangeHighlighter(TComponent* AOwner) : TQvCustomHighlighter(AOwner)
    {
        text_ = new TQvHighlighterAttributes("Text");
        AddAttribute(text_);
    }
    static TQvHighlighterCapabilities Capabilities() { return {}; }
    TQvHighlighterClass ClassType() const override { return HighlighterClassOf<TLanguage>(); }
    TQvHighlighterAttributes* GetDefaultAttribute(Integer) const override { return text_; }
    void Next() override { eol_ = true; }
    bool GetEol() const override { return eol_; }
    std::string GetToken() const override { return std::string(line_); }
    TQvHighlighterAttributes* GetTokenAttribute() const override { return text_; }
    Integer GetTokenKind() const override { return 0; }
    Integer GetTokenPos() const override { return 0; }
    TQvHighlighterRange GetRange() const override { return range_; }
    void SetRange(TQvHighlighterRange Value) override { range_ = Value; }
    void ResetRange() override { range_ = 0; }

    int LinesScanned = 0;

protected:
    // The range at the end of Line, given the range at its start.
    virtual TQvHighlighterRange RangeAfter(std::string_view Line, TQvHighlighterRange Range) const = 0;

    void DoSetLine(std::string_view NewValue, Integer) override
    {
        ++LinesScanned;
        line_ = NewValue;
        eol_ = NewValue.empty();
        range_ = RangeAfter(NewValue, range_);
    }

private:
    TQvHighlighterAttributes* text_;
    std::string_view line_;
    bool eol_ = true;
    TQvHighlighterRange range_ = 0;
};
