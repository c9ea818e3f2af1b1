// Headers and footers of printed pages: lines of text items, each with its font,
// alignment and line, whose texts may hold macros for the page number, page count, title,
// date and time; the block can be framed by a line, a box or a shaded box.
#pragma once

#include "platform/graphics/Graphics.h"
#include "platform/runtime/Persistent.h"
#include "platform/runtime/Streams.h"
#include "qvedit/print/QvEditPrintTypes.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class TQvEditPrintMargins;

enum TFrameType : Byte { ftLine = 0, ftBox = 1, ftShaded = 2 };

// A set of frame types; Value() is its bit value (1 line, 2 box, 4 shaded).
class TFrameTypes {
public:
    constexpr TFrameTypes() = default;
    constexpr TFrameTypes(std::initializer_list<TFrameType> types)
    {
        for (TFrameType t : types)
            bits_ = static_cast<Byte>(bits_ | (1u << t));
    }
    static constexpr TFrameTypes FromValue(unsigned value)
    {
        TFrameTypes result;
        result.bits_ = static_cast<Byte>(value & 0x07);
        return result;
    }
    constexpr Byte Value() const { return bits_; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool Contains(TFrameType t) const { return (bits_ & (1u << t)) != 0; }
    friend constexpr bool operator==(TFrameTypes, TFrameTypes) = default;

private:
    Byte bits_ = 0;
};

// One text of a header or footer.
class THeaderFooterItem : public TObject {
public:
    THeaderFooterItem();
    ~THeaderFooterItem() override;

    const std::string& Text() const { return text_; }
    void SetText(const std::string& text) { text_ = text; }
    TFont* Font() const { return font_.get(); }
    // The 1-based line of the block the item is printed on.
    Integer LineNumber() const { return lineNumber_; }
    void SetLineNumber(Integer line) { lineNumber_ = line; }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment) { alignment_ = alignment; }
    // The list position the item was added at; Delete looks items up by it.
    Integer Index() const { return index_; }
    void SetIndex(Integer index) { index_ = index; }

    // The text with its macros ($PAGENUM$, $PAGECOUNT$, $TITLE$, $DATE$, $TIME$,
    // $DATETIME$, $TIMEDATE$, in any case) replaced by their values; page numbers in
    // Roman numerals when Roman is set. A blank text gives "".
    std::string GetText(Integer NumPages, Integer PageNum, bool Roman, const std::string& Title,
                        const std::string& ATime, const std::string& ADate) const;

    // Eleven fields joined by "/": text, font character set, colour, height, name, pitch,
    // pixels per inch, size, style, line number and alignment; the text and the font name
    // escaped. Setting a malformed form raises EConvertError and changes nothing.
    std::string GetAsString() const;
    void SetAsString(const std::string& value);

private:
    std::string text_;
    std::unique_ptr<TFont> font_;
    Integer lineNumber_ = 1;
    TAlignment alignment_ = taLeftJustify;
    Integer index_ = 0;
};

enum THeaderFooterType : Byte { hftHeader = 0, hftFooter = 1 };

class THeaderFooter : public TPersistent {
public:
    explicit THeaderFooter(THeaderFooterType type);
    ~THeaderFooter() override;

    // Appends an item with a copy of Font (of DefaultFont when nullptr); returns its list
    // position, which becomes its Index.
    Integer Add(const std::string& Text, TFont* Font, TAlignment Alignment, Integer LineNumber);
    // Removes the item whose Index is Index (nothing when there is none).
    void Delete(Integer Index);
    void Clear();
    Integer Count() const { return static_cast<Integer>(items_.size()); }
    // The item at list position Index; EListError outside the list.
    THeaderFooterItem* Get(Integer Index) const;

    THeaderFooterType GetType() const { return type_; }
    TFont* GetDefaultFont() const { return defaultFont_.get(); }
    void SetDefaultFont(TFont* font) { defaultFont_->Assign(font); }
    // Every item font takes this resolution, keeping its point size.
    void SetPixPrInch(Integer pixelsPerInch);

    TFrameTypes GetFrameTypes() const { return frameTypes_; }
    void SetFrameTypes(TFrameTypes types) { frameTypes_ = types; }
    TColor GetShadedColor() const { return shadedColor_; }
    void SetShadedColor(TColor color) { shadedColor_ = color; }
    TColor GetLineColor() const { return lineColor_; }
    void SetLineColor(TColor color) { lineColor_ = color; }
    bool GetRomanNumbers() const { return romanNumbers_; }
    void SetRomanNumbers(bool roman) { romanNumbers_ = roman; }
    // Left and right alignment swap on even pages.
    bool GetMirrorPosition() const { return mirrorPosition_; }
    void SetMirrorPosition(bool mirror) { mirrorPosition_ = mirror; }

    void Assign(TPersistent* Source) override;

    // Prepares a print job: takes the date and time, the page count, the title and the
    // margins (which must outlive the job), orders the items by line and measures the
    // block on the canvas. The canvas's font, pen and brush are left as they were.
    void InitPrint(TCanvas* ACanvas, Integer NumPages, const std::string& Title,
                   TQvEditPrintMargins* Margins);
    // Draws the frame and the items for page PageNum (nothing without items). Raises
    // EInvalidOperation when no job was prepared.
    void Print(TCanvas* ACanvas, Integer PageNum);

    // The items' text forms, each escaped, joined by "/". Setting adds the items read
    // (after checking all of them: a malformed form raises EConvertError, adds nothing).
    std::string GetAsString() const;
    void SetAsString(const std::string& value);

    // Frame types, colours, flags, the default font and the items. Loading adds the items
    // read to those present; a short or malformed stream raises EReadError and changes
    // nothing.
    void SaveToStream(TStream* AStream) const;
    void LoadFromStream(TStream* AStream);

protected:
    // Renumbers the (ordered) items' lines 1, 2, ... and makes one line record per line.
    void FixLines();
    // The block's height: its lines' heights plus twice the internal margin; -1 without
    // items.
    void CalcHeight(TCanvas* ACanvas);
    void DrawFrame(TCanvas* ACanvas);

private:
    struct TLineInfo {
        Integer LineHeight = 0;
        Integer MaxBaseDist = 0;  // the tallest ascent on the line
    };
    TLineInfo LineInfoOf(Integer line) const;

    THeaderFooterType type_;
    TFrameTypes frameTypes_{ftLine};
    TColor shadedColor_ = clSilver;
    TColor lineColor_ = clBlack;
    std::vector<std::unique_ptr<THeaderFooterItem>> items_;
    std::unique_ptr<TFont> defaultFont_;
    bool romanNumbers_ = false;
    bool mirrorPosition_ = false;

    // The print job's state.
    std::string date_;
    std::string time_;
    Integer numPages_ = 0;
    std::string title_;
    TQvEditPrintMargins* margins_ = nullptr;
    Integer frameHeight_ = -1;
    std::vector<TLineInfo> lineInfos_;
};

class THeader : public THeaderFooter {
public:
    THeader() : THeaderFooter(hftHeader) {}
};

class TFooter : public THeaderFooter {
public:
    TFooter() : THeaderFooter(hftFooter) {}
};
