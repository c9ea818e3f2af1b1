// The state of one paint of the editor's text area, and the steps that use it: line
// backgrounds, the selection span, token runs of equal look, the parts of a run in normal
// and selection colours, visible tabs, blanks and line ends, and the right edge. One
// painter lives for one PaintTextLines call.
#pragma once

#include "platform/graphics/Gdi.h"
#include "platform/graphics/Graphics.h"
#include "platform/runtime/Types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TCustomQvEdit;
class TQvCustomHighlighter;
class TQvEditStringList;
class TQvHighlighterAttributes;
class TQvTextDrawer;

// The tokens the highlighter gives a line, scanned from the line's start, for the columns
// From .. To - 1 (0-based): every token that starts before To, from a token at or left of
// From that a paint may start with, and the line's text for those columns. A long line's
// tokens are kept by its editor and serve every paint of those columns until the buffer,
// the highlighter or the range the line starts in changes.
struct TQvEditLineTokens {
    struct TToken {
        Integer Pos;     // 0-based column of the first character
        Integer Length;
        TQvHighlighterAttributes* Attribute;  // nil: the editor's font and colours
        bool Blanks;     // only blanks (a blank-only token joins a run across styles)
    };

    // What the tokens were made from.
    const TQvEditStringList* Lines = nullptr;
    std::uint64_t ChangeStamp = 0;
    Integer Line = 0;  // 1-based
    const TQvCustomHighlighter* Highlighter = nullptr;
    Integer StartRange = 0;
    std::uint64_t LastUse = 0;

    Integer From = 0;
    Integer To = 0;
    std::string Text;  // the columns From .. From + Text.size() - 1
    std::vector<TToken> Tokens;
    // The scan reached the line's end before To: the last token is the line's last.
    bool Eol = false;
    // The highlighter's comment and whitespace attributes at the line's end (for the
    // line-end glyph), taken when the scan reached it.
    TQvHighlighterAttributes* EolComment = nullptr;
    TQvHighlighterAttributes* EolWhitespace = nullptr;

    // Whether the tokens serve a paint of the 1-based columns FirstCol..LastCol.
    bool Covers(Integer FirstCol, Integer LastCol) const;
};

class TQvEditTextPainter {
public:
    TQvEditTextPainter(TCustomQvEdit& AEditor, const TRect& AClip, Integer FirstLine,
                       Integer LastLine, Integer FirstCol, Integer LastCol);

    // Paints the lines and the area below them within the clip rectangle.
    void Paint();

private:
    // The background of a line: ActiveLineColor on the caret line with
    // eoHighlightCurrentLine, else the highlighter's whitespace background, else Color.
    TColor EditorAreaBackground(bool CaretLine) const;
    // Client x of the left edge of a display column.
    Integer ColumnToX(Int64 Column) const;
    void FillRect(const TRect& ARect, TColor AColor);
    void DrawRightEdge(Integer Top, Integer Bottom);

    void ComputeSelectionSpan();
    void ComputeLineSelection(Integer Line);
    void PaintLine(Integer Line);
    // The tokens of the line for the painted columns: a short line's made for this paint
    // in shortLineTokens_, a long line's kept by the editor.
    const TQvEditLineTokens& LineTokens(Integer Line);
    // Scans the line with the highlighter up to the first token at or beyond column To
    // (0-based) and keeps the tokens and text from column From on.
    void MakeLineTokens(TQvEditLineTokens& Tokens, Integer Line, Integer From, Integer To);
    void PaintHighlightedLine(Integer Line);
    void PaintPlainLine(Integer Line);

    // Adds the token of Length characters at column Pos (0-based) to the run, or paints
    // the run and starts a new one with it; Kept holds the token's characters from its
    // KeptFrom-th on that are drawn.
    void AddToken(Integer Pos, Integer Length, bool Blanks, std::string_view Kept, Integer KeptFrom,
                  TColor Foreground, TColor Background, TFontStyles Style);
    void PaintRun(bool FillToEol);
    void FillLineRest();
    // Draws the columns First..Last of Text (whose first character is in column
    // ColumnsBefore + 1) into partRect_, then moves partRect_'s left to its right.
    void PaintPart(std::string_view Text, Integer ColumnsBefore, Integer First, Integer Last);
    void PaintTabGlyphs(std::string_view Text, Integer ColumnsBefore, std::size_t Index,
                        std::size_t Count, Integer Y);
    Int64 TabStart(Int64 Column) const;
    void UseColors(bool Selected, TColor Foreground, TColor Background);
    // The byte drawn for a character of the line: a blank for a tab, a · for a blank
    // while special characters are shown.
    char ShownChar(char C) const;

    TCustomQvEdit& ed_;
    TCanvas* canvas_;
    HDC dc_ = nullptr;
    TQvTextDrawer* drawer_;
    TRect clip_;
    Integer firstLine_;
    Integer lastLine_;
    Integer firstCol_;
    Integer lastCol_;
    Integer charWidth_;
    Integer lineHeight_;
    bool specialChars_;

    // The right edge: drawn when its x lies within the clip.
    bool drawRightEdge_ = false;
    Integer rightEdgeX_ = 0;

    // The selection within the painted lines, in display columns.
    bool anySelection_ = false;
    Integer selFirstLine_ = 0;
    Integer selLastLine_ = 0;
    Integer selFirstCol_ = 0;
    Integer selLastCol_ = 0;

    // The line being painted.
    TRect lineRect_;
    TRect partRect_;
    bool caretLine_ = false;
    bool specialLine_ = false;
    TColor lineBackground_ = 0;
    TColor colFG_ = 0;
    TColor colBG_ = 0;
    TColor selFG_ = 0;
    TColor selBG_ = 0;
    Integer lineSelStart_ = 0;  // first selected column, 0 when none
    Integer lineSelEnd_ = 0;    // first column after the selection
    bool fullySelected_ = false;
    bool partlySelected_ = false;
    bool overhangDone_ = false;

    TQvEditLineTokens shortLineTokens_;
    // The expanded columns of the line being painted that tab glyphs are placed by: from
    // column lineColumnsBefore_ + 1 on, at least as far left as a tab in view may begin.
    std::string_view lineColumns_;
    Integer lineColumnsBefore_ = 0;

    // The token run: characters of equal look waiting to be drawn.
    // A run may be open with no characters kept, when its tokens lie left of the painted
    // columns: it still decides which tokens join it.
    bool runOpen_ = false;
    std::string run_;
    Integer runColumnsBefore_ = 0;  // the column before run_'s first character
    Int64 runEnd_ = 0;              // the columns before the token that may join next
    TColor runFG_ = 0;
    TColor runBG_ = 0;
    TFontStyles runStyle_;
};
