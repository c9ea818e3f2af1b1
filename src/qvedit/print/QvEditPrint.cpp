// The print engine's properties, the print job and the streamed settings.
#include "qvedit/print/QvEditPrint.h"

#include "platform/graphics/Gdi.h"
#include "platform/graphics/Printers.h"
#include "qvedit/core/QvEditMiscProcs.h"
#include "qvedit/core/QvTextDrawer.h"

#include <algorithm>

TQvEditPrint::TQvEditPrint(TComponent* AOwner)
    : TComponent(AOwner),
      font_(std::make_unique<TFont>()),
      header_(std::make_unique<THeader>()),
      footer_(std::make_unique<TFooter>()),
      margins_(std::make_unique<TQvEditPrintMargins>())
{
}

TQvEditPrint::~TQvEditPrint() = default;

void TQvEditPrint::SetLines(TStrings* Value)
{
    const TConvertTabsProc convertTabs = GetBestConvertTabsProc(tabWidth_);
    std::vector<std::string> lines;
    const int count = Value != nullptr ? Value->Count() : 0;
    lines.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::string line = convertTabs(Value->Strings(i), tabWidth_);
        std::replace(line.begin(), line.end(), '\t', ' ');
        lines.push_back(std::move(line));
    }
    lines_ = std::move(lines);
    ranges_.clear();
    rangesOk_ = false;
    ForgetPages();
}

void TQvEditPrint::SetFont(TFont* Value)
{
    font_->Assign(Value);
    ForgetPages();
}

void TQvEditPrint::SetHighlighter(TQvCustomHighlighter* Value)
{
    if (highlighter_ != nullptr)
        highlighter_->RemoveFreeNotification(this);
    highlighter_ = Value;
    if (highlighter_ != nullptr)
        highlighter_->FreeNotification(this);
    rangesOk_ = false;
    ForgetPages();
}

void TQvEditPrint::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == highlighter_) {
        highlighter_ = nullptr;
        rangesOk_ = false;
        ForgetPages();
    }
}

void TQvEditPrint::SetMargins(TQvEditPrintMargins* Value)
{
    margins_->Assign(Value);
    ForgetPages();
}

void TQvEditPrint::SetWrap(bool Value)
{
    wrap_ = Value;
    ForgetPages();
}

void TQvEditPrint::SetLineNumbers(bool Value)
{
    lineNumbers_ = Value;
    ForgetPages();
}

void TQvEditPrint::SetLineNumbersInMargin(bool Value)
{
    lineNumbersInMargin_ = Value;
    ForgetPages();
}

void TQvEditPrint::SetLineOffset(Integer Value)
{
    lineOffset_ = Value;
    ForgetPages();
}

void TQvEditPrint::PrintRange(Integer FirstPage, Integer LastPage)
{
    if (selectedOnly_ && !selAvail_)
        return;
    TPrinter* printer = Printer();
    printing_ = true;
    abort_ = false;
    // The copies are made here, so the printer is asked for one of each page.
    const Integer printerCopies = printer->GetCopies();
    try {
        printer->SetCopies(1);
        printer->SetTitle(docTitle_.empty() ? title_ : docTitle_);
        printer->BeginDoc();
        PrintStatus(psBegin, FirstPage, abort_);
        UpdatePages(printer->GetCanvas());
        const Integer first = std::max<Integer>(FirstPage, 1);
        const Integer last = LastPage < 0 ? pageCount_ : std::min(LastPage, pageCount_);
        for (Integer copy = 1; copy <= copies_ && !abort_; ++copy) {
            for (Integer page = first; page <= last && !abort_; ++page) {
                PrintPage(page);
                if (!abort_ && (page < last || copy < copies_))
                    printer->NewPage();
            }
        }
        if (!abort_)
            PrintStatus(psEnd, last, abort_);
        printer->EndDoc();
    } catch (...) {
        printer->Abort();
        printer->SetCopies(printerCopies);
        printing_ = false;
        throw;
    }
    printer->SetCopies(printerCopies);
    printing_ = false;
}

void TQvEditPrint::PrintToCanvas(TCanvas* ACanvas, Integer PageNumber)
{
    abort_ = false;
    printing_ = false;
    if (!pagesCounted_ || canvas_ != ACanvas)
        UpdatePages(ACanvas);
    PrintPage(PageNumber);
}

void TQvEditPrint::UpdatePages(TCanvas* ACanvas)
{
    canvas_ = ACanvas;
    printerInfo_.UpdatePrinter();
    InitPrint();
}

Integer TQvEditPrint::GetPageCount()
{
    if (!pagesCounted_) {
        HDC screen = GetDC(nullptr);
        TCanvas canvas;
        canvas.SetHandle(screen);
        try {
            UpdatePages(&canvas);
        } catch (...) {
            canvas.SetHandle(nullptr);
            ReleaseDC(nullptr, screen);
            canvas_ = nullptr;
            throw;
        }
        canvas.SetHandle(nullptr);
        ReleaseDC(nullptr, screen);
        canvas_ = nullptr;
    }
    return pageCount_;
}

void TQvEditPrint::PrintStatus(TQvPrintStatus Status, Integer PageNumber, bool& Abort)
{
    Abort = false;
    if (OnPrintStatus)
        OnPrintStatus(this, Status, PageNumber, Abort);
    if (Abort && printing_)
        Printer()->Abort();
}

void TQvEditPrint::PrintLine(Integer LineNumber, Integer PageNumber)
{
    if (OnPrintLine)
        OnPrintLine(this, LineNumber, PageNumber);
}

void TQvEditPrint::SaveToStream(TStream* AStream) const
{
    TStream& stream = *AStream;
    WriteSizedString(stream, title_);
    WriteSizedString(stream, docTitle_);
    for (bool flag : {wrap_, highlight_, colors_, lineNumbers_})
        WriteByte(stream, flag ? 1 : 0);
    WriteLE32(stream, static_cast<DWORD>(lineOffset_));
    WriteLE32(stream, static_cast<DWORD>(pageOffset_));
}

void TQvEditPrint::LoadFromStream(TStream* AStream)
{
    TStream& stream = *AStream;
    std::string title = ReadSizedString(stream);
    std::string docTitle = ReadSizedString(stream);
    const bool wrap = ReadByte(stream) != 0;
    const bool highlight = ReadByte(stream) != 0;
    const bool colors = ReadByte(stream) != 0;
    const bool lineNumbers = ReadByte(stream) != 0;
    const auto lineOffset = static_cast<Integer>(ReadLE32(stream));
    const auto pageOffset = static_cast<Integer>(ReadLE32(stream));
    title_ = std::move(title);
    docTitle_ = std::move(docTitle);
    SetWrap(wrap);
    highlight_ = highlight;
    colors_ = colors;
    SetLineNumbers(lineNumbers);
    SetLineOffset(lineOffset);
    pageOffset_ = pageOffset;
}
