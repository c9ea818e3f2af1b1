// The text area of the paint pass: each line's tokens merged into runs of equal look,
// the selection in its three modes, special and caret-line colours, visible tabs, blanks
// and line ends, and the right edge. Only the columns and lines inside the clip
// rectangle are read and drawn.
#include "qvedit/editor/QvEdit.h"

#include "qvedit/editor/QvEditPainter.h"
#include "platform/runtime/CodePages.h"

#include <algorithm>
#include <limits>

namespace {

constexpr char TabGlyph = '\xBB';      // »
constexpr char BlankGlyph = '\xB7';    // ·
constexpr char LineEndGlyph = '\xB6';  // ¶

// Lines at least this long keep their tokens between paints, for the columns painted and
// LongLineMargin columns (or four windows) on either side.
constexpr std::size_t LongLine = 16 * 1024;
constexpr Integer LongLineMargin = 4096;
constexpr std::size_t MaxLongLinesKept = 64;
constexpr Integer MaxTabWidth = 256;

bool SpacesOnly(std::string_view Token)
{
    return Token.find_first_not_of(' ') == std::string_view::npos;
}

// The display columns First..Last of a line as its expanded text holds them (each column
// of a tab holds a TAB, or a blank for tab widths below 2), read from the line only as
// far as Last. ReachesEnd tells whether the line ends before column Last + 1.
std::string ExpandedColumns(std::string_view Line, Integer TabWidth, Integer First, Integer Last,
                            bool& ReachesEnd)
{
    std::string result;
    Int64 column = 0;  // columns before the current character
    std::size_t i = 0;
    for (; i < Line.size() && column < Last; ++i) {
        Int64 width = 1;
        char shown = Line[i];
        if (Line[i] == '\t') {
            if (TabWidth < 2)
                shown = ' ';
            else
                width = TabWidth - column % TabWidth;
        }
        for (Int64 k = 0; k < width && column < Last; ++k) {
            ++column;
            if (column >= First)
                result += shown;
        }
    }
    ReachesEnd = i >= Line.size() && column < Last;
    return result;
}

}  // namespace

void TCustomQvEdit::PaintTextLines(TRect AClip, Integer FirstLine, Integer LastLine,
                                   Integer FirstCol, Integer LastCol)
{
    TQvEditTextPainter painter(*this, AClip, FirstLine, LastLine, FirstCol, LastCol);
    painter.Paint();
}

TQvEditTextPainter::TQvEditTextPainter(TCustomQvEdit& AEditor, const TRect& AClip,
                                       Integer FirstLine, Integer LastLine, Integer FirstCol,
                                       Integer LastCol)
    : ed_(AEditor),
      canvas_(AEditor.Canvas()),
      drawer_(AEditor.textDrawer_.get()),
      clip_(AClip),
      firstLine_(FirstLine),
      lastLine_(LastLine),
      firstCol_(FirstCol),
      lastCol_(LastCol),
      charWidth_(AEditor.charWidth_),
      lineHeight_(AEditor.lineHeight_),
      specialChars_(AEditor.showSpecialChars_)
{
    run_.reserve(static_cast<std::size_t>(std::max(128, AEditor.charsInWindow_)));
}

// ---- Helpers ---------------------------------------------------------------------------------

Integer TQvEditTextPainter::ColumnToX(Int64 Column) const
{
    const Int64 x = (Column - ed_.leftChar_) * charWidth_ + ed_.gutterWidth_ + 2;
    return static_cast<Integer>(std::clamp<Int64>(x, std::numeric_limits<Integer>::min() / 2,
                                                  std::numeric_limits<Integer>::max() / 2));
}

TColor TQvEditTextPainter::EditorAreaBackground(bool CaretLine) const
{
    if (CaretLine && ed_.options_.Contains(eoHighlightCurrentLine))
        return ed_.activeLineColor_;
    if (ed_.highlighter_ != nullptr) {
        TQvHighlighterAttributes* white = ed_.highlighter_->GetDefaultAttribute(QV_ATTRIB_WHITESPACE);
        if (white != nullptr && white->GetBackground() != clNone)
            return white->GetBackground();
    }
    return ed_.Color();
}

void TQvEditTextPainter::FillRect(const TRect& ARect, TColor AColor)
{
    canvas_->GetBrush()->SetColor(AColor);
    canvas_->FillRect(ARect);
}

void TQvEditTextPainter::DrawRightEdge(Integer Top, Integer Bottom)
{
    if (!drawRightEdge_)
        return;
    TPen* pen = canvas_->GetPen();
    pen->SetColor(ed_.rightEdgeColor_);
    pen->SetWidth(1);
    canvas_->MoveTo(rightEdgeX_, Top);
    canvas_->LineTo(rightEdgeX_, Bottom + 1);
}

char TQvEditTextPainter::ShownChar(char C) const
{
    if (C == '\t')
        return ' ';  // a tab's glyph, when shown, is drawn on its own
    return C == ' ' && specialChars_ ? BlankGlyph : C;
}

void TQvEditTextPainter::UseColors(bool Selected, TColor Foreground, TColor Background)
{
    drawer_->SetForeColor(Selected ? selFG_ : Foreground);
    drawer_->SetBackColor(Selected ? selBG_ : Background);
}

// ---- The pass --------------------------------------------------------------------------------

void TQvEditTextPainter::Paint()
{
    if (ed_.rightEdge_ > 0) {
        const Integer x = ColumnToX(Int64{ed_.rightEdge_} + 1);
        drawRightEdge_ = x >= clip_.Left && x < clip_.Right;
        rightEdgeX_ = x;
    }
    dc_ = canvas_->GetHandle();
    const Integer textLeft = ed_.gutterWidth_ + 2;
    if (clip_.Left < textLeft) {
        FillRect(Rect(std::max(clip_.Left, ed_.gutterWidth_), clip_.Top, textLeft, clip_.Bottom),
                 EditorAreaBackground(false));
        clip_.Left = textLeft;
    }
    if (lastLine_ >= firstLine_) {
        ComputeSelectionSpan();
        drawer_->SetStyle(ed_.Font()->GetStyle());
        drawer_->BeginDrawing(dc_);
        lineRect_ = Rect(clip_.Left, (firstLine_ - ed_.topLine_ - 1) * lineHeight_, clip_.Right,
                         (firstLine_ - ed_.topLine_) * lineHeight_);
        try {
            for (Integer line = firstLine_; line <= lastLine_; ++line)
                PaintLine(line);
        } catch (...) {
            drawer_->EndDrawing();
            throw;
        }
        drawer_->EndDrawing();
    }
    const Integer below = (std::max(lastLine_, firstLine_ - 1) - ed_.topLine_ + 1) * lineHeight_;
    if (below < clip_.Bottom) {
        FillRect(Rect(clip_.Left, std::max(below, clip_.Top), clip_.Right, clip_.Bottom),
                 EditorAreaBackground(false));
        DrawRightEdge(std::max(below, clip_.Top), clip_.Bottom);
    }
}

void TQvEditTextPainter::ComputeSelectionSpan()
{
    anySelection_ = !(ed_.hideSelection_ && !ed_.Focused()) && ed_.blockBegin_ != ed_.blockEnd_;
    if (!anySelection_)
        return;
    TPoint first = ed_.GetBlockBegin();
    TPoint last = ed_.GetBlockEnd();
    anySelection_ = last.Y >= firstLine_ && first.Y <= lastLine_;
    if (!anySelection_)
        return;
    if (ed_.selectionMode_ == smColumn && first.X > last.X)
        std::swap(first.X, last.X);
    first = ed_.LogicalToPhysicalPos(first);
    last = ed_.LogicalToPhysicalPos(last);
    selFirstLine_ = first.Y;
    selFirstCol_ = first.X;
    selLastLine_ = last.Y;
    selLastCol_ = last.X;
}

void TQvEditTextPainter::ComputeLineSelection(Integer Line)
{
    lineSelStart_ = 0;
    lineSelEnd_ = 0;
    partlySelected_ = false;
    if (!anySelection_ || Line < selFirstLine_ || Line > selLastLine_)
        return;
    lineSelStart_ = firstCol_;
    lineSelEnd_ = lastCol_ + 1;
    const TQvSelectionMode mode = ed_.selectionMode_;
    if (mode == smLine)
        return;
    if (mode == smColumn || Line == selFirstLine_) {
        if (selFirstCol_ > lastCol_) {
            lineSelStart_ = lineSelEnd_ = 0;
        } else if (selFirstCol_ > firstCol_) {
            lineSelStart_ = selFirstCol_;
            partlySelected_ = true;
        }
    }
    if (mode == smColumn || Line == selLastLine_) {
        if (selLastCol_ < firstCol_) {
            lineSelStart_ = lineSelEnd_ = 0;
        } else if (selLastCol_ < lastCol_) {
            lineSelEnd_ = selLastCol_;
            partlySelected_ = true;
        }
    }
    // Where the code page has double-byte characters, a block's edge on the second byte
    // of one moves right; only the columns up to the block's end tell where they fall.
    if (mode == smColumn && LeadBytes().any()) {
        bool reachesEnd = false;
        const std::string text =
            ExpandedColumns(ed_.lines_->GetView(Line - 1), ed_.tabWidth_, 1, lineSelEnd_, reachesEnd);
        ed_.paintWork_.BytesCopied += text.size();
        ed_.MBCSGetSelRangeInLineWhenColumnSelectionMode(text, lineSelStart_, lineSelEnd_);
    }
    // Nothing of the line lies in the selection (a column block whose columns fall apart
    // over tabs, or one outside the painted columns): it is painted as unselected.
    if (lineSelStart_ >= lineSelEnd_) {
        lineSelStart_ = lineSelEnd_ = 0;
        partlySelected_ = false;
    }
}

void TQvEditTextPainter::PaintLine(Integer Line)
{
    ++ed_.paintWork_.LinesPainted;
    ComputeLineSelection(Line);
    OffsetRect(lineRect_, 0, lineHeight_);
    caretLine_ = Line == ed_.caretY_;
    colFG_ = ed_.Font()->GetColor();
    lineBackground_ = EditorAreaBackground(caretLine_);
    colBG_ = lineBackground_;
    specialLine_ = ed_.DoOnSpecialLineColors(Line, colFG_, colBG_);
    if (specialLine_) {
        selFG_ = colBG_;
        selBG_ = colFG_;
    } else {
        selFG_ = ed_.selectedColor_->GetForeground();
        selBG_ = ed_.selectedColor_->GetBackground();
    }
    fullySelected_ = !partlySelected_ && lineSelStart_ > 0;
    overhangDone_ = false;
    partRect_ = lineRect_;

    if (ed_.highlighter_ != nullptr && ed_.highlighter_->GetEnabled())
        PaintHighlightedLine(Line);
    else
        PaintPlainLine(Line);

    DrawRightEdge(lineRect_.Top, lineRect_.Bottom);
    caretLine_ = false;
}

bool TQvEditLineTokens::Covers(Integer FirstCol, Integer LastCol) const
{
    // The text reaches left of the column before the first as far as the widest tab, whose
    // glyph is placed by where the tab begins.
    return From <= std::max(FirstCol - 2 - MaxTabWidth, 0) && LastCol <= To;
}

const TQvEditLineTokens& TQvEditTextPainter::LineTokens(Integer Line)
{
    const TQvEditStringList* lines = ed_.lines_;
    if (lines->GetView(Line - 1).size() < LongLine) {
        MakeLineTokens(shortLineTokens_, Line, 0, lastCol_);
        return shortLineTokens_;
    }
    if (!ed_.longLineTokens_)
        ed_.longLineTokens_ = std::make_shared<std::vector<TQvEditLineTokens>>();
    std::vector<TQvEditLineTokens>& kept = *ed_.longLineTokens_;
    const std::uint64_t now = ed_.paintWork_.LinesPainted;
    const Integer startRange = Line > 1 ? lines->GetRange(Line - 2) : 0;
    const TQvCustomHighlighter* hl = ed_.highlighter_;
    // Tokens made from another state of the buffer or another highlighter serve nobody.
    std::erase_if(kept, [&](const TQvEditLineTokens& t) {
        return t.Lines != lines || t.ChangeStamp != lines->ChangeStamp() || t.Highlighter != hl;
    });
    for (TQvEditLineTokens& tokens : kept) {
        if (tokens.Line == Line && tokens.StartRange == startRange && tokens.Covers(firstCol_, lastCol_)) {
            tokens.LastUse = now;
            return tokens;
        }
    }
    std::erase_if(kept, [&](const TQvEditLineTokens& t) { return t.Line == Line; });
    if (kept.size() >= MaxLongLinesKept)
        kept.erase(std::min_element(kept.begin(), kept.end(), [](const auto& a, const auto& b) {
            return a.LastUse < b.LastUse;
        }));
    TQvEditLineTokens& tokens = kept.emplace_back();
    tokens.Lines = lines;
    tokens.ChangeStamp = lines->ChangeStamp();
    tokens.Line = Line;
    tokens.Highlighter = hl;
    tokens.StartRange = startRange;
    tokens.LastUse = now;
    // Room on both sides, so that moving the caret or scrolling a little is served too.
    const Integer margin = std::max(LongLineMargin, 4 * (lastCol_ - firstCol_ + 1)) + MaxTabWidth;
    const Integer from = std::max(firstCol_ - 2 - margin, 0);
    const auto to = static_cast<Integer>(std::min<Int64>(Int64{lastCol_} + margin, std::numeric_limits<Integer>::max()));
    MakeLineTokens(tokens, Line, from, to);
    return tokens;
}

// The highlighter reads the whole line up to a terminating NUL: in place, or a copy
// expanded when it holds tabs, which lives only while the tokens are made.
void TQvEditTextPainter::MakeLineTokens(TQvEditLineTokens& Tokens, Integer Line, Integer From,
                                        Integer To)
{
    TQvCustomHighlighter* hl = ed_.highlighter_;
    const std::string_view view = ed_.lines_->GetView(Line - 1);
    const bool expanded = view.find('\t') != std::string_view::npos;
    std::string copy;
    const std::string_view text =
        expanded ? std::string_view(copy = ed_.lines_->GetExpandedString(Line - 1))
                 : ed_.lines_->GetTerminatedView(Line - 1, copy);
    ed_.paintWork_.BytesCopied += copy.size();
    if (Line == 1)
        hl->ResetRange();
    else
        hl->SetRange(ed_.lines_->GetRange(Line - 2));
    // A long line is scanned from its last checkpoint at or left of From.
    TQvLineCheckpoints* points = nullptr;
    Integer scanFrom = 0;
    if (view.size() >= TCustomQvEdit::CheckpointedLine && hl->CanResume()) {
        points = &ed_.lineCheckpoints_.For(ed_.lines_, Line - 1, expanded, hl, hl->GetRange());
        scanFrom = points->Begin(*hl, text, Line - 1, From, ed_.lines_->ChangeStamp());
    } else {
        hl->SetLine(text, Line - 1);
    }
    Tokens.From = From;
    Tokens.To = To;
    Tokens.Tokens.clear();
    Tokens.EolComment = nullptr;
    Tokens.EolWhitespace = nullptr;
    Int64 scanned = 0;
    while (!hl->GetEol()) {
        const Integer pos = hl->GetTokenPos();
        const std::string_view token = hl->GetTokenView();
        scanned = std::max<Int64>(scanned, Int64{pos} + static_cast<Int64>(token.size()));
        if (pos >= To)
            break;
        const bool blanks = SpacesOnly(token);
        // A paint may start afresh at a token that is not blank only: it never joins a
        // run begun left of it in another style (see AddToken), so nothing left of it
        // changes how it and the tokens after it are drawn.
        if (pos <= From && !blanks)
            Tokens.Tokens.clear();
        Tokens.Tokens.push_back({pos, static_cast<Integer>(token.size()), hl->GetTokenAttribute(), blanks});
        if (points != nullptr)
            points->Passed();
        hl->Next();
    }
    Tokens.Eol = hl->GetEol();
    if (Tokens.Eol) {
        Tokens.EolComment = hl->GetDefaultAttribute(QV_ATTRIB_COMMENT);
        Tokens.EolWhitespace = hl->GetDefaultAttribute(QV_ATTRIB_WHITESPACE);
    }
    ed_.paintWork_.BytesTokenised +=
        static_cast<std::uint64_t>(std::max<Int64>(std::min<Int64>(scanned, static_cast<Int64>(text.size())) - scanFrom, 0));
    const std::size_t from = std::min(static_cast<std::size_t>(From), text.size());
    const std::size_t to = std::min(static_cast<std::size_t>(To), text.size());
    Tokens.Text.assign(text, from, to - from);
    ed_.paintWork_.BytesCopied += Tokens.Text.size();
}

// The line's tokens from the last one at or left of the column before the first that a
// paint may start with (every token takes part in forming the runs, so that a run looks
// the same however far left the paint begins), up to the first beyond the last column.
// Only the columns firstCol - 1..lastCol of a token are kept: the one left of the first is
// not painted, but a glyph there may reach into the first.
void TQvEditTextPainter::PaintHighlightedLine(Integer Line)
{
    const TQvEditLineTokens& line = LineTokens(Line);
    const std::vector<TQvEditLineTokens::TToken>& tokens = line.Tokens;
    const Integer keepFrom = std::max(firstCol_ - 2, 0);
    auto it = std::upper_bound(tokens.begin(), tokens.end(), keepFrom,
                               [](Integer column, const auto& token) { return column < token.Pos; });
    if (it != tokens.begin())
        --it;
    while (it != tokens.begin() && it->Blanks)
        --it;
    lineColumns_ = line.Text;
    lineColumnsBefore_ = line.From;
    run_.clear();
    runOpen_ = false;
    Integer lineEnd = 0;
    TQvHighlighterAttributes* lastAttr = nullptr;
    bool eol = line.Eol;
    for (; it != tokens.end(); ++it) {
        const Integer pos = it->Pos;
        if (pos >= lastCol_) {
            eol = false;
            break;
        }
        const Integer length = it->Length;
        lineEnd = pos + length;
        lastAttr = it->Attribute;
        const Integer from = std::clamp(firstCol_ - 2 - pos, 0, length);
        const Integer to = std::clamp(lastCol_ - pos, from, length);
        std::string_view kept;
        if (from < to)
            kept = std::string_view(line.Text).substr(static_cast<std::size_t>(pos + from - line.From),
                                                      static_cast<std::size_t>(to - from));
        if (lastAttr != nullptr)
            AddToken(pos, length, it->Blanks, kept, from, lastAttr->GetForeground(),
                     lastAttr->GetBackground(), lastAttr->GetStyle());
        else
            AddToken(pos, length, it->Blanks, kept, from, colFG_, colBG_, ed_.Font()->GetStyle());
    }
    const bool continued = ed_.wordWrap_ && Line < ed_.lines_->GetCount() && ed_.lines_->IsLineWraped(Line);
    if (specialChars_ && eol && !continued) {
        TQvHighlighterAttributes* attr = line.EolComment;
        if (lastAttr == nullptr || lastAttr != attr)
            attr = line.EolWhitespace;
        const TColor fg = attr != nullptr ? attr->GetForeground() : colFG_;
        const TColor bg = attr != nullptr ? attr->GetBackground() : colBG_;
        AddToken(lineEnd, 1, false, std::string_view(&LineEndGlyph, 1), 0, fg, bg, TFontStyles());
    }
    PaintRun(true);
}

void TQvEditTextPainter::PaintPlainLine(Integer Line)
{
    // From as far left as a tab that fills the first column may begin, so that its glyph
    // is placed in the middle of the whole tab, and at least one column left of the
    // first, whose glyph may reach into it.
    const Int64 reach = std::max(ed_.tabWidth_ - 1, 1);
    const auto from = static_cast<Integer>(std::max<Int64>(Int64{firstCol_} - reach, 1));
    bool reachesEnd = false;
    std::string text = ExpandedColumns(ed_.lines_->GetView(Line - 1), ed_.tabWidth_, from, lastCol_,
                                       reachesEnd);
    const bool continued = ed_.wordWrap_ && Line < ed_.lines_->GetCount() && ed_.lines_->IsLineWraped(Line);
    if (specialChars_ && reachesEnd && !continued)
        text += LineEndGlyph;
    lineColumns_ = text;
    lineColumnsBefore_ = from - 1;
    const Integer before = from - 1;
    if (!partlySelected_) {
        UseColors(fullySelected_, colFG_, colBG_);
        partRect_ = lineRect_;
        PaintPart(text, before, firstCol_, lastCol_);
        return;
    }
    auto paintCut = [&](bool selected, Integer first, Integer last, Integer endColumn) {
        UseColors(selected, colFG_, colBG_);
        partRect_ = Rect(std::max(ColumnToX(first), lineRect_.Left), lineRect_.Top,
                         std::min(ColumnToX(endColumn), lineRect_.Right), lineRect_.Bottom);
        PaintPart(text, before, first, last);
    };
    paintCut(false, firstCol_, lineSelStart_ - 1, lineSelStart_);
    paintCut(false, lineSelEnd_, lastCol_, lastCol_);
    paintCut(true, lineSelStart_, lineSelEnd_ - 1, lineSelEnd_);
}

// ---- Token runs ------------------------------------------------------------------------------

void TQvEditTextPainter::AddToken(Integer Pos, Integer Length, bool Blanks, std::string_view Kept,
                                  Integer KeptFrom, TColor Foreground, TColor Background,
                                  TFontStyles Style)
{
    if (Background == clNone || (caretLine_ && ed_.options_.Contains(eoHighlightCurrentLine)))
        Background = lineBackground_;
    if (Foreground == clNone)
        Foreground = ed_.Font()->GetColor();
    auto keep = [&] {
        if (!Kept.empty()) {
            if (run_.empty())
                runColumnsBefore_ = Pos + KeptFrom;
            run_.append(Kept);
            ed_.paintWork_.BytesCopied += Kept.size();
        }
        runEnd_ = Int64{Pos} + Length;
    };
    if (runOpen_) {
        const bool styleFits =
            Style == runStyle_ ||
            (!Style.Contains(fsUnderline) && !runStyle_.Contains(fsUnderline) && Blanks);
        const bool colorsIgnored =
            (specialLine_ && !ed_.options_.Contains(eoSpecialLineDefaultFg)) || fullySelected_;
        const bool colorsFit =
            colorsIgnored || (Background == runBG_ && (Foreground == runFG_ || Blanks));
        if (styleFits && colorsFit && runEnd_ == Pos) {
            keep();
            return;
        }
        PaintRun(false);
    }
    runOpen_ = true;
    run_.clear();
    runFG_ = Foreground;
    runBG_ = Background;
    runStyle_ = Style;
    keep();
}

void TQvEditTextPainter::PaintRun(bool FillToEol)
{
    const Integer length = static_cast<Integer>(run_.size());
    const Integer c1 = std::max(firstCol_, runColumnsBefore_ + 1);
    const Integer c2 = static_cast<Integer>(std::min<Int64>(lastCol_, Int64{runColumnsBefore_} + length + 1));
    if (!run_.empty() && c1 <= c2) {
        TColor fg = runFG_;
        TColor bg = runBG_;
        if (specialLine_) {
            bg = colBG_;
            if (!ed_.options_.Contains(eoSpecialLineDefaultFg))
                fg = colFG_;
        }
        drawer_->SetStyle(runStyle_);
        const bool before = partlySelected_ && lineSelStart_ > c1;
        const bool selected = partlySelected_ ? (lineSelEnd_ > c1 && lineSelStart_ <= c2) : fullySelected_;
        const bool after = partlySelected_ && lineSelEnd_ <= c2;
        auto paint = [&](bool inSelection, Integer first, Integer last) {
            UseColors(inSelection, fg, bg);
            partRect_.Left = std::max(ColumnToX(first), lineRect_.Left);
            partRect_.Right = std::min(ColumnToX(last), lineRect_.Right);
            PaintPart(run_, runColumnsBefore_, first, last);
        };
        if (!partlySelected_ || (before + selected + after) == 1) {
            paint(partlySelected_ ? selected : fullySelected_, c1, c2);
        } else {
            if (before)
                paint(false, c1, lineSelStart_);
            if (selected)
                paint(true, std::max(lineSelStart_, c1), std::min(lineSelEnd_, c2));
            if (after)
                paint(false, lineSelEnd_, c2);
        }
    }
    if (FillToEol)
        FillLineRest();
    run_.clear();
    runOpen_ = false;
}

// The rest of the line right of the last run, in the line's colours and, where selected,
// in the selection's.
void TQvEditTextPainter::FillLineRest()
{
    Integer x = partRect_.Left;
    if (x >= lineRect_.Right)
        return;
    // An italic or bold last character may reach into the next cell. The fill paints
    // that cell whole, and the character's overhang is drawn again over it.
    Integer overhang = 0;
    const char shown = ShownChar(run_.empty() ? ' ' : run_.back());
    if (!overhangDone_ && !run_.empty() && !runStyle_.Empty()) {
        ABC abc{};
        Integer width = charWidth_;
        const UINT last = static_cast<unsigned char>(shown);
        if (GetCharABCWidthsA(dc_, last, last, &abc) != FALSE)
            width = abc.abcA + static_cast<Integer>(abc.abcB) + std::max(abc.abcC, 0);
        overhang = std::max(width - charWidth_, 0);
    }
    overhangDone_ = true;
    const TColor textColor = drawer_->GetForeColor();
    const TRect overhangRect =
        Rect(x, lineRect_.Top, std::min(x + overhang, lineRect_.Right), lineRect_.Bottom);
    const TColor bg = specialLine_ ? colBG_ : lineBackground_;
    auto fillTo = [&](Integer right, bool selected) {
        right = std::min(right, lineRect_.Right);
        if (x >= right)
            return;
        UseColors(selected, colFG_, bg);
        drawer_->ExtTextOut(x, lineRect_.Top, ETO_OPAQUE, Rect(x, lineRect_.Top, right, lineRect_.Bottom),
                            "", 0);
        x = right;
    };
    if (!partlySelected_) {
        fillTo(lineRect_.Right, fullySelected_);
    } else {
        fillTo(ColumnToX(lineSelStart_), false);
        fillTo(ColumnToX(lineSelEnd_), true);
        fillTo(lineRect_.Right, false);
    }
    partRect_.Left = x;
    if (overhangRect.Left < overhangRect.Right) {
        // Only the glyph's ink, clipped to the overhang: the cell keeps the fill's colour.
        const Int64 lastColumn = Int64{runColumnsBefore_} + static_cast<Int64>(run_.size());
        drawer_->SetForeColor(textColor);
        const int mode = SetBkMode(dc_, TRANSPARENT);
        drawer_->ExtTextOut(ColumnToX(lastColumn), lineRect_.Top, ETO_CLIPPED, overhangRect,
                            &shown, 1);
        SetBkMode(dc_, mode);
    }
}

// ---- Parts -----------------------------------------------------------------------------------

void TQvEditTextPainter::PaintPart(std::string_view Text, Integer ColumnsBefore, Integer First,
                                   Integer Last)
{
    if (Last >= First && partRect_.Left < partRect_.Right) {
        const Integer x = ColumnToX(First);
        const Int64 index = Int64{First} - ColumnsBefore - 1;  // 0-based into Text
        const Int64 size = static_cast<Int64>(Text.size());
        std::string drawn;
        // A part that starts inside the text is drawn from the character before it, clipped
        // to the part: a slanted or wide glyph reaches into the part as it does when the
        // text is drawn in one piece, whichever way the line is cut into parts and clips.
        const Int64 lead = index > 0 && index <= size ? 1 : 0;
        const Int64 count =
            index >= 0 && index < size ? std::min<Int64>(Int64{Last} - First + 1, size - index) : 0;
        if (count + lead > 0) {
            drawn.assign(Text.substr(static_cast<std::size_t>(index - lead),
                                     static_cast<std::size_t>(count + lead)));
            ed_.paintWork_.BytesCopied += drawn.size();
        }
        bool tabs = false;
        for (char& c : drawn) {
            tabs = tabs || (c == '\t' && specialChars_);
            c = ShownChar(c);
        }
        drawer_->ExtTextOut(x - static_cast<Integer>(lead) * charWidth_, partRect_.Top,
                            ETO_OPAQUE | ETO_CLIPPED, partRect_, drawn.data(),
                            static_cast<Integer>(drawn.size()));
        if (tabs)
            PaintTabGlyphs(Text, ColumnsBefore, static_cast<std::size_t>(index),
                           static_cast<std::size_t>(count), partRect_.Top);
    }
    partRect_.Left = partRect_.Right;
}

// The first column (0-based) of the tab that fills the 0-based Column: tab columns to
// its left belong to it back to the tab stop before it.
Int64 TQvEditTextPainter::TabStart(Int64 Column) const
{
    const Integer tabWidth = std::max(ed_.tabWidth_, 1);
    const auto size = static_cast<Int64>(lineColumns_.size());
    Int64 start = Column;
    while (start % tabWidth != 0) {
        const Int64 left = start - 1 - lineColumnsBefore_;  // index of the column to the left
        if (left < 0 || left >= size || lineColumns_[static_cast<std::size_t>(left)] != '\t')
            break;
        --start;
    }
    return start;
}

// One » centred in each tab that fills any of the Count columns of Text from Index on
// (Text's first character is in column ColumnsBefore + 1), a tab begun left of them
// included; each is drawn only within the part's rectangle, so that every paint gives
// its pixels alike, however the window is cut into parts and clips.
void TQvEditTextPainter::PaintTabGlyphs(std::string_view Text, Integer ColumnsBefore,
                                        std::size_t Index, std::size_t Count, Integer Y)
{
    const Integer tabWidth = std::max(ed_.tabWidth_, 1);
    std::size_t i = Index;
    const std::size_t end = std::min(Index + Count, Text.size());
    while (i < end) {
        if (Text[i] != '\t') {
            ++i;
            continue;
        }
        const Int64 column0 = Int64{ColumnsBefore} + static_cast<Int64>(i);
        const Int64 start = TabStart(column0);
        const Int64 stop = start + tabWidth - start % tabWidth;
        const auto width = static_cast<Integer>(stop - start);
        const Integer x = ColumnToX(start + 1) + (width / 2 - 1) * charWidth_ +
                          (width % 2 == 0 ? charWidth_ / 2 : charWidth_);
        TRect cell;
        if (IntersectRect(cell, Rect(x, Y, x + charWidth_, Y + lineHeight_), partRect_))
            drawer_->ExtTextOut(x, Y, ETO_OPAQUE | ETO_CLIPPED, cell, &TabGlyph, 1);
        i += static_cast<std::size_t>(stop - column0);
    }
}
