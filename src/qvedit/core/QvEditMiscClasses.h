// Small shared objects of the editor core: the method chains that fan one notification
// out to many listeners; the option objects the editor publishes as grouped properties
// (selection colours, gutter, bookmark options); the shared glyph strips the bookmarks
// are drawn from; and the hot-key edit box.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Colors.h"
#include "platform/graphics/Graphics.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Persistent.h"
#include "platform/runtime/System.h"
#include "platform/window/Controls.h"
#include "platform/window/Keys.h"
#include "platform/window/WinApi.h"

QV_DECLARE_EXCEPTION(EQvMethodChain, Exception);

// Called when a chained handler raises: DoContinue arrives true; leaving it true goes on
// with the next handler, setting it false stops the firing and swallows the exception.
using TQvExceptionEvent = TEvent<void(TObject* Sender, Exception& E, bool& DoContinue)>;

// A list of handlers, called in the order they were added. Handlers may add or remove
// handlers (themselves included) while the chain fires: added ones are called in the
// same firing, and a removal never makes the firing skip a handler that is still there.
class TQvMethodChain : public TObject {
public:
    TQvMethodChain() = default;

    void Add(const TMethodRef& AEvent);
    // Removes every entry equal to AEvent.
    void Remove(const TMethodRef& AEvent);
    void Fire();

    std::size_t Count() const { return entries_.size(); }

    TQvExceptionEvent OnException;

protected:
    // Calls one entry; each kind of chain knows the signature of its entries.
    virtual void DoFire(const TMethodRef& AEvent) = 0;
    // Decides what an exception raised by an entry does. Without OnException the
    // exception passes on (this is called inside the catch block, so it rethrows).
    virtual void DoHandleException(Exception& E, bool& DoContinue);
    // The class name used in error messages.
    virtual const char* ChainClassName() const { return "TQvMethodChain"; }

private:
    std::vector<TMethodRef> entries_;
    // Index of the next entry to call for each firing in progress (firings may nest).
    std::vector<std::size_t*> cursors_;
};

// A chain of notify events, each called with the chain's Sender.
class TQvNotifyEventChain : public TQvMethodChain {
public:
    explicit TQvNotifyEventChain(TObject* ASender) : sender_(ASender) {}

    void Add(const TNotifyEvent& AEvent) { TQvMethodChain::Add(AEvent.Ref()); }
    void Remove(const TNotifyEvent& AEvent) { TQvMethodChain::Remove(AEvent.Ref()); }

    TObject* GetSender() const { return sender_; }
    void SetSender(TObject* Value) { sender_ = Value; }

protected:
    void DoFire(const TMethodRef& AEvent) override;
    const char* ChainClassName() const override { return "TQvNotifyEventChain"; }

private:
    TObject* sender_;
};

// ---------------------------------------------------------------------------------------
// Persistent option objects. Each setter fires OnChange (sender = the object) when the
// stored value changes; Assign from an object of the same class copies and fires once.

class TQvSelectedColor : public TPersistent {
public:
    TQvSelectedColor() = default;

    void Assign(TPersistent* Source) override;

    TColor GetBackground() const { return background_; }
    void SetBackground(TColor Value);
    TColor GetForeground() const { return foreground_; }
    void SetForeground(TColor Value);

    TNotifyEvent OnChange;

private:
    void Changed();

    TColor background_ = clHighlight;
    TColor foreground_ = clHighlightText;
};

enum TQvGutterBorderStyle { gbsNone, gbsMiddle, gbsRight };

class TQvGutter : public TPersistent {
public:
    TQvGutter();

    // Copies everything but BorderStyle and Cursor.
    void Assign(TPersistent* Source) override;

    // Sets the digit count in use for a text of LinesCount lines: with line numbers shown
    // and AutoSize on, enough digits for the highest number (at least DigitCount, firing
    // OnChange when it changes); otherwise DigitCount, silently.
    void AutoSizeDigitCount(Integer LinesCount);
    // The number of Line as shown: right-aligned in the digit count in use (a longer
    // number is not cut), counted from 0 with ZeroStart, blanks as "0" with LeadingZeros.
    std::string FormatLineNumber(Integer Line) const;
    // Pixels taken by the gutter for characters CharWidth pixels wide.
    Integer RealGutterWidth(Integer CharWidth) const;

    bool GetAutoSize() const { return autoSize_; }
    void SetAutoSize(bool Value);
    TQvGutterBorderStyle GetBorderStyle() const { return borderStyle_; }
    // Fires OnChange even when the style stays the same.
    void SetBorderStyle(TQvGutterBorderStyle Value);
    TColor GetColor() const { return color_; }
    void SetColor(TColor Value);
    TCursor GetCursor() const { return cursor_; }
    void SetCursor(TCursor Value);
    Integer GetDigitCount() const { return digitCount_; }
    // Clamped to 2..12; also resets the digit count in use.
    void SetDigitCount(Integer Value);
    Integer GetAutoSizeDigitCount() const { return autoSizeDigitCount_; }
    TFont* GetFont() const { return font_.get(); }
    // Copies Value; changes of the font's own properties fire OnChange too.
    void SetFont(TFont* Value);
    bool GetLeadingZeros() const { return leadingZeros_; }
    void SetLeadingZeros(bool Value);
    Integer GetLeftOffset() const { return leftOffset_; }
    void SetLeftOffset(Integer Value);  // negative values store 0
    Integer GetRightOffset() const { return rightOffset_; }
    void SetRightOffset(Integer Value);  // negative values store 0
    bool GetShowLineNumbers() const { return showLineNumbers_; }
    void SetShowLineNumbers(bool Value);
    bool GetUseFontStyle() const { return useFontStyle_; }
    void SetUseFontStyle(bool Value);
    bool GetVisible() const { return visible_; }
    void SetVisible(bool Value);
    Integer GetWidth() const { return width_; }
    void SetWidth(Integer Value);  // negative values store 0
    bool GetZeroStart() const { return zeroStart_; }
    void SetZeroStart(bool Value);

    TNotifyEvent OnChange;

private:
    void Changed();
    void FontChanged(TObject* Sender);
    template <class T>
    void Store(T& field, T value);

    std::unique_ptr<TFont> font_;
    TColor color_ = clBtnFace;
    TCursor cursor_ = crDefault;
    Integer width_ = 30;
    Integer leftOffset_ = 16;
    Integer rightOffset_ = 2;
    Integer digitCount_ = 4;
    Integer autoSizeDigitCount_ = 4;
    TQvGutterBorderStyle borderStyle_ = gbsMiddle;
    bool autoSize_ = false;
    bool leadingZeros_ = false;
    bool showLineNumbers_ = false;
    bool useFontStyle_ = true;
    bool visible_ = true;
    bool zeroStart_ = false;
};

class TQvBookMarkOpt : public TPersistent {
public:
    explicit TQvBookMarkOpt(TComponent* AOwner);
    ~TQvBookMarkOpt() override;

    void Assign(TPersistent* Source) override;

    TComponent* GetOwner() const { return owner_; }
    // Not owned: when whoever made the list frees it, it is cleared here (a change).
    TImageList* GetBookmarkImages() const { return bookmarkImages_; }
    void SetBookmarkImages(TImageList* Value);
    bool GetDrawBookmarksFirst() const { return drawBookmarksFirst_; }
    void SetDrawBookmarksFirst(bool Value);
    bool GetEnableKeys() const { return enableKeys_; }
    void SetEnableKeys(bool Value);
    bool GetGlyphsVisible() const { return glyphsVisible_; }
    void SetGlyphsVisible(bool Value);
    Integer GetLeftMargin() const { return leftMargin_; }
    void SetLeftMargin(Integer Value);
    Integer GetXoffset() const { return xoffset_; }
    void SetXoffset(Integer Value);

    TNotifyEvent OnChange;

private:
    void Changed();
    template <class T>
    void Store(T& field, T value);
    // Points at Value and asks it for a free notice instead of the list before.
    void WatchImages(TImageList* Value);

    class TImagesWatch;

    TComponent* owner_;
    // Receives the free notice of the image list.
    std::unique_ptr<TImagesWatch> imagesWatch_;
    TImageList* bookmarkImages_ = nullptr;
    bool drawBookmarksFirst_ = true;
    bool enableKeys_ = true;
    bool glyphsVisible_ = true;
    Integer leftMargin_ = 2;
    Integer xoffset_ = 12;
};

// ---------------------------------------------------------------------------------------
// Glyph strips loaded from the built-in images, shared process-wide by resource name
// (letter case ignored) and freed with the last image that uses them.

class TQvInternalImage : public TObject {
public:
    // A strip of Count glyphs side by side; raises EResNotFound for an unknown name.
    TQvInternalImage(const std::string& Name, Integer Count);
    ~TQvInternalImage() override;

    // Draws glyph Number centred in a line LineHeight pixels high at (X, Y); a line lower
    // than the glyph shows the glyph's middle rows. Nothing for a number out of range.
    void DrawMark(TCanvas* ACanvas, Integer Number, Integer X, Integer Y, Integer LineHeight);
    // The same, leaving the pixels of TransparentColor as they were on the canvas.
    void DrawMarkTransparent(TCanvas* ACanvas, Integer Number, Integer X, Integer Y,
                             Integer LineHeight, TColor TransparentColor);

    Integer GetWidth() const { return width_; }  // of one glyph
    Integer GetHeight() const { return height_; }
    Integer GetCount() const { return count_; }
    TBitmap* GetBitmap() const { return images_; }

private:
    // Source and destination rectangles of glyph Number, or false when out of range.
    bool GlyphRects(Integer Number, Integer X, Integer Y, Integer LineHeight, TRect& Dest,
                    TRect& Source) const;

    TBitmap* images_;
    Integer width_;
    Integer height_;
    Integer count_;
};

// ---------------------------------------------------------------------------------------
// An edit box that shows the shortcut typed into it ("Ctrl+Shift+F3"), or "None".

class TQvHotKey : public TCustomControl {
public:
    explicit TQvHotKey(TComponent* AOwner);

    TShortCut GetHotKey() const;
    void SetHotKey(TShortCut Value);
    const std::string& GetText() const { return text_; }
    // The caret position, 0-based (it stays at the end of the text).
    Integer GetSelStart() const { return selStart_; }

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void WMKillFocus(TWMKillFocus& Message) override;
    void WMGetDlgCode(TWMGetDlgCode& Message) override;
    void Paint() override;

private:
    void SetText(const std::string& Value);
    // A text of modifiers only ("Ctrl+Alt+") becomes "None".
    void NoneForModifiersOnly();

    std::string text_;
    Integer selStart_ = 0;
};
