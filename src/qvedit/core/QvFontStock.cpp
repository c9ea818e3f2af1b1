// The font stock and the process-wide list of shared font records.
#include "qvedit/core/QvTextDrawer.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/runtime/CodePages.h"

namespace {

// The key of a base font: its logical font without the styles a variant may add, and
// with nothing but zeros after the face name so that equal fonts compare equal byte
// for byte.
LOGFONTA FontKey(TFont* font)
{
    LOGFONTA key = font->GetLogFont();
    key.lfItalic = 0;
    key.lfUnderline = 0;
    key.lfStrikeOut = 0;
    const std::size_t nameLength = strnlen(key.lfFaceName, LF_FACESIZE);
    std::memset(key.lfFaceName + nameLength, 0, LF_FACESIZE - nameLength);
    return key;
}

Integer AbcAdvance(const ABC& abc)
{
    return abc.abcA + static_cast<Integer>(abc.abcB) + abc.abcC;
}

}  // namespace

// ---- TQvFontsInfoManager --------------------------------------------------------------

TQvFontsInfoManager::~TQvFontsInfoManager()
{
    // Records still held at the end belong to drawers nobody freed; let them go.
    for (auto& info : fontsInfo_)
        DestroyFontHandles(info.get());
}

TQvSharedFontsInfo* TQvFontsInfoManager::GetFontsInfo(TFont* ABaseFont)
{
    const LOGFONTA key = FontKey(ABaseFont);
    TQvSharedFontsInfo* info = FindFontsInfo(key);
    if (info == nullptr)
        info = CreateFontsInfo(ABaseFont, key);
    ++info->RefCount;
    return info;
}

void TQvFontsInfoManager::ReleaseFontsInfo(TQvSharedFontsInfo* pFontsInfo)
{
    if (pFontsInfo->LockCount >= pFontsInfo->RefCount)
        throw EQvFontStockException("Call DeactivateFontsInfo before calling this.");
    if (pFontsInfo->RefCount > 1) {
        --pFontsInfo->RefCount;
        return;
    }
    for (auto it = fontsInfo_.begin(); it != fontsInfo_.end(); ++it) {
        if (it->get() == pFontsInfo) {
            DestroyFontHandles(pFontsInfo);
            fontsInfo_.erase(it);
            return;
        }
    }
}

void TQvFontsInfoManager::LockFontsInfo(TQvSharedFontsInfo* pFontsInfo)
{
    ++pFontsInfo->LockCount;
}

void TQvFontsInfoManager::UnLockFontsInfo(TQvSharedFontsInfo* pFontsInfo)
{
    if (pFontsInfo->LockCount < 1)
        throw EQvFontStockException("UnLockFontsInfo: the font record is not locked.");
    if (--pFontsInfo->LockCount == 0)
        DestroyFontHandles(pFontsInfo);
}

TQvSharedFontsInfo* TQvFontsInfoManager::FindFontsInfo(const LOGFONTA& key) const
{
    for (const auto& info : fontsInfo_)
        if (std::memcmp(&info->BaseLF, &key, sizeof(LOGFONTA)) == 0)
            return info.get();
    return nullptr;
}

TQvSharedFontsInfo* TQvFontsInfoManager::CreateFontsInfo(TFont* ABaseFont, const LOGFONTA& key)
{
    auto info = std::make_unique<TQvSharedFontsInfo>();
    info->BaseFont = std::make_unique<TFont>();
    info->BaseFont->Assign(ABaseFont);
    info->BaseLF = key;
    info->IsTrueType = (key.lfPitchAndFamily & TMPF_TRUETYPE) != 0;
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, info->BaseFont->GetHandle());
    info->IsDBCSFont = (GetFontLanguageInfo(dc) & GCP_DBCS) != 0;
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    fontsInfo_.push_back(std::move(info));
    return fontsInfo_.back().get();
}

void TQvFontsInfoManager::DestroyFontHandles(TQvSharedFontsInfo* pFontsInfo)
{
    for (TQvFontData& data : pFontsInfo->FontsData) {
        if (data.Handle != nullptr) {
            DeleteObject(data.Handle);
            data.Handle = nullptr;
        }
    }
}

TQvFontsInfoManager& GetFontsInfoManager()
{
    static TQvFontsInfoManager manager;
    return manager;
}

// ---- TQvFontStock ---------------------------------------------------------------------

TQvFontStock::TQvFontStock(TFont* AFont)
{
    SetBaseFont(AFont);
}

TQvFontStock::~TQvFontStock()
{
    ReleaseFontsInfo();
}

TFont* TQvFontStock::GetBaseFont() const
{
    return info_->BaseFont.get();
}

void TQvFontStock::SetBaseFont(TFont* Value)
{
    if (Value == nullptr)
        throw EQvFontStockException("SetBaseFont: 'Value' must be specified.");
    TQvSharedFontsInfo* info = GetFontsInfoManager().GetFontsInfo(Value);
    if (info == info_) {
        GetFontsInfoManager().ReleaseFontsInfo(info);
        return;
    }
    ReleaseFontsInfo();
    info_ = info;
    baseLF_ = info_->BaseLF;
    SetStyle(Value->GetStyle());
}

void TQvFontStock::SetStyle(TFontStyles Value)
{
    UseFontHandles();
    TQvFontData& data = info_->FontsData[Value.Value()];
    crntFontData_ = &data;
    crntStyle_ = Value;
    if (data.Handle != nullptr) {
        crntFont_ = data.Handle;
        return;
    }
    LOGFONTA logFont = baseLF_;
    logFont.lfWeight = Value.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = Value.Contains(fsItalic) ? 1 : 0;
    logFont.lfUnderline = Value.Contains(fsUnderline) ? 1 : 0;
    logFont.lfStrikeOut = Value.Contains(fsStrikeOut) ? 1 : 0;
    HFONT font = CreateFontIndirectA(&logFont);
    HDC dc = InternalGetDC();
    HGDIOBJ oldFont = SelectObject(dc, font);
    data.Style = Value;
    data.Handle = font;
    data.CharAdv = CalcFontAdvance(dc, &data.CharHeight, &data.DBCharAdv);
    SelectObject(dc, oldFont);
    InternalReleaseDC();
    crntFont_ = font;
}

void TQvFontStock::ReleaseFontHandles()
{
    if (!usingFontHandles_)
        return;
    usingFontHandles_ = false;
    crntFont_ = nullptr;
    GetFontsInfoManager().UnLockFontsInfo(info_);
}

Integer TQvFontStock::CalcFontAdvance(HDC DC, Integer* pCharHeight,
                                      Integer* pDBCharAdvance) const
{
    // Faces with ABC widths (outline faces) have no overhang, and their text extent's
    // height is the cell height: the whole text metrics, which take every character's
    // advance, are read only for the others.
    ABC abc{};
    Integer advance;
    Integer height;
    TSize extent{};
    if (GetCharABCWidthsA(DC, 'M', 'M', &abc) && GetTextExtentPoint32A(DC, "M", 1, &extent)) {
        advance = AbcAdvance(abc);
        height = extent.cy;
    } else {
        TEXTMETRICA metrics{};
        GetTextMetricsA(DC, &metrics);
        advance = metrics.tmAveCharWidth;
        height = metrics.tmHeight;
    }
    if (pCharHeight != nullptr)
        *pCharHeight = std::abs(height);
    if (pDBCharAdvance != nullptr) {
        *pDBCharAdvance = INT_MAX;
        // A Shift-JIS font whose wide characters are uniformly about two cells wide.
        if (info_->IsDBCSFont && baseLF_.lfCharSet == SHIFTJIS_CHARSET) {
            ABC wide{};
            ABC hiragana{};
            if (GetCharABCWidthsA(DC, 0x8201, 0x8201, &wide) &&
                GetCharABCWidthsA(DC, 0x82A0, 0x82A0, &hiragana) &&
                2 * AbcAdvance(wide) >= 3 * advance && AbcAdvance(wide) == AbcAdvance(hiragana))
                *pDBCharAdvance = AbcAdvance(wide);
        }
    }
    return advance;
}

HDC TQvFontStock::InternalGetDC()
{
    if (dcRefCount_++ == 0)
        dc_ = GetDC(nullptr);
    return dc_;
}

void TQvFontStock::InternalReleaseDC()
{
    if (--dcRefCount_ == 0) {
        ReleaseDC(nullptr, dc_);
        dc_ = nullptr;
    }
}

void TQvFontStock::UseFontHandles()
{
    if (usingFontHandles_)
        return;
    usingFontHandles_ = true;
    GetFontsInfoManager().LockFontsInfo(info_);
}

void TQvFontStock::ReleaseFontsInfo()
{
    if (info_ == nullptr)
        return;
    ReleaseFontHandles();
    GetFontsInfoManager().ReleaseFontsInfo(info_);
    info_ = nullptr;
    crntFontData_ = nullptr;
}
