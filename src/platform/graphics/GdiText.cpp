// Text measuring and output: every byte drawn in its own cell through the selected font's
// code page.
#include "platform/graphics/GraphicsQt.h"

#include <QGlyphRun>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

int CellTop(HDC dc, int y, TGdiFontData& data)
{
    switch (dc->State().TextAlign) {
    case TA_BASELINE:
        return y - data.Ascent();
    case TA_BOTTOM:
        return y - data.Ascent() - data.Descent();
    default:
        return y;
    }
}

QRect ToQRect(const TRect& r)
{
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

// Lines through the whole run for underlined and struck-out fonts.
void DrawDecorations(QPainter& painter, TGdiFontData& data, int left, int right, int baseline,
                     const QColor& color)
{
    const QRawFont& raw = data.RawFont();
    const int thickness = std::max(1, static_cast<int>(std::lround(raw.lineThickness())));
    const int from = std::min(left, right);
    const int width = std::abs(right - left);
    if (data.Underline()) {
        const int offset = std::max(1, static_cast<int>(std::lround(raw.underlinePosition())));
        painter.fillRect(QRect(from, baseline + offset, width, thickness), color);
    }
    if (data.StrikeOut()) {
        const int offset = static_cast<int>(std::lround(raw.xHeight() / 2));
        painter.fillRect(QRect(from, baseline - offset, width, thickness), color);
    }
}

}  // namespace

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics)
{
    if (dc == nullptr || metrics == nullptr)
        return FALSE;
    *metrics = dc->FontData().Metrics();
    metrics->tmDigitizedAspectX = dc->Caps().PixelsPerInchX;
    metrics->tmDigitizedAspectY = dc->Caps().PixelsPerInchY;
    return TRUE;
}

BOOL GetCharABCWidthsA(HDC dc, UINT first, UINT last, ABC* widths)
{
    if (dc == nullptr || widths == nullptr || first > last || last > 0xFF)
        return FALSE;
    TGdiFontData& data = dc->FontData();
    for (UINT c = first; c <= last; ++c)
        widths[c - first] = data.CharABC(static_cast<unsigned char>(c));
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC dc, const char* text, int count, TSize* size)
{
    if (dc == nullptr || size == nullptr || count < 0 || (count > 0 && text == nullptr))
        return FALSE;
    TGdiFontData& data = dc->FontData();
    const auto& glyphs = data.GlyphsFor(text, static_cast<std::size_t>(count));
    Int64 width = 0;
    for (int i = 0; i < count; ++i)
        width += glyphs[static_cast<unsigned char>(text[i])].Advance + dc->State().CharExtra;
    size->cx = static_cast<Integer>(std::clamp<Int64>(width, INT32_MIN, INT32_MAX));
    size->cy = data.Ascent() + data.Descent();  // the cell height, without measuring every advance
    return TRUE;
}

BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const TRect* rect, const char* text,
                 UINT count, const int* dx)
{
    if (dc == nullptr || (count > 0 && text == nullptr))
        return FALSE;
    const TDcState& state = dc->State();
    TGdiFontData& data = dc->FontData();
    // With a distance array no advance is read, so a missing character's stays unmeasured.
    const auto& glyphs = dx != nullptr ? data.Glyphs() : data.GlyphsFor(text, count);
    const bool clipped = (options & ETO_CLIPPED) != 0 && rect != nullptr;
    const QRect clipRect = rect != nullptr ? ToQRect(*rect) : QRect();
    if (clipped && clipRect.isEmpty())
        return TRUE;

    QPainter& painter = dc->BeginOperation(clipped ? &clipRect : nullptr);
    const QColor background = QColorFromRef(state.BkColor);
    if ((options & ETO_OPAQUE) != 0 && rect != nullptr && !clipRect.isEmpty())
        painter.fillRect(clipRect, background);
    if (count == 0) {
        painter.restore();
        return TRUE;
    }

    const int top = CellTop(dc, y, data);
    const int baseline = top + data.Ascent();
    thread_local std::vector<quint32> runGlyphs;
    thread_local std::vector<QPointF> runPositions;
    runGlyphs.clear();
    runPositions.clear();
    std::vector<std::pair<int, char32_t>> fallbacks;

    Int64 cellX = x;
    for (UINT i = 0; i < count; ++i) {
        const TByteGlyph& g = glyphs[static_cast<unsigned char>(text[i])];
        const int left = static_cast<int>(std::clamp<Int64>(cellX, INT32_MIN / 2, INT32_MAX / 2));
        if (g.Fallback) {
            fallbacks.emplace_back(left, g.Char);
        } else if (!g.Blank) {
            runGlyphs.push_back(g.Glyph);
            runPositions.emplace_back(left, baseline);
        }
        cellX += dx != nullptr ? dx[i] : g.Advance + state.CharExtra;
    }
    const int right = static_cast<int>(std::clamp<Int64>(cellX, INT32_MIN / 2, INT32_MAX / 2));

    if (state.BkMode == OPAQUE) {
        const int height = data.Ascent() + data.Descent();
        painter.fillRect(QRect(std::min(x, right), top, std::abs(right - x), height), background);
    }
    const QColor foreground = QColorFromRef(state.TextColor);
    painter.setPen(foreground);
    if (!runGlyphs.empty()) {
        QGlyphRun run;
        run.setRawFont(data.RawFont());
        run.setRawData(runGlyphs.data(), runPositions.data(), static_cast<int>(runGlyphs.size()));
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
    if (!fallbacks.empty()) {
        painter.setFont(data.Font());
        for (const auto& [left, ch] : fallbacks)
            painter.drawText(QPointF(left, baseline), QString(QChar(static_cast<char16_t>(ch))));
    }
    if (data.Underline() || data.StrikeOut())
        DrawDecorations(painter, data, x, right, baseline, foreground);
    painter.restore();
    if (dc->TextOutLog() != nullptr) {
        dc->TextOutLog()->push_back(TTextOutRecord{
            Rect(std::min(x, right), top, std::max(x, right), top + data.Ascent() + data.Descent()),
            std::string(text, count), state.Font->LogFont(), state.TextColor, state.BkColor,
            state.BkMode == OPAQUE});
    }
    return TRUE;
}

void SetTextOutLog(HDC dc, std::vector<TTextOutRecord>* log)
{
    if (dc != nullptr)
        dc->SetTextOutLog(log);
}

BOOL TextOutA(HDC dc, int x, int y, const char* text, int count)
{
    if (count < 0)
        return FALSE;
    return ExtTextOutA(dc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}
