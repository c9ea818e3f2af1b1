// A small highlighter for the editor tests: "#" starts a comment to the end of the line,
// runs of blanks or tabs are whitespace, the words "if" and "for" are keywords (bold),
// other words identifiers, anything else one symbol per character. It counts what the
// editor asks of it.
#pragma once

#include "qvedit/core/QvEditHighlighter.h"

#include <cctype>
#include <string>
#include <vector>

class TWordHighlighter : public TQvCustomHighlighter {
public:
    enum TTokenKind { tkNull, tkComment, tkSpace, tkKey, tkIdent, tkSymbol };

    explicit TWordHighlighter(TComponent* AOwner) : TQvCustomHighlighter(AOwner)
    {
        Comment = Add("Comment", clGreen, clNone, TFontStyles());
        Key = Add("Key", clRed, clNone, fsBold);
        Ident = Add("Ident", clBlack, clNone, TFontStyles());
        Space = Add("Space", clBlue, clNone, TFontStyles());
        Symbol = Add("Symbol", clMaroon, clNone, TFontStyles());
        SetAttributesOnChange(TNotifyEvent(this, &TWordHighlighter::DefHighlightChange));
    }

    static std::string LanguageName() { return "Words"; }
    static TQvHighlighterCapabilities Capabilities() { return {}; }
    TQvHighlighterClass ClassType() const override { return HighlighterClassOf<TWordHighlighter>(); }

    TQvHighlighterAttributes* GetDefaultAttribute(Integer Index) const override
    {
        switch (Index) {
        case QV_ATTRIB_COMMENT: return Comment;
        case QV_ATTRIB_IDENTIFIER: return Ident;
        case QV_ATTRIB_KEYWORD: return Key;
        case QV_ATTRIB_WHITESPACE: return Space;
        case QV_ATTRIB_SYMBOL: return Symbol;
        default: return nullptr;
        }
    }

    void Next() override
    {
        start_ = end_;
        Scan();
    }
    bool GetEol() const override { return kind_ == tkNull; }
    std::string GetToken() const override
    {
        ++TokensRead;
        return std::string(line_.substr(static_cast<std::size_t>(start_), static_cast<std::size_t>(end_ - start_)));
    }
    TQvHighlighterAttributes* GetTokenAttribute() const override
    {
        switch (kind_) {
        case tkComment: return Comment;
        case tkSpace: return Space;
        case tkKey: return Key;
        case tkIdent: return Ident;
        case tkSymbol: return Symbol;
        default: return nullptr;
        }
    }
    Integer GetTokenKind() const override { return kind_; }
    Integer GetTokenPos() const override { return start_; }

    TQvHighlighterAttributes* Comment;
    TQvHighlighterAttributes* Key;
    TQvHighlighterAttributes* Ident;
    TQvHighlighterAttributes* Space;
    TQvHighlighterAttributes* Symbol;
    // The 0-based line numbers handed to SetLine, and the tokens read, since the last Reset.
    std::vector<Integer> LinesSet;
    mutable int TokensRead = 0;
    void ResetCounts()
    {
        LinesSet.clear();
        TokensRead = 0;
    }

protected:
    void DoSetLine(std::string_view NewValue, Integer LineNumber) override
    {
        LinesSet.push_back(LineNumber);
        line_ = NewValue;
        start_ = 0;
        end_ = 0;
        Scan();
    }

private:
    TQvHighlighterAttributes* Add(const std::string& Name, TColor Fg, TColor Bg, TFontStyles Style)
    {
        auto* attr = new TQvHighlighterAttributes(Name);
        attr->SetForeground(Fg);
        attr->SetBackground(Bg);
        attr->SetStyle(Style);
        AddAttribute(attr);
        return attr;
    }

    void Scan()
    {
        const auto size = static_cast<Integer>(line_.size());
        if (start_ >= size) {
            kind_ = tkNull;
            return;
        }
        auto at = [&](Integer i) { return static_cast<unsigned char>(line_[static_cast<std::size_t>(i)]); };
        end_ = start_ + 1;
        const unsigned char c = at(start_);
        if (c == '#') {
            kind_ = tkComment;
            end_ = size;
        } else if (c == ' ' || c == '\t') {
            kind_ = tkSpace;
            while (end_ < size && (at(end_) == ' ' || at(end_) == '\t'))
                ++end_;
        } else if (std::isalnum(c) || c == '_') {
            while (end_ < size && (std::isalnum(at(end_)) || at(end_) == '_'))
                ++end_;
            const std::string_view word = line_.substr(static_cast<std::size_t>(start_),
                                                        static_cast<std::size_t>(end_ - start_));
            kind_ = word == "if" || word == "for" ? tkKey : tkIdent;
        } else {
            kind_ = tkSymbol;
        }
    }

    std::string_view line_;
    Integer start_ = 0;
    Integer end_ = 0;
    TTokenKind kind_ = tkNull;
};
