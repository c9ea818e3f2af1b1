// The state of one paint of the editor's text area, and the steps that use it: line
// backgrounds, the selection span, token runs of equal look, the parts of a run in normal
// and selection colours, visible tabs, blanks and line ends, and the right edge. One
// painter lives for one PaintTextLines call.
#pragma once

#include "platform/graphics/Gdi.h"
#include "platform/graphics/Graphics.h"
#include "platform/runtime/Types.h"

#include <cstddef>
#include <string>
#include <string_view>

class TCustomQvEdit;
class TQvTextDrawer;

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
    const std::string& ExpandedLine(Integer Line);
    void PaintHighlightedLine(Integer Line, const std::string& Text);
    void PaintPlainLine(Integer Line);

    // Adds the token at column Pos (0-based) to the run, or paints the run and starts a
    // new one with it; only the token's characters From..To - 1 are kept for drawing.
    void AddToken(std::string_view Token, Integer Pos, Integer From, Integer To, TColor Foreground,
                  TColor Background, TFontStyles Style);
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

    // The text of the line being painted, as the highlighter reads it.
    std::string lineText_;
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
