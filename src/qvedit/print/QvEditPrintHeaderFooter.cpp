// Headers and footers: items, macro expansion, measuring and drawing, and the text and
// stream forms.
#include "qvedit/print/QvEditPrintHeaderFooter.h"

#include "platform/runtime/SysUtils.h"
#include "qvedit/core/QvEditMiscProcs.h"
#include "qvedit/print/QvEditPrintMargins.h"

#include <algorithm>

namespace {

constexpr char FieldSeparator = '/';
// A streamed item with an empty text and an empty font name.
constexpr Int64 MinimumItemBytes = 28;

// Restores a canvas's font, pen and brush when it goes out of scope.
class TCanvasStateScope {
public:
    explicit TCanvasStateScope(TCanvas* canvas) : canvas_(canvas)
    {
        font_.Assign(canvas->GetFont());
        pen_.Assign(canvas->GetPen());
        brush_.Assign(canvas->GetBrush());
    }
    ~TCanvasStateScope()
    {
        canvas_->SetFont(&font_);
        canvas_->SetPen(&pen_);
        canvas_->SetBrush(&brush_);
    }
    TCanvasStateScope(const TCanvasStateScope&) = delete;
    TCanvasStateScope& operator=(const TCanvasStateScope&) = delete;

private:
    TCanvas* canvas_;
    TFont font_;
    TPen pen_;
    TBrush brush_;
};

// The pieces of text between separators; a separator at the very end adds no piece.
std::vector<std::string> SplitFields(const std::string& text)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find(FieldSeparator, start);
        if (end == std::string::npos) {
            fields.push_back(text.substr(start));
            break;
        }
        fields.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

TAlignment AlignmentFromNumber(Integer value)
{
    if (value < taLeftJustify || value > taCenter)
        throw EConvertError("Invalid alignment " + IntToStr(value));
    return static_cast<TAlignment>(value);
}

TFontPitch PitchFromNumber(Integer value)
{
    if (value < fpDefault || value > fpFixed)
        throw EConvertError("Invalid font pitch " + IntToStr(value));
    return static_cast<TFontPitch>(value);
}

void WriteFont(TStream& stream, const TFont& font)
{
    WriteByte(stream, font.GetCharset());
    WriteLE32(stream, static_cast<DWORD>(font.GetColor()));
    WriteLE32(stream, static_cast<DWORD>(font.GetHeight()));
    WriteSizedString(stream, font.GetName());
    WriteByte(stream, static_cast<Byte>(font.GetPitch()));
    WriteLE32(stream, static_cast<DWORD>(font.GetSize()));
    WriteByte(stream, font.GetStyle().Value());
}

// Sets the font's properties in the order they are stored; the size, set after the
// height, decides the final height.
void ReadFont(TStream& stream, TFont& font)
{
    font.SetCharset(ReadByte(stream));
    font.SetColor(static_cast<TColor>(ReadLE32(stream)));
    font.SetHeight(static_cast<Integer>(ReadLE32(stream)));
    font.SetName(ReadSizedString(stream));
    const Byte pitch = ReadByte(stream);
    if (pitch > fpFixed)
        throw EReadError("Invalid header or footer: font pitch " + IntToStr(pitch));
    font.SetPitch(static_cast<TFontPitch>(pitch));
    font.SetSize(static_cast<Integer>(ReadLE32(stream)));
    font.SetStyle(TFontStyles::FromValue(ReadByte(stream)));
}

}  // namespace

// ---- THeaderFooterItem ----------------------------------------------------------------

THeaderFooterItem::THeaderFooterItem() : font_(std::make_unique<TFont>()) {}

THeaderFooterItem::~THeaderFooterItem() = default;

std::string THeaderFooterItem::GetText(Integer NumPages, Integer PageNum, bool Roman,
                                       const std::string& Title, const std::string& ATime,
                                       const std::string& ADate) const
{
    if (Trim(text_).empty())
        return {};
    const auto number = [Roman](Integer value) {
        return Roman ? IntToRoman(value) : IntToStr(value);
    };
    std::string result;
    std::size_t pos = 0;
    while (pos < text_.size()) {
        const std::size_t open = text_.find('$', pos);
        const std::size_t close =
            open == std::string::npos ? std::string::npos : text_.find('$', open + 1);
        if (close == std::string::npos) {
            result += text_.substr(pos);
            break;
        }
        result += text_.substr(pos, open - pos);
        const std::string macro = UpperCase(text_.substr(open, close - open + 1));
        pos = close + 1;
        if (macro == "$PAGENUM$")
            result += number(PageNum);
        else if (macro == "$PAGECOUNT$")
            result += number(NumPages);
        else if (macro == "$TITLE$")
            result += Title;
        else if (macro == "$DATE$")
            result += ADate;
        else if (macro == "$TIME$")
            result += ATime;
        else if (macro == "$DATETIME$")
            result += ADate + " " + ATime;
        else if (macro == "$TIMEDATE$")
            result += ATime + " " + ADate;
        else {
            // Not a macro: its closing "$" may open the next one.
            result += text_.substr(open, close - open);
            pos = close;
        }
    }
    return result;
}

std::string THeaderFooterItem::GetAsString() const
{
    const std::string fields[] = {
        EncodeString(text_),
        IntToStr(font_->GetCharset()),
        IntToStr(font_->GetColor()),
        IntToStr(font_->GetHeight()),
        EncodeString(font_->GetName()),
        IntToStr(font_->GetPitch()),
        IntToStr(font_->GetPixelsPerInch()),
        IntToStr(font_->GetSize()),
        IntToStr(font_->GetStyle().Value()),
        IntToStr(lineNumber_),
        IntToStr(alignment_),
    };
    std::string result = fields[0];
    for (std::size_t i = 1; i < std::size(fields); ++i)
        result += FieldSeparator + fields[i];
    return result;
}

void THeaderFooterItem::SetAsString(const std::string& value)
{
    const std::vector<std::string> fields = SplitFields(value);
    if (fields.size() != 11)
        throw EConvertError("Invalid header or footer item \"" + value + "\"");
    TFont font;
    font.SetCharset(static_cast<Byte>(StrToInt(fields[1])));
    font.SetColor(StrToInt(fields[2]));
    font.SetHeight(StrToInt(fields[3]));
    font.SetName(DecodeString(fields[4]));
    font.SetPitch(PitchFromNumber(StrToInt(fields[5])));
    font.SetPixelsPerInch(StrToInt(fields[6]));
    font.SetSize(StrToInt(fields[7]));
    font.SetStyle(TFontStyles::FromValue(static_cast<unsigned>(StrToInt(fields[8]))));
    const Integer line = StrToInt(fields[9]);
    const TAlignment alignment = AlignmentFromNumber(StrToInt(fields[10]));
    text_ = DecodeString(fields[0]);
    font_->Assign(&font);
    lineNumber_ = line;
    alignment_ = alignment;
}

// ---- THeaderFooter --------------------------------------------------------------------

THeaderFooter::THeaderFooter(THeaderFooterType type)
    : type_(type), defaultFont_(std::make_unique<TFont>())
{
    defaultFont_->SetName("Arial");
    defaultFont_->SetSize(10);
    defaultFont_->SetColor(clBlack);
}

THeaderFooter::~THeaderFooter() = default;

Integer THeaderFooter::Add(const std::string& Text, TFont* Font, TAlignment Alignment,
                           Integer LineNumber)
{
    auto item = std::make_unique<THeaderFooterItem>();
    item->SetText(Text);
    item->Font()->Assign(Font != nullptr ? Font : defaultFont_.get());
    item->SetAlignment(Alignment);
    item->SetLineNumber(LineNumber);
    const Integer index = Count();
    item->SetIndex(index);
    items_.push_back(std::move(item));
    return index;
}

void THeaderFooter::Delete(Integer Index)
{
    const auto found = std::find_if(items_.begin(), items_.end(),
                                    [Index](const auto& item) { return item->Index() == Index; });
    if (found != items_.end())
        items_.erase(found);
}

void THeaderFooter::Clear()
{
    items_.clear();
}

THeaderFooterItem* THeaderFooter::Get(Integer Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return items_[static_cast<std::size_t>(Index)].get();
}

void THeaderFooter::SetPixPrInch(Integer pixelsPerInch)
{
    for (const auto& item : items_)
        item->Font()->SetPixelsPerInch(pixelsPerInch);
}

void THeaderFooter::Assign(TPersistent* Source)
{
    auto* other = dynamic_cast<THeaderFooter*>(Source);
    if (other == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (other == this)
        return;
    Clear();
    type_ = other->type_;
    frameTypes_ = other->frameTypes_;
    shadedColor_ = other->shadedColor_;
    lineColor_ = other->lineColor_;
    for (const auto& item : other->items_)
        Add(item->Text(), item->Font(), item->Alignment(), item->LineNumber());
    defaultFont_->Assign(other->defaultFont_.get());
    romanNumbers_ = other->romanNumbers_;
    mirrorPosition_ = other->mirrorPosition_;
}

void THeaderFooter::InitPrint(TCanvas* ACanvas, Integer NumPages, const std::string& Title,
                              TQvEditPrintMargins* Margins)
{
    if (Margins == nullptr)
        throw EInvalidOperation("A print job needs margins");
    TCanvasStateScope saved(ACanvas);
    const TDateTime now = Now();
    date_ = DateToStr(now);
    time_ = TimeToStr(now);
    numPages_ = NumPages;
    margins_ = Margins;
    title_ = Title;
    std::stable_sort(items_.begin(), items_.end(), [](const auto& a, const auto& b) {
        return a->LineNumber() < b->LineNumber();
    });
    FixLines();
    CalcHeight(ACanvas);
}

void THeaderFooter::FixLines()
{
    lineInfos_.clear();
    Integer previous = 0;
    for (const auto& item : items_) {
        if (lineInfos_.empty() || item->LineNumber() != previous) {
            previous = item->LineNumber();
            lineInfos_.emplace_back();
        }
        item->SetLineNumber(static_cast<Integer>(lineInfos_.size()));
    }
}

void THeaderFooter::CalcHeight(TCanvas* ACanvas)
{
    if (items_.empty()) {
        frameHeight_ = -1;
        return;
    }
    frameHeight_ = 0;
    Integer currentLine = 0;
    Integer lineTop = 0;
    for (const auto& item : items_) {
        if (item->LineNumber() != currentLine) {
            currentLine = item->LineNumber();
            lineTop = frameHeight_;
        }
        ACanvas->SetFont(item->Font());
        const Integer height = ACanvas->TextHeight("W");
        TEXTMETRICA metrics{};
        GetTextMetricsA(ACanvas->GetHandle(), &metrics);
        TLineInfo& info = lineInfos_[static_cast<std::size_t>(currentLine - 1)];
        info.LineHeight = std::max(info.LineHeight, height);
        info.MaxBaseDist = std::max(info.MaxBaseDist, metrics.tmHeight - metrics.tmDescent);
        frameHeight_ = std::max(frameHeight_, lineTop + height);
    }
    frameHeight_ += 2 * margins_->PHFInternalMargin();
}

THeaderFooter::TLineInfo THeaderFooter::LineInfoOf(Integer line) const
{
    // Items added after the job was prepared have no line record yet.
    if (line < 1 || line > static_cast<Integer>(lineInfos_.size()))
        return {};
    return lineInfos_[static_cast<std::size_t>(line - 1)];
}

void THeaderFooter::Print(TCanvas* ACanvas, Integer PageNum)
{
    if (items_.empty())
        return;
    if (margins_ == nullptr)
        throw EInvalidOperation("A header or footer is printed before its print job starts");
    TCanvasStateScope saved(ACanvas);
    DrawFrame(ACanvas);
    ACanvas->GetBrush()->SetStyle(bsClear);
    Integer y = (type_ == hftHeader ? margins_->PHeader() - frameHeight_ : margins_->PFooter()) +
                margins_->PHFInternalMargin();
    Integer currentLine = items_.front()->LineNumber();
    const bool mirrored = mirrorPosition_ && PageNum % 2 == 0;
    for (const auto& item : items_) {
        ACanvas->SetFont(item->Font());
        if (item->LineNumber() != currentLine) {
            y += LineInfoOf(currentLine).LineHeight;
            currentLine = item->LineNumber();
        }
        const std::string text =
            item->GetText(numPages_, PageNum, romanNumbers_, title_, time_, date_);
        TAlignment alignment = item->Alignment();
        if (mirrored && alignment != taCenter)
            alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
        const Integer width = ACanvas->TextWidth(text);
        Integer x = margins_->PLeftHFTextIndent();
        if (alignment == taRightJustify)
            x = margins_->PRightHFTextIndent() - width;
        else if (alignment == taCenter)
            x = (margins_->PLeftHFTextIndent() + margins_->PRightHFTextIndent() - width) / 2;
        const UINT oldAlign = SetTextAlign(ACanvas->GetHandle(), TA_BASELINE);
        ACanvas->TextOut(x, y + LineInfoOf(currentLine).MaxBaseDist, text);
        SetTextAlign(ACanvas->GetHandle(), oldAlign);
    }
}

void THeaderFooter::DrawFrame(TCanvas* ACanvas)
{
    if (frameTypes_.Empty())
        return;
    TPen* pen = ACanvas->GetPen();
    TBrush* brush = ACanvas->GetBrush();
    pen->SetColor(lineColor_);
    brush->SetColor(shadedColor_);
    brush->SetStyle(frameTypes_.Contains(ftShaded) ? bsSolid : bsClear);
    pen->SetStyle(frameTypes_.Contains(ftBox) ? psSolid : psClear);
    const bool header = type_ == hftHeader;
    const Integer edge = header ? margins_->PHeader() : margins_->PFooter();
    if (frameTypes_.Contains(ftBox) || frameTypes_.Contains(ftShaded)) {
        const Integer top = header ? edge - frameHeight_ : edge;
        const Integer bottom = header ? edge : edge + frameHeight_;
        ACanvas->Rectangle(margins_->PLeft(), top, margins_->PRight(), bottom);
    }
    if (frameTypes_.Contains(ftLine)) {
        pen->SetStyle(psSolid);
        ACanvas->MoveTo(margins_->PLeft(), edge);
        ACanvas->LineTo(margins_->PRight(), edge);
    }
}

std::string THeaderFooter::GetAsString() const
{
    std::string result;
    for (const auto& item : items_) {
        if (&item != &items_.front())
            result += FieldSeparator;
        result += EncodeString(item->GetAsString());
    }
    return result;
}

void THeaderFooter::SetAsString(const std::string& value)
{
    std::vector<std::unique_ptr<THeaderFooterItem>> read;
    for (const std::string& field : SplitFields(value)) {
        auto item = std::make_unique<THeaderFooterItem>();
        item->SetAsString(DecodeString(field));
        read.push_back(std::move(item));
    }
    for (const auto& item : read)
        Add(item->Text(), item->Font(), item->Alignment(), item->LineNumber());
}

void THeaderFooter::SaveToStream(TStream* AStream) const
{
    TStream& stream = *AStream;
    WriteByte(stream, frameTypes_.Value());
    WriteLE32(stream, static_cast<DWORD>(shadedColor_));
    WriteLE32(stream, static_cast<DWORD>(lineColor_));
    WriteByte(stream, romanNumbers_ ? 1 : 0);
    WriteByte(stream, mirrorPosition_ ? 1 : 0);
    WriteFont(stream, *defaultFont_);
    WriteLE32(stream, static_cast<DWORD>(items_.size()));
    for (const auto& item : items_) {
        WriteSizedString(stream, item->Text());
        WriteLE32(stream, static_cast<DWORD>(item->LineNumber()));
        WriteFont(stream, *item->Font());
        WriteByte(stream, item->Alignment());
    }
}

void THeaderFooter::LoadFromStream(TStream* AStream)
{
    TStream& stream = *AStream;
    const TFrameTypes frameTypes = TFrameTypes::FromValue(ReadByte(stream));
    const auto shadedColor = static_cast<TColor>(ReadLE32(stream));
    const auto lineColor = static_cast<TColor>(ReadLE32(stream));
    const bool roman = ReadByte(stream) != 0;
    const bool mirror = ReadByte(stream) != 0;
    TFont defaultFont;
    ReadFont(stream, defaultFont);
    const DWORD count = ReadLE32(stream);
    if (count > stream.Remaining() / MinimumItemBytes)
        throw EReadError("Invalid header or footer: " + IntToStr(count) + " items");
    std::vector<std::unique_ptr<THeaderFooterItem>> read;
    for (DWORD i = 0; i < count; ++i) {
        auto item = std::make_unique<THeaderFooterItem>();
        item->SetText(ReadSizedString(stream));
        item->SetLineNumber(static_cast<Integer>(ReadLE32(stream)));
        ReadFont(stream, *item->Font());
        const Byte alignment = ReadByte(stream);
        if (alignment > taCenter)
            throw EReadError("Invalid header or footer: alignment " + IntToStr(alignment));
        item->SetAlignment(static_cast<TAlignment>(alignment));
        read.push_back(std::move(item));
    }
    frameTypes_ = frameTypes;
    shadedColor_ = shadedColor;
    lineColor_ = lineColor;
    romanNumbers_ = roman;
    mirrorPosition_ = mirror;
    defaultFont_->Assign(&defaultFont);
    for (const auto& item : read)
        Add(item->Text(), item->Font(), item->Alignment(), item->LineNumber());
}
