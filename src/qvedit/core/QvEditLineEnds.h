// Line ends in 8-bit text, looked for sixteen bytes at a time: loading splits a file with
// them, and every text the editor inserts is split into lines with them.
#pragma once

#include <cstddef>
#include <string_view>

// Index of the first NUL, LF or CR in Text[From, Size), or Size when none: where a line of
// a loaded file ends.
std::size_t FindLineEnd(const char* Text, std::size_t From, std::size_t Size);

// Index of the first LF or CR in Text from From on, or Text.size() when none.
std::size_t FindLineBreak(std::string_view Text, std::size_t From);

// The line breaks of Text, CR LF counted once, a lone CR and a lone LF once each.
std::size_t CountLineBreaks(std::string_view Text);

// The lines of a text one after another: the pieces between line breaks (CR LF, a lone CR
// or a lone LF). A text ending with a break has an empty last piece; an empty text is one
// empty piece.
class TQvTextLines {
public:
    explicit TQvTextLines(std::string_view Text) : text_(Text) {}
    bool AtEnd() const { return atEnd_; }
    // The next piece; valid while the text is.
    std::string_view Next()
    {
        const std::size_t end = FindLineBreak(text_, at_);
        const std::string_view piece = text_.substr(at_, end - at_);
        at_ = end + 1;
        if (end == text_.size())
            atEnd_ = true;
        else if (text_[end] == '\r' && at_ < text_.size() && text_[at_] == '\n')
            ++at_;
        return piece;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
    bool atEnd_ = false;
};
