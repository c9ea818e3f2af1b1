#include "qvedit/completion/QvCompletionFormat.h"

#include "platform/runtime/SysUtils.h"

#include <algorithm>
#include <climits>

// ---- TFormatChunkList ------------------------------------------------------------------

TFormatChunk& TFormatChunkList::Chunks(Integer index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return *chunks_[static_cast<std::size_t>(index)];
}

void TFormatChunkList::Add(std::unique_ptr<TFormatChunk> chunk)
{
    chunks_.push_back(std::move(chunk));
}

void TFormatChunkList::Clear()
{
    while (!chunks_.empty())
        chunks_.pop_back();
}

// ---- Columns ----------------------------------------------------------------------------

TProposalColumn::TProposalColumn(TCollection* collection) : TCollectionItem(collection) {}

void TProposalColumn::Assign(TPersistent* source)
{
    if (auto* column = dynamic_cast<TProposalColumn*>(source)) {
        biggestWord_ = column->biggestWord_;
        defaultFontStyle_ = column->defaultFontStyle_;
        cachedWidth_ = column->cachedWidth_;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(source);
}

void TProposalColumn::SetBiggestWord(const std::string& value)
{
    if (value == biggestWord_)
        return;
    biggestWord_ = value;
    cachedWidth_ = -1;
    Changed(false);
}

void TProposalColumn::SetDefaultFontStyle(TFontStyles value)
{
    if (value == defaultFontStyle_)
        return;
    defaultFontStyle_ = value;
    cachedWidth_ = -1;
    Changed(false);
}

Integer TProposalColumn::Width(TCanvas& canvas)
{
    if (cachedWidth_ < 0)
        cachedWidth_ = canvas.TextWidth(biggestWord_ + " ");
    return cachedWidth_;
}

TProposalColumns::TProposalColumns(TPersistent* owner)
    : TCollection(CollectionItemClass<TProposalColumn>, owner)
{
}

TProposalColumn* TProposalColumns::Add()
{
    return static_cast<TProposalColumn*>(TCollection::Add());
}

TProposalColumn* TProposalColumns::Insert(Integer index)
{
    return static_cast<TProposalColumn*>(TCollection::Insert(index));
}

TProposalColumn* TProposalColumns::FindItemID(Integer id) const
{
    return static_cast<TProposalColumn*>(TCollection::FindItemID(id));
}

TProposalColumn* TProposalColumns::Items(Integer index) const
{
    return static_cast<TProposalColumn*>(TCollection::Items(index));
}

// ---- Parsing ------------------------------------------------------------------------------

namespace {

std::unique_ptr<TFormatChunk> TextChunk(std::string text)
{
    auto chunk = std::make_unique<TFormatChunk>();
    chunk->Text = std::move(text);
    return chunk;
}

std::unique_ptr<TFormatChunk> CommandChunk(TFormatCommand command, Integer data = 0)
{
    auto chunk = std::make_unique<TFormatChunk>();
    chunk->Command = command;
    chunk->Data = data;
    return chunk;
}

// "+B", "-i", "~U" and so on; anything else gives null.
std::unique_ptr<TFormatStyle> ParseStyle(const std::string& argument)
{
    if (argument.size() != 2)
        return nullptr;
    auto style = std::make_unique<TFormatStyle>();
    switch (argument[0]) {
    case '+': style->Action = 1; break;
    case '-': style->Action = -1; break;
    case '~': style->Action = 0; break;
    default: return nullptr;
    }
    const char letter = UpperCase(argument.substr(1))[0];
    if (letter != 'B' && letter != 'I' && letter != 'U' && letter != 'S')
        return nullptr;
    style->Style = letter;
    return style;
}

// The chunk of one command, or null when the command is malformed or unknown. A colour or
// number that does not convert drops the command like any other malformed one, so a bad
// item can never make painting fail.
std::unique_ptr<TFormatChunk> ParseCommand(const std::string& name, const std::string& argument)
{
    const std::string upperName = UpperCase(name);
    Integer value = 0;
    if (upperName == "COLOR") {
        if (IdentToColor(argument, value) || TryStrToInt(argument, value))
            return CommandChunk(fcColor, value);
    } else if (upperName == "STYLE") {
        if (auto style = ParseStyle(argument)) {
            auto chunk = CommandChunk(fcStyle);
            chunk->Style = std::move(style);
            return chunk;
        }
    } else if (upperName == "COLUMN") {
        if (argument.empty())
            return CommandChunk(fcColumn);
    } else if (upperName == "HSPACE") {
        if (TryStrToInt(argument, value))
            return CommandChunk(fcHSpace, value);
    } else if (upperName == "IMAGE") {
        if (TryStrToInt(argument, value))
            return CommandChunk(fcImage, value);
    }
    return nullptr;
}

}  // namespace

void ParseFormattedString(const std::string& text, TFormatChunkList& chunks, TFormatCommands drop)
{
    std::string pending;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '\\') {
            pending += text[i++];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            pending += '\\';
            i += 2;
            continue;
        }
        if (!pending.empty()) {
            chunks.Add(TextChunk(std::move(pending)));
            pending.clear();
        }
        // A command cut off by the end of the text is dropped with whatever was read of it.
        const std::size_t open = text.find('{', i + 1);
        if (open == std::string::npos)
            return;
        const std::size_t close = text.find('}', open + 1);
        if (close == std::string::npos)
            return;
        auto chunk = ParseCommand(text.substr(i + 1, open - i - 1),
                                  text.substr(open + 1, close - open - 1));
        if (chunk && !drop.Contains(chunk->Command))
            chunks.Add(std::move(chunk));
        i = close + 1;
    }
    if (!pending.empty())
        chunks.Add(TextChunk(std::move(pending)));
}

std::string StripFormatCommands(const std::string& text)
{
    TFormatChunkList chunks;
    ParseFormattedString(text, chunks, {fcColor, fcStyle, fcColumn, fcHSpace, fcImage});
    std::string result;
    for (Integer i = 0; i < chunks.Count(); ++i)
        result += chunks.Chunks(i).Text;
    return result;
}

// ---- Painting ---------------------------------------------------------------------------

namespace {

// x positions add up pixel counts taken from item texts; they stop at the ends of the
// integer range instead of wrapping round.
Integer AddPixels(Integer x, Integer pixels)
{
    const Int64 sum = static_cast<Int64>(x) + pixels;
    return static_cast<Integer>(std::clamp<Int64>(sum, INT_MIN, INT_MAX));
}

TFontStyle StyleOfLetter(char letter)
{
    switch (letter) {
    case 'I': return fsItalic;
    case 'U': return fsUnderline;
    case 'S': return fsStrikeOut;
    default: return fsBold;
    }
}

void ApplyStyle(TFont& font, const TFormatStyle& style)
{
    const TFontStyle member = StyleOfLetter(style.Style);
    TFontStyles styles = font.GetStyle();
    if (style.Action > 0 || (style.Action == 0 && !styles.Contains(member)))
        styles.Include(member);
    else
        styles.Exclude(member);
    font.SetStyle(styles);
}

// Puts the canvas font back however painting ends.
class TSavedFont {
public:
    explicit TSavedFont(TCanvas& canvas) : canvas_(canvas) { saved_.Assign(canvas.GetFont()); }
    ~TSavedFont() { canvas_.GetFont()->Assign(&saved_); }
    TSavedFont(const TSavedFont&) = delete;
    TSavedFont& operator=(const TSavedFont&) = delete;

private:
    TCanvas& canvas_;
    TFont saved_;
};

// The column painting is in, and where it began.
class TColumnCursor {
public:
    TColumnCursor(TProposalColumns* columns, TCanvas& canvas, Integer left)
        : columns_(columns), canvas_(canvas), start_(left)
    {
        if (columns_ != nullptr && columns_->Count() > 0)
            Enter(0);
    }

    // Moves to the next column and returns its start; without a current column nothing
    // moves and x stays where it is.
    Integer Next(Integer x)
    {
        if (current_ == nullptr)
            return x;
        start_ = AddPixels(start_, current_->Width(canvas_));
        if (index_ + 1 < columns_->Count())
            Enter(index_ + 1);
        else
            current_ = nullptr;
        return start_;
    }

private:
    void Enter(Integer index)
    {
        index_ = index;
        current_ = columns_->Items(index);
        canvas_.GetFont()->SetStyle(current_->GetDefaultFontStyle());
    }

    TProposalColumns* columns_;
    TCanvas& canvas_;
    Integer start_;
    Integer index_ = -1;
    TProposalColumn* current_ = nullptr;
};

}  // namespace

Integer PaintFormatChunks(TCanvas& canvas, const TRect& rect, const TFormatChunkList& chunks,
                          bool measureOnly, TImageList* images, TProposalColumns* columns)
{
    TSavedFont savedFont(canvas);
    canvas.GetBrush()->SetStyle(bsClear);
    TColumnCursor column(columns, canvas, rect.Left);
    Integer x = rect.Left;
    for (Integer i = 0; i < chunks.Count(); ++i) {
        const TFormatChunk& chunk = chunks.Chunks(i);
        switch (chunk.Command) {
        case fcNoCommand:
            if (!measureOnly)
                canvas.TextOut(x, rect.Top, chunk.Text);
            x = AddPixels(x, canvas.TextWidth(chunk.Text));
            if (x > rect.Right)
                return x;
            break;
        case fcColor:
            if (!measureOnly)
                canvas.GetFont()->SetColor(chunk.Data);
            break;
        case fcStyle:
            if (chunk.Style)
                ApplyStyle(*canvas.GetFont(), *chunk.Style);
            break;
        case fcColumn:
            x = column.Next(x);
            break;
        case fcHSpace:
            x = AddPixels(x, chunk.Data);
            if (x > rect.Right)
                return x;
            break;
        case fcImage:
            // Without an image list there is nothing to draw and no width to take; an
            // index the list lacks keeps its room but draws nothing.
            if (images == nullptr)
                break;
            if (!measureOnly && chunk.Data >= 0 && chunk.Data < images->Count())
                images->Draw(&canvas, x, rect.Top, chunk.Data, true);
            x = AddPixels(x, images->GetWidth());
            if (x > rect.Right)
                return x;
            break;
        }
    }
    return x;
}

void FormattedTextOut(TCanvas& canvas, const TRect& rect, const std::string& text, bool selected,
                      TProposalColumns* columns, TImageList* images)
{
    TFormatChunkList chunks;
    ParseFormattedString(text, chunks, selected ? TFormatCommands{fcColor} : TFormatCommands{});
    PaintFormatChunks(canvas, rect, chunks, false, images, columns);
}

Integer FormattedTextWidth(TCanvas& canvas, const std::string& text, TProposalColumns* columns,
                           TImageList* images)
{
    TFormatChunkList chunks;
    ParseFormattedString(text, chunks, {fcColor});
    return PaintFormatChunks(canvas, Rect(0, 0, INT_MAX, INT_MAX), chunks, true, images, columns);
}

// ---- Older mark-up and parameter hints ------------------------------------------------------

std::string PrettyTextToFormattedString(const std::string& text, bool alternateBold)
{
    std::string result;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == 1 || byte == 2) {
            // An incomplete command at the end of the text is dropped.
            if (text.size() - i < 4)
                break;
            const TColor color = RGB(static_cast<Byte>(text[i + 1]), static_cast<Byte>(text[i + 2]),
                                     static_cast<Byte>(text[i + 3]));
            result += "\\color{" + ColorToString(color) + "}";
            i += 4;
        } else if (byte == 3) {
            if (text.size() - i < 2)
                break;
            const char letter = text[i + 1];
            if (letter == 'B' || letter == 'I' || letter == 'U')
                result += std::string("\\style{+") + letter + "}";
            else if (letter == 'b' || letter == 'i' || letter == 'u')
                result += std::string("\\style{-") + static_cast<char>(letter - 'a' + 'A') + "}";
            i += 2;
        } else if (byte == 9) {
            result += "\\column{}";
            if (alternateBold)
                result += "\\style{~B}";
            ++i;
        } else {
            result += text[i++];
        }
    }
    return result;
}

std::string FormatParameterHint(const std::string& parameters, Integer currentIndex)
{
    TStringList list;
    list.SetCommaText(parameters);
    std::string result;
    for (Integer i = 0; i < list.Count(); ++i) {
        if (i > 0)
            result += ' ';
        if (i == currentIndex)
            result += "\\style{~B}" + list.Strings(i) + "\\style{~B}";
        else
            result += list.Strings(i);
    }
    return result;
}
