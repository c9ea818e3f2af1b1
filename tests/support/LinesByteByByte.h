// The reference for splitting a text into lines: byte by byte, at CR LF, a lone CR or a
// lone LF, as the editor splits text it is given; the piece after the last line end is a
// line too (empty after a final line end).
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline std::vector<std::string> LinesByteByByte(std::string_view Text)
{
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '\r' || Text[i] == '\n') {
            if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += Text[i];
        }
    }
    return lines;
}
