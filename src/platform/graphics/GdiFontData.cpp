// A font object's face and measurements: the bytes of its code page mapped to glyphs of
// one raw font with whole-pixel advances, so that text can be laid out cell by cell.
#include "platform/graphics/FontResolve.h"
#include "platform/graphics/GraphicsQt.h"
#include "platform/runtime/CodePages.h"

#include <QFontMetricsF>
#include <QString>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kDefaultEmHeight = 13;  // a height of 0 asks for the default size
constexpr int kMaxEmHeight = 4096;    // larger requests are clamped, not refused

int ClampEm(Int64 em)
{
    return static_cast<int>(std::clamp<Int64>(em, 1, kMaxEmHeight));
}

QFont MakeFont(const LOGFONTA& lf, const std::string& family, int em)
{
    QFont font(QString::fromStdString(AnsiToUtf8(family)));
    font.setPixelSize(em);
    const int weight = lf.lfWeight <= 0 ? FW_NORMAL : std::min<LONG>(lf.lfWeight, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(lf.lfItalic != 0);
    font.setKerning(false);
    // Horizontal hinting would let bold and plain advances of one face drift apart.
    font.setHintingPreference(QFont::PreferVerticalHinting);
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    return font;
}

// A measured length in whole pixels, as the device context counts them.
int WholePixels(qreal length)
{
    return static_cast<int>(std::lround(length));
}

bool IsControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// What a glyph table depends on: the resolved face, its em height, weight and slant, and
// the code page. Underline and strike-out do not change a glyph's advance.
std::string GlyphTableKey(const QFont& font, Cardinal codePage)
{
    return font.family().toStdString() + '\n' + std::to_string(font.pixelSize()) + ' ' +
           std::to_string(font.weight()) + ' ' + (font.italic() ? "i " : "r ") + std::to_string(codePage);
}

// Glyph tables measured so far, shared by every font object of the same face, size and
// style: a program makes the same few fonts many times (each control, each editor style),
// and each advance measured costs a glyph load. A table may still have pending advances;
// a font object that measures them, or the width statistics, gives them to the shared
// table. At most this many are kept (about 5 KB each); a session that goes through more
// sizes starts the list again.
constexpr std::size_t kMaxGlyphTables = 256;

struct TSharedTable {
    std::array<TByteGlyph, 256> Glyphs;
    std::optional<TGdiFontData::TWidths> Widths;
};

std::map<std::string, TSharedTable>& MeasuredGlyphTables()
{
    static std::map<std::string, TSharedTable> tables;
    return tables;
}

// The shared table of Key, or nullptr when the list has started again since.
TSharedTable* SharedTable(const std::string& Key)
{
    auto& tables = MeasuredGlyphTables();
    const auto found = tables.find(Key);
    return found != tables.end() ? &found->second : nullptr;
}

int measuredGlyphTables = 0;
int measuredAdvances = 0;
int measuredFallbackAdvances = 0;
int resolvedFonts = 0;

}  // namespace

int MeasuredGlyphTableCount()
{
    return measuredGlyphTables;
}

int MeasuredAdvanceCount()
{
    return measuredAdvances;
}

int MeasuredFallbackAdvanceCount()
{
    return measuredFallbackAdvances;
}

int ResolvedFontCount()
{
    return resolvedFonts;
}

TGdiFontData::TGdiFontData(const LOGFONTA& logFont)
    : logFont_(logFont), underline_(logFont.lfUnderline != 0), strikeOut_(logFont.lfStrikeOut != 0)
{
    ++resolvedFonts;
    const bool fixed = (logFont.lfPitchAndFamily & 0x03) == FIXED_PITCH ||
                       (logFont.lfPitchAndFamily & 0xF0) == FF_MODERN;
    std::string face(logFont.lfFaceName);
    if (face.empty())
        face = fixed ? "Courier New" : "MS Sans Serif";
    const std::string family = ResolveFaceName(face, fixed);

    const Int64 height = logFont.lfHeight;
    int em = kDefaultEmHeight;
    if (height < 0) {
        em = ClampEm(-height);
    } else if (height > 0) {
        // A cell height: find the em height whose ascent + descent is that many pixels.
        const QRawFont probe = QRawFont::fromFont(MakeFont(logFont, family, 100));
        const double cellPer100 = probe.ascent() + probe.descent();
        em = cellPer100 > 0 ? ClampEm(std::llround(height * 100.0 / cellPer100)) : ClampEm(height);
    }
    emHeight_ = em;
    font_ = MakeFont(logFont, family, em);
    raw_ = QRawFont::fromFont(font_);
    ascent_ = WholePixels(raw_.ascent());
    descent_ = WholePixels(raw_.descent());
}

Cardinal TGdiFontData::CodePage()
{
    return CharsetToCodePage(logFont_.lfCharSet);
}

const std::array<TByteGlyph, 256>& TGdiFontData::Glyphs()
{
    const Cardinal cp = CodePage();
    if (cp != codePage_)
        Rebuild(cp);
    return glyphs_;
}

const std::array<TByteGlyph, 256>& TGdiFontData::GlyphsFor(const char* text, std::size_t count)
{
    Glyphs();
    if (pending_ == 0)
        return glyphs_;
    std::array<bool, 256> wanted{};
    bool any = false;
    for (std::size_t i = 0; i < count; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (glyphs_[byte].AdvancePending) {
            wanted[byte] = true;
            any = true;
        }
    }
    if (any)
        MeasurePending(wanted);
    return glyphs_;
}

const TEXTMETRICA& TGdiFontData::Metrics()
{
    Glyphs();
    if (!metricsFilled_) {
        FillMetrics(MeasureWidths());
        metricsFilled_ = true;
    }
    return metrics_;
}

// The width statistics of the characters the face draws itself, measured once per table
// in the process. The face is hinted vertically only, which leaves advances as they are
// unhinted, so they are measured without hinting: the same advances at a fraction of the
// glyph loads. The table's own advances stay as GlyphsFor measures them.
TGdiFontData::TWidths TGdiFontData::MeasureWidths()
{
    TSharedTable* shared = SharedTable(tableKey_);
    if (shared != nullptr && shared->Widths)
        return *shared->Widths;
    ++measuredGlyphTables;
    QList<quint32> faceGlyphs;
    TWidths result;
    for (const TByteGlyph& g : glyphs_) {
        if (g.Blank || g.Glyph == 0)
            continue;
        if (!g.AdvancePending)
            result.Add(g.Advance);
        else
            faceGlyphs.append(g.Glyph);
    }
    if (!faceGlyphs.isEmpty()) {
        QFont unhinted = font_;
        unhinted.setHintingPreference(QFont::PreferNoHinting);
        const QList<QPointF> advances =
            QRawFont::fromFont(unhinted).advancesForGlyphIndexes(faceGlyphs, QRawFont::SeparateAdvances);
        measuredAdvances += static_cast<int>(faceGlyphs.size());
        for (const QPointF& advance : advances)
            result.Add(WholePixels(advance.x()));
    }
    if (shared != nullptr)
        shared->Widths = result;
    return result;
}

void TGdiFontData::Rebuild(Cardinal codePage)
{
    codePage_ = codePage;
    metricsFilled_ = false;
    tableKey_ = GlyphTableKey(font_, codePage);
    if (const TSharedTable* shared = SharedTable(tableKey_)) {
        glyphs_ = shared->Glyphs;
    } else {
        MapGlyphs(codePage);
        auto& tables = MeasuredGlyphTables();
        if (tables.size() >= kMaxGlyphTables)
            tables.clear();
        tables.emplace(tableKey_, TSharedTable{glyphs_, std::nullopt});
    }
    pending_ = static_cast<int>(std::count_if(glyphs_.begin(), glyphs_.end(),
                                              [](const TByteGlyph& g) { return g.AdvancePending; }));
}

// Maps the code page's bytes to the face's glyphs, all advances pending but the space's,
// which the control characters' blank cells take.
void TGdiFontData::MapGlyphs(Cardinal codePage)
{
    QString chars;
    for (int b = 0; b < 256; ++b) {
        const char32_t c = CodePageToUnicode(codePage, static_cast<unsigned char>(b));
        glyphs_[b] = TByteGlyph{};
        glyphs_[b].Char = c;
        chars.append(QChar(static_cast<char16_t>(c <= 0xFFFF ? c : 0xFFFD)));
    }
    const QList<quint32> indexes = raw_.glyphIndexesForString(chars);
    for (int b = 0; b < 256 && b < indexes.size(); ++b)
        glyphs_[b].Glyph = indexes[b];

    const quint32 space = glyphs_[' '].Glyph;
    int spaceAdvance = 0;
    if (space != 0) {
        ++measuredAdvances;
        const QList<QPointF> advance = raw_.advancesForGlyphIndexes(QList<quint32>{space}, QRawFont::SeparateAdvances);
        spaceAdvance = WholePixels(advance.value(0).x());
    } else {
        spaceAdvance = WholePixels(QFontMetricsF(font_).horizontalAdvance(' '));
    }
    for (int b = 0; b < 256; ++b) {
        TByteGlyph& g = glyphs_[b];
        if (IsControl(g.Char)) {
            g.Blank = true;
            g.Advance = spaceAdvance;
        } else if (b == ' ' && space != 0) {
            g.Advance = spaceAdvance;
        } else {
            g.Fallback = g.Glyph == 0;
            g.AdvancePending = true;
        }
    }
}

void TGdiFontData::MeasurePending(const std::array<bool, 256>& wanted)
{
    TSharedTable* table = SharedTable(tableKey_);
    std::array<TByteGlyph, 256>* shared = table != nullptr ? &table->Glyphs : nullptr;
    QList<quint32> faceGlyphs;
    std::vector<int> faceBytes;
    for (int b = 0; b < 256; ++b) {
        TByteGlyph& g = glyphs_[b];
        if (!wanted[b] || !g.AdvancePending)
            continue;
        if (shared != nullptr && !(*shared)[b].AdvancePending) {
            g = (*shared)[b];
        } else if (g.Fallback) {
            ++measuredFallbackAdvances;
            const QString text = QString(QChar(static_cast<char16_t>(g.Char)));
            g.Advance = WholePixels(QFontMetricsF(font_).horizontalAdvance(text));
            g.AdvancePending = false;
        } else {
            faceGlyphs.append(g.Glyph);
            faceBytes.push_back(b);
            continue;
        }
        --pending_;
        if (shared != nullptr)
            (*shared)[b] = g;
    }
    if (faceGlyphs.isEmpty())
        return;
    measuredAdvances += static_cast<int>(faceGlyphs.size());
    const QList<QPointF> advances = raw_.advancesForGlyphIndexes(faceGlyphs, QRawFont::SeparateAdvances);
    for (std::size_t i = 0; i < faceBytes.size(); ++i) {
        TByteGlyph& g = glyphs_[faceBytes[i]];
        g.Advance = WholePixels(advances.value(static_cast<qsizetype>(i)).x());
        g.AdvancePending = false;
        --pending_;
        if (shared != nullptr)
            (*shared)[faceBytes[i]] = g;
    }
}

void TGdiFontData::FillMetrics(const TWidths& widths)
{
    const Int64 widthSum = widths.Sum;
    const int widthCount = widths.Count;
    const int widthMax = widths.Max;
    const int spaceAdvance = glyphs_[' '].Advance;

    TEXTMETRICA& tm = metrics_;
    tm = TEXTMETRICA{};
    tm.tmAscent = ascent_;
    tm.tmDescent = descent_;
    tm.tmHeight = ascent_ + descent_;
    tm.tmInternalLeading = std::max(0, tm.tmHeight - emHeight_);
    tm.tmExternalLeading = std::max(0, WholePixels(raw_.leading()));
    tm.tmAveCharWidth = widthCount > 0 ? static_cast<LONG>(std::llround(
                                             static_cast<double>(widthSum) / widthCount))
                                       : spaceAdvance;
    tm.tmMaxCharWidth = std::max<LONG>(widthMax, tm.tmAveCharWidth);
    tm.tmWeight = logFont_.lfWeight <= 0 ? FW_NORMAL : logFont_.lfWeight;
    tm.tmOverhang = 0;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = '?';
    tm.tmBreakChar = ' ';
    tm.tmItalic = logFont_.lfItalic != 0 ? 0xFF : 0;
    tm.tmUnderlined = underline_ ? 0xFF : 0;
    tm.tmStruckOut = strikeOut_ ? 0xFF : 0;
    const bool fixed = tm.tmAveCharWidth == tm.tmMaxCharWidth;
    Byte family = static_cast<Byte>(logFont_.lfPitchAndFamily & 0xF0);
    if (family == FF_DONTCARE) {
        const QString name = font_.family();
        family = fixed ? FF_MODERN
                       : (name.contains(QLatin1String("Serif")) && !name.contains(QLatin1String("Sans")))
                             ? FF_ROMAN
                             : FF_SWISS;
    }
    tm.tmPitchAndFamily = static_cast<Byte>(family | TMPF_VECTOR | TMPF_TRUETYPE |
                                            (fixed ? 0 : TMPF_FIXED_PITCH));
    tm.tmCharSet = logFont_.lfCharSet;
}

ABC TGdiFontData::CharABC(unsigned char byte)
{
    const char text = static_cast<char>(byte);
    const TByteGlyph& g = GlyphsFor(&text, 1)[byte];
    ABC abc{0, static_cast<UINT>(std::max(g.Advance, 0)), 0};
    if (g.Blank)
        return abc;
    QRectF box;
    if (!g.Fallback) {
        box = raw_.boundingRect(g.Glyph);
    } else {
        box = QFontMetricsF(font_).boundingRect(QChar(static_cast<char16_t>(g.Char)));
    }
    if (box.width() <= 0)
        return abc;
    const int left = static_cast<int>(std::floor(box.left()));
    const int right = static_cast<int>(std::ceil(box.right()));
    abc.abcA = left;
    abc.abcB = static_cast<UINT>(std::max(1, right - left));
    abc.abcC = g.Advance - abc.abcA - static_cast<int>(abc.abcB);
    return abc;
}
