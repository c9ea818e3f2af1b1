// The print engine: a copy of a text laid out in pages between the margins at a fixed
// character cell, long lines wrapped at break characters, coloured through a highlighter,
// with line numbers, a header and a footer, sent page by page to the printer (or to any
// canvas, for a preview).
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/graphics/Graphics.h"
#include "platform/runtime/Streams.h"
#include "qvedit/core/QvEditHighlighter.h"
#include "qvedit/print/QvEditPrintHeaderFooter.h"
#include "qvedit/print/QvEditPrintMargins.h"
#include "qvedit/print/QvEditPrintTypes.h"
#include "qvedit/print/QvEditPrinterInfo.h"

#include <memory>
#include <string>
#include <vector>

class TCustomQvEdit;
class TQvFontStock;

enum TQvPrintStatus { psBegin, psNewPage, psEnd };

// Setting Abort while printing cancels the job.
using TPrintStatusEvent =
    TEvent<void(TObject* Sender, TQvPrintStatus Status, Integer PageNumber, bool& Abort)>;
using TPrintLineEvent = TEvent<void(TObject* Sender, Integer LineNumber, Integer PageNumber)>;

// A page: the 0-based index of the first line printed on it.
struct TPageLine {
    Integer FirstLine = 0;
};

class TQvEditPrint : public TComponent {
public:
    explicit TQvEditPrint(TComponent* AOwner);
    ~TQvEditPrint() override;

    // The text: each line copied with its tabs expanded to TabWidth and every remaining
    // TAB made a blank.
    const std::vector<std::string>& GetLines() const { return lines_; }
    void SetLines(TStrings* Value);
    // The print font (a copy is kept).
    TFont* GetFont() const { return font_.get(); }
    void SetFont(TFont* Value);
    // Not owned; forgotten when it is freed.
    TQvCustomHighlighter* GetHighlighter() const { return highlighter_; }
    void SetHighlighter(TQvCustomHighlighter* Value);

    THeader* GetHeader() const { return header_.get(); }
    void SetHeader(THeader* Value) { header_->Assign(Value); }
    TFooter* GetFooter() const { return footer_.get(); }
    void SetFooter(TFooter* Value) { footer_->Assign(Value); }
    TQvEditPrintMargins* GetMargins() const { return margins_.get(); }
    void SetMargins(TQvEditPrintMargins* Value);

    Integer GetCopies() const { return copies_; }
    void SetCopies(Integer Value) { copies_ = Value < 1 ? 1 : Value; }  // below 1 counts as 1
    // Title for the $TITLE$ macro and the print job; DocTitle names the job when not empty.
    const std::string& GetTitle() const { return title_; }
    void SetTitle(const std::string& Value) { title_ = Value; }
    const std::string& GetDocTitle() const { return docTitle_; }
    void SetDocTitle(const std::string& Value) { docTitle_ = Value; }
    // Lines wider than the printable width go on as many rows as they need.
    bool GetWrap() const { return wrap_; }
    void SetWrap(bool Value);
    // Print through the highlighter; Colors adds the attributes' colours to their styles.
    bool GetHighlight() const { return highlight_; }
    void SetHighlight(bool Value) { highlight_ = Value; }
    bool GetColors() const { return colors_; }
    void SetColors(bool Value) { colors_ = Value; }
    bool GetLineNumbers() const { return lineNumbers_; }
    void SetLineNumbers(bool Value);
    // Line numbers take room from the margin instead of from the text.
    bool GetLineNumbersInMargin() const { return lineNumbersInMargin_; }
    void SetLineNumbersInMargin(bool Value);
    // Added to printed line numbers, and to page numbers in the header and footer.
    Integer GetLineOffset() const { return lineOffset_; }
    void SetLineOffset(Integer Value);
    Integer GetPageOffset() const { return pageOffset_; }
    void SetPageOffset(Integer Value) { pageOffset_ = Value; }
    // Attaches an editor: takes its highlighter, font, tab width and lines (as SetLines
    // does) and its selection. nullptr attaches no selection and changes nothing else.
    void SetQvEdit(TCustomQvEdit* Value);
    // Print only the selection of the attached editor: only its lines, and of each only
    // the selected part. With no selection attached Print and PrintRange print nothing.
    bool GetSelectedOnly() const { return selectedOnly_; }
    void SetSelectedOnly(bool Value);
    // Tab width used when the lines are set.
    Integer GetTabWidth() const { return tabWidth_; }
    void SetTabWidth(Integer Value) { tabWidth_ = Value; }
    // The page background.
    TColor GetColor() const { return color_; }
    void SetColor(TColor Value) { color_ = Value; }

    TPrintStatusEvent OnPrintStatus;
    TPrintLineEvent OnPrintLine;

    // Prints every page.
    void Print() { PrintRange(1, -1); }
    // Prints pages FirstPage..LastPage (LastPage below 0, or past the end: the last page)
    // Copies times on the printer. Printer errors are raised as EPrinter; the job is then
    // cancelled.
    void PrintRange(Integer FirstPage, Integer LastPage);
    // Prints one page on any canvas (a preview), laying the text out on it first when it
    // has not been laid out yet. Pages outside 1..PageCount print nothing.
    void PrintToCanvas(TCanvas* ACanvas, Integer PageNumber);
    // Lays the text out on the canvas for the current printer.
    void UpdatePages(TCanvas* ACanvas);
    // The number of pages, laid out on the screen when that has not been done yet.
    Integer GetPageCount();

    // Title, DocTitle, Wrap, Highlight, Colors, LineNumbers, LineOffset, PageOffset.
    // Loading reads everything before it changes anything; a short stream raises
    // EReadError.
    void SaveToStream(TStream* AStream) const;
    void LoadFromStream(TStream* AStream);

protected:
    virtual void PrintStatus(TQvPrintStatus Status, Integer PageNumber, bool& Abort);
    virtual void PrintLine(Integer LineNumber, Integer PageNumber);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Layout (QvEditPrintLayout.cpp).
    void InitPrint();
    void MeasureCell();
    void InitPage(Integer PageNumber);
    void InitRanges();
    void CalcPages();
    TWrapPositions WrapPositions(const std::string& Line) const;

    // What is printed (QvEditPrintSelection.cpp): the lines FirstPrintedLine up to
    // EndPrintedLine (exclusive), and of line i the columns PrintedSpan(i) (0-based,
    // clamped to the line).
    struct TColumnSpan {
        Integer Start = 0;
        Integer End = 0;
    };
    bool PrintsSelection() const { return selectedOnly_ && selAvail_; }
    Integer FirstPrintedLine() const;
    Integer EndPrintedLine() const;
    TColumnSpan PrintedSpan(Integer LineIndex) const;
    std::string PrintedPart(Integer LineIndex) const;
    void ForgetPages() { pagesCounted_ = false; }

    // Drawing (QvEditPrintDraw.cpp).
    void PrintPage(Integer PageNumber);
    void WriteLine(Integer LineIndex);
    void WriteLineNumber(Integer LineIndex);
    void TextOut(Integer LineIndex, const TWrapPositions& Positions);
    void TextOutPlain(const std::string& Text);
    void DrawCells(Integer X, const char* Text, Integer Count);
    void SetDrawStyle(TFontStyles Style, TColor Foreground, TColor Background);

    std::vector<std::string> lines_;
    std::vector<TQvHighlighterRange> ranges_;  // each line's highlighter state at its start
    std::unique_ptr<TFont> font_;
    TQvCustomHighlighter* highlighter_ = nullptr;
    std::unique_ptr<THeader> header_;
    std::unique_ptr<TFooter> footer_;
    std::unique_ptr<TQvEditPrintMargins> margins_;
    TQvEditPrinterInfo printerInfo_;

    Integer copies_ = 1;
    std::string title_;
    std::string docTitle_;
    bool wrap_ = true;
    bool highlight_ = true;
    bool colors_ = false;
    bool lineNumbers_ = false;
    bool lineNumbersInMargin_ = false;
    Integer lineOffset_ = 0;
    Integer pageOffset_ = 0;
    Integer tabWidth_ = 8;
    TColor color_ = clWhite;
    bool selectedOnly_ = false;

    // The attached editor's selection: whether there is one, its first line (0-based) and,
    // from that line on, the selected columns of each line with the tabs expanded.
    bool selAvail_ = false;
    Integer selFirstLine_ = 0;
    std::vector<TColumnSpan> selSpans_;

    // The layout and the job.
    TCanvas* canvas_ = nullptr;
    std::unique_ptr<TQvFontStock> fontStock_;  // the print font's style variants
    std::vector<TPageLine> pages_;
    Integer pageCount_ = 0;
    Integer charWidth_ = 0;
    Integer lineHeight_ = 0;
    Integer maxWidth_ = 0;
    Integer maxCol_ = 1;
    Integer yPos_ = 0;
    TColor fontColor_ = clBlack;
    TColor drawBackground_ = clWhite;  // the background of the text being drawn
    std::vector<int> cellDistances_;
    bool highlighting_ = false;
    bool rangesOk_ = false;
    bool pagesCounted_ = false;
    bool printing_ = false;
    bool abort_ = false;
};
