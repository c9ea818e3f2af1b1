// Formatted text of completion items: an inline backslash mark-up that switches colour and
// font style, jumps to the next column, adds horizontal space or draws a small image. It is
// parsed into a list of chunks, which is painted or measured on a canvas. Also here: the
// plain text used for filtering, the conversion of the older control-character mark-up,
// the parameter-hint builder and the columns of a completion list.
//
// The mark-up: "\\" is a literal backslash; any other backslash starts a command written
// "\name{argument}", names compared case-insensitively:
//   \color{clRed}  \color{$0000FF}   font colour (a colour name or a number)
//   \style{+B}     \style{-I}  \style{~U}   add, remove or toggle B, I, U or S
//   \column{}      start the next column
//   \hspace{12}    add that many pixels
//   \image{3}      draw that image of the image list
// A malformed or unknown command is dropped without a message; the text after its "}"
// goes on as usual.
#pragma once

#include "platform/graphics/Colors.h"
#include "platform/graphics/Graphics.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/System.h"
#include "platform/runtime/Types.h"
#include "qvedit/core/QvEditTypes.h"

#include <memory>
#include <string>
#include <vector>

enum TFormatCommand { fcNoCommand, fcColor, fcStyle, fcColumn, fcHSpace, fcImage };
using TFormatCommands = TSet<TFormatCommand, 6>;

// What a style command does with its style: +1 adds it, -1 removes it, 0 toggles it.
struct TFormatStyle {
    char Style = 'B';  // B, I, U or S, upper case
    Integer Action = 0;
};

// One piece of a parsed item: text (Command fcNoCommand) or one command. Data holds the
// colour (fcColor), the pixels (fcHSpace) or the image index (fcImage); a style command
// owns its style record.
struct TFormatChunk {
    std::string Text;
    TFormatCommand Command = fcNoCommand;
    Integer Data = 0;
    std::unique_ptr<TFormatStyle> Style;
};

// An owning, ordered list of chunks.
class TFormatChunkList : public TObject {
public:
    TFormatChunkList() = default;
    ~TFormatChunkList() override { Clear(); }

    Integer Count() const { return static_cast<Integer>(chunks_.size()); }
    // A bad index raises EListError.
    TFormatChunk& Chunks(Integer index) const;
    void Add(std::unique_ptr<TFormatChunk> chunk);
    // Frees the chunks, the last first.
    void Clear();

private:
    std::vector<std::unique_ptr<TFormatChunk>> chunks_;
};

// ---- Columns ----------------------------------------------------------------------------

class TProposalColumn : public TCollectionItem {
public:
    explicit TProposalColumn(TCollection* collection);

    void Assign(TPersistent* source) override;

    // The column is as wide as this word followed by one blank.
    const std::string& GetBiggestWord() const { return biggestWord_; }
    void SetBiggestWord(const std::string& value);
    // The font style that painting switches to where the column begins.
    TFontStyles GetDefaultFontStyle() const { return defaultFontStyle_; }
    void SetDefaultFontStyle(TFontStyles value);

    // The width measured the first time the column is laid out (-1 until then), so every
    // row of a list puts the column at the same x. Changing the word or the style forgets it.
    Integer GetCachedWidth() const { return cachedWidth_; }
    // The cached width, measured in the canvas's current font when there is none yet.
    Integer Width(TCanvas& canvas);

private:
    std::string biggestWord_ = "CONSTRUCTOR";
    TFontStyles defaultFontStyle_;
    Integer cachedWidth_ = -1;
};

class TProposalColumns : public TCollection {
public:
    explicit TProposalColumns(TPersistent* owner = nullptr);

    TProposalColumn* Add();
    TProposalColumn* Insert(Integer index);
    TProposalColumn* FindItemID(Integer id) const;
    // A bad index raises EListError.
    TProposalColumn* Items(Integer index) const;
};

// ---- Parsing, painting, conversion -------------------------------------------------------

// Appends the chunks of text to chunks, leaving out the commands in drop.
void ParseFormattedString(const std::string& text, TFormatChunkList& chunks,
                          TFormatCommands drop);

// The text with every command removed ("\\" becomes one backslash).
std::string StripFormatCommands(const std::string& text);

// Paints the chunks from the rectangle's top-left (or only measures them) and returns the x
// reached. Text is drawn transparently; the canvas font is restored afterwards. Columns and
// images may be null.
Integer PaintFormatChunks(TCanvas& canvas, const TRect& rect, const TFormatChunkList& chunks,
                          bool measureOnly, TImageList* images, TProposalColumns* columns);

// Parses and paints text. A selected row keeps the selection's text colour: its colour
// commands are left out.
void FormattedTextOut(TCanvas& canvas, const TRect& rect, const std::string& text, bool selected,
                      TProposalColumns* columns, TImageList* images);

// The width the text takes when painted from x 0 (colour commands play no part in it).
Integer FormattedTextWidth(TCanvas& canvas, const std::string& text, TProposalColumns* columns,
                           TImageList* images);

// Converts the older control-character mark-up: byte 1 or 2 and three colour bytes (red,
// green, blue), byte 3 and a style letter (B b I i U u), a tab for the next column, which
// also toggles bold when alternateBold is set.
std::string PrettyTextToFormattedString(const std::string& text, bool alternateBold);

// The parameters of a comma text joined by blanks, the one at currentIndex in bold (none
// when the index is out of range).
std::string FormatParameterHint(const std::string& parameters, Integer currentIndex);
