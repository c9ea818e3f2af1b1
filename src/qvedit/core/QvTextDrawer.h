// Text output at a fixed character cell. The editor draws every run of text with the
// same advance per character, whatever the token's style: the text drawer switches among
// the bold, italic, underline and strikeout variants of one base font and places each
// character with a distance array. The font variants come from the font stock, whose
// measurements and font handles are shared by every drawer with an equal base font.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "platform/graphics/Colors.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Graphics.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/System.h"
#include "platform/runtime/Types.h"

QV_DECLARE_EXCEPTION(EQvFontStockException, Exception);
QV_DECLARE_EXCEPTION(EQvTextDrawerException, Exception);

// One slot per value of a style set (0..15), plus one spare.
constexpr int QvFontStylePatterns = 17;

// One style variant of a base font: its handle (made on first use) and measurements.
struct TQvFontData {
    TFontStyles Style;
    HFONT Handle = nullptr;
    Integer CharAdv = 0;
    Integer DBCharAdv = 0;
    Integer CharHeight = 0;
};

// What every stock with an equal base font shares. RefCount counts the stocks holding
// the record, LockCount those that use its handles: the handles exist only while locked.
struct TQvSharedFontsInfo {
    Integer RefCount = 0;
    Integer LockCount = 0;
    std::unique_ptr<TFont> BaseFont;
    LOGFONTA BaseLF{};  // the key: italic, underline and strikeout cleared
    bool IsDBCSFont = false;
    bool IsTrueType = false;
    std::array<TQvFontData, QvFontStylePatterns> FontsData{};
};

// The process-wide list of shared font records.
class TQvFontsInfoManager : public TObject {
public:
    TQvFontsInfoManager() = default;
    ~TQvFontsInfoManager() override;

    // The record for ABaseFont's key, made when there is none; one more reference.
    TQvSharedFontsInfo* GetFontsInfo(TFont* ABaseFont);
    // One reference less; the last one frees the record. The releasing holder must have
    // unlocked the record first.
    void ReleaseFontsInfo(TQvSharedFontsInfo* pFontsInfo);
    void LockFontsInfo(TQvSharedFontsInfo* pFontsInfo);
    // The last unlock deletes the record's font handles.
    void UnLockFontsInfo(TQvSharedFontsInfo* pFontsInfo);

private:
    TQvSharedFontsInfo* FindFontsInfo(const LOGFONTA& key) const;
    TQvSharedFontsInfo* CreateFontsInfo(TFont* ABaseFont, const LOGFONTA& key);
    static void DestroyFontHandles(TQvSharedFontsInfo* pFontsInfo);

    std::vector<std::unique_ptr<TQvSharedFontsInfo>> fontsInfo_;
};

TQvFontsInfoManager& GetFontsInfoManager();

// The style variants of one base font, made and measured on first use.
class TQvFontStock : public TObject {
public:
    explicit TQvFontStock(TFont* AFont);
    ~TQvFontStock() override;

    TFont* GetBaseFont() const;
    // Raises EQvFontStockException for nullptr. Selects the font's own style.
    void SetBaseFont(TFont* Value);
    TFontStyles GetStyle() const { return crntStyle_; }
    void SetStyle(TFontStyles Value);

    Integer GetCharAdvance() const { return crntFontData_->CharAdv; }
    Integer GetCharHeight() const { return crntFontData_->CharHeight; }
    Integer GetDBCharAdvance() const { return crntFontData_->DBCharAdv; }
    bool GetIsDBCSFont() const { return info_->IsDBCSFont; }
    bool GetIsTrueType() const { return info_->IsTrueType; }
    // The current style's font; nullptr after ReleaseFontHandles until SetStyle.
    HFONT GetFontHandle() const { return crntFont_; }

    // Lets the handles go (they are deleted when no other stock uses them).
    void ReleaseFontHandles();

protected:
    // The advance of the font selected into DC, with its cell height and its double-byte
    // advance (the largest integer when it has none).
    Integer CalcFontAdvance(HDC DC, Integer* pCharHeight, Integer* pDBCharAdvance) const;

private:
    HDC InternalGetDC();
    void InternalReleaseDC();
    void UseFontHandles();
    void ReleaseFontsInfo();

    HDC dc_ = nullptr;
    Integer dcRefCount_ = 0;
    TQvSharedFontsInfo* info_ = nullptr;
    bool usingFontHandles_ = false;
    HFONT crntFont_ = nullptr;
    TFontStyles crntStyle_;
    TQvFontData* crntFontData_ = nullptr;
    LOGFONTA baseLF_{};
};

// Draws text runs at a fixed cell width taken from the base style's variant of the font.
// Drawing happens between BeginDrawing and EndDrawing; colours, style and spacing set
// outside that bracket apply at the next BeginDrawing.
class TQvTextDrawer : public TObject {
public:
    TQvTextDrawer(TFontStyles CalcExtentBaseStyle, TFont* BaseFont);
    ~TQvTextDrawer() override;

    // Nested calls with the same context only count; another context while drawing
    // raises EQvTextDrawerException.
    virtual void BeginDrawing(HDC DC);
    virtual void EndDrawing();

    // Raises EQvTextDrawerException for nullptr.
    virtual void SetBaseFont(TFont* Value);
    TFontStyles GetBaseStyle() const { return calcExtentBaseStyle_; }
    virtual void SetBaseStyle(TFontStyles Value);
    TFontStyles GetStyle() const { return crntStyle_; }
    // Switches the stock to the style and draws with its font.
    virtual void SetStyle(TFontStyles Value);

    TColor GetForeColor() const { return color_; }
    virtual void SetForeColor(TColor Value);
    TColor GetBackColor() const { return bkColor_; }
    virtual void SetBackColor(TColor Value);
    Integer GetCharExtra() const { return charExtra_; }
    virtual void SetCharExtra(Integer Value);

    Integer GetCharWidth() const { return baseCharWidth_ + charExtra_; }
    Integer GetCharHeight() const { return baseCharHeight_; }

    virtual void TextOut(Integer X, Integer Y, const char* Text, Integer Length);
    // Each character advances exactly one cell (CharWidth).
    virtual void ExtTextOut(Integer X, Integer Y, UINT fuOptions, const TRect& ARect,
                            const char* Text, Integer Length);
    // Lets the font handles go between drawings (nothing while drawing, when the context
    // still uses one); the next BeginDrawing takes them again.
    virtual void ReleaseTemporaryResources();

    // The character distances in use: empty until text is drawn, then a multiple of 64
    // entries, each CharWidth.
    const std::vector<Integer>& GetDistanceArray() const { return etoDist_; }

protected:
    TQvFontStock& FontStock() { return *fontStock_; }
    HDC DrawingDC() const { return dc_; }
    Integer BaseCharWidth() const { return baseCharWidth_; }
    // Makes Font (of Style) the current font, selected into the context while drawing.
    void UseFont(HFONT Font, TFontStyles Style);
    virtual void DoSetCharExtra(Integer Value);
    void MeasureBaseStyle();
    void ReleaseETODist() { etoDist_.clear(); }
    void InitETODist(Integer Length);

private:
    HDC dc_ = nullptr;
    Integer saveDC_ = 0;
    std::unique_ptr<TQvFontStock> fontStock_;
    TFontStyles calcExtentBaseStyle_;
    TFontStyles crntStyle_;
    Integer baseCharWidth_ = 0;
    Integer baseCharHeight_ = 0;
    HFONT crntFont_ = nullptr;
    std::vector<Integer> etoDist_;
    TColor color_ = clWindowText;
    TColor bkColor_ = clWindow;
    Integer charExtra_ = 0;
    Integer drawingCount_ = 0;
};

// A drawer that remembers the font of every style it used and switches back to it
// without asking the stock; a new base font (or releasing the handles) forgets them.
class TQvTextDrawer2 : public TQvTextDrawer {
public:
    using TQvTextDrawer::TQvTextDrawer;

    void SetBaseFont(TFont* Value) override;
    void SetStyle(TFontStyles Value) override;
    void ReleaseTemporaryResources() override;

private:
    std::array<HFONT, QvFontStylePatterns> fonts_{};
};

// A drawer that pads each style's own advance up to the cell width with extra character
// spacing, and draws without a distance array where the padding alone keeps the cells:
// single-byte fonts, except italic fonts that are not TrueType, which use the distances.
class TQvTextDrawerEx : public TQvTextDrawer {
public:
    TQvTextDrawerEx(TFontStyles CalcExtentBaseStyle, TFont* BaseFont);

    void SetStyle(TFontStyles Value) override;
    void ExtTextOut(Integer X, Integer Y, UINT fuOptions, const TRect& ARect, const char* Text,
                    Integer Length) override;

    // The spacing added to the current style's advance to fill the cell.
    Integer GetStyleCharExtra() const { return crntDx_; }

protected:
    void DoSetCharExtra(Integer Value) override;

private:
    Integer crntDx_ = 0;
    bool useDistances_ = false;
};
