// The canvas: pen, brush and font operations on a device context.
#include "platform/graphics/GraphicsQt.h"

#include <cstdlib>

namespace {

QRect ToQRect(const TRect& r)
{
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

// Sets the painter's pen (and raster operation) from a TPen; false for a clear pen.
bool ApplyPen(QPainter& painter, const TPen& pen)
{
    if (pen.GetStyle() == psClear) {
        painter.setPen(Qt::NoPen);
        return false;
    }
    QPen qpen(QColorFromColor(pen.GetColor()));
    qpen.setWidth(pen.GetWidth());
    qpen.setStyle(pen.GetStyle() == psDash  ? Qt::DashLine
                  : pen.GetStyle() == psDot ? Qt::DotLine
                                            : Qt::SolidLine);
    painter.setPen(qpen);
    switch (pen.GetMode()) {
    case pmNot:
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        break;
    case pmXor:
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    case pmCopy:
        break;
    }
    return true;
}

void ApplyBrush(QPainter& painter, const TBrush& brush)
{
    if (brush.GetStyle() == bsClear)
        painter.setBrush(Qt::NoBrush);
    else
        painter.setBrush(QColorFromColor(brush.GetColor()));
}

// The last pixel a line from 'from' to 'to' covers when 'to' itself is left out.
QPoint LastPointBefore(const QPoint& from, const QPoint& to)
{
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const int steps = std::max(std::abs(dx), std::abs(dy));
    if (steps <= 1)
        return from;
    const auto at = [steps](int delta) {
        return static_cast<int>(std::lround(static_cast<double>(delta) * (steps - 1) / steps));
    };
    return QPoint(from.x() + at(dx), from.y() + at(dy));
}

// A copy of the bitmap's pixels in which its transparent colour has no alpha.
QImage DrawableImage(TBitmap* bitmap)
{
    QImage image = bitmap->Image().Pixels();
    if (!bitmap->GetTransparent())
        return image;
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = QColorFromColor(bitmap->GetTransparentColor()).rgb() & 0x00FFFFFFu;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0x00FFFFFFu) == key)
                line[x] = 0;
        }
    }
    return image;
}

}  // namespace

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()), pen_(std::make_unique<TPen>()),
      brush_(std::make_unique<TBrush>())
{
}

TCanvas::~TCanvas() = default;

HDC TCanvas::GetHandle() const
{
    return dc_;
}

void TCanvas::SetHandle(HDC dc)
{
    dc_ = dc;
}

HDC TCanvas::RequireHandle() const
{
    if (dc_ == nullptr)
        throw EInvalidOperation("Canvas does not allow drawing");
    return dc_;
}

TRect TCanvas::GetClipRect() const
{
    TRect r;
    if (dc_ != nullptr)
        GetClipBox(dc_, &r);
    return r;
}

std::vector<TRect> TCanvas::GetClipRects() const
{
    std::vector<TRect> rects;
    if (dc_ == nullptr)
        return rects;
    for (const QRect& r : dc_->ClipRegion())
        rects.push_back(Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1));
    return rects;
}

void TCanvas::MoveTo(Integer x, Integer y)
{
    penPos_ = Point(x, y);
}

void TCanvas::LineTo(Integer x, Integer y)
{
    HDC dc = RequireHandle();
    const QPoint from(penPos_.X, penPos_.Y);
    const QPoint to(x, y);
    penPos_ = Point(x, y);
    if (from == to)
        return;
    QPainter& painter = dc->BeginOperation();
    if (ApplyPen(painter, *pen_))
        painter.drawLine(from, LastPointBefore(from, to));
    painter.restore();
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    HDC dc = RequireHandle();
    QPainter& painter = dc->BeginOperation();
    if (ApplyPen(painter, *pen_)) {
        for (std::size_t i = 1; i < points.size(); ++i) {
            const QPoint from(points[i - 1].X, points[i - 1].Y);
            const QPoint to(points[i].X, points[i].Y);
            if (from != to)
                painter.drawLine(from, LastPointBefore(from, to));
        }
    }
    painter.restore();
}

void TCanvas::Polygon(const std::vector<TPoint>& points)
{
    HDC dc = RequireHandle();
    if (points.empty())
        return;
    QPolygon polygon;
    for (const TPoint& p : points)
        polygon << QPoint(p.X, p.Y);
    QPainter& painter = dc->BeginOperation();
    ApplyPen(painter, *pen_);
    ApplyBrush(painter, *brush_);
    painter.drawPolygon(polygon, Qt::OddEvenFill);
    painter.restore();
}

void TCanvas::Rectangle(Integer left, Integer top, Integer right, Integer bottom)
{
    HDC dc = RequireHandle();
    const TRect r = Rect(std::min(left, right), std::min(top, bottom), std::max(left, right),
                         std::max(top, bottom));
    if (IsRectEmpty(r))
        return;
    QPainter& painter = dc->BeginOperation();
    if (brush_->GetStyle() != bsClear)
        painter.fillRect(ToQRect(r), QColorFromColor(brush_->GetColor()));
    painter.setBrush(Qt::NoBrush);
    if (ApplyPen(painter, *pen_))
        painter.drawRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
    painter.restore();
}

void TCanvas::FillRect(const TRect& r)
{
    HDC dc = RequireHandle();
    if (brush_->GetStyle() == bsClear || IsRectEmpty(r))
        return;
    QPainter& painter = dc->BeginOperation();
    painter.fillRect(ToQRect(r), QColorFromColor(brush_->GetColor()));
    painter.restore();
}

void TCanvas::FrameRect(const TRect& r)
{
    HDC dc = RequireHandle();
    if (brush_->GetStyle() == bsClear || IsRectEmpty(r))
        return;
    const QColor color = QColorFromColor(brush_->GetColor());
    QPainter& painter = dc->BeginOperation();
    painter.fillRect(QRect(r.Left, r.Top, r.Width(), 1), color);
    painter.fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), color);
    painter.fillRect(QRect(r.Left, r.Top, 1, r.Height()), color);
    painter.fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), color);
    painter.restore();
}

void TCanvas::PrepareText(HDC dc)
{
    SelectObject(dc, font_->GetHandle());
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(font_->GetColor())));
    if (brush_->GetStyle() == bsClear) {
        SetBkMode(dc, TRANSPARENT);
    } else {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(brush_->GetColor())));
    }
}

void TCanvas::TextOut(Integer x, Integer y, const std::string& text)
{
    HDC dc = RequireHandle();
    PrepareText(dc);
    ExtTextOutA(dc, x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
    penPos_ = Point(x + TextWidth(text), y);
}

void TCanvas::TextRect(const TRect& r, Integer x, Integer y, const std::string& text)
{
    HDC dc = RequireHandle();
    PrepareText(dc);
    const UINT options = ETO_CLIPPED | (brush_->GetStyle() != bsClear ? ETO_OPAQUE : 0);
    ExtTextOutA(dc, x, y, options, &r, text.data(), static_cast<UINT>(text.size()), nullptr);
}

TSize TCanvas::TextExtent(const std::string& text)
{
    HDC dc = RequireHandle();
    SelectObject(dc, font_->GetHandle());
    TSize size;
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

void TCanvas::Draw(Integer x, Integer y, TBitmap* bitmap)
{
    HDC dc = RequireHandle();
    if (bitmap == nullptr || bitmap->Empty())
        return;
    const QImage image = DrawableImage(bitmap);
    QPainter& painter = dc->BeginOperation();
    painter.drawImage(QPoint(x, y), image);
    painter.restore();
}

void TCanvas::StretchDraw(const TRect& dest, TBitmap* bitmap)
{
    HDC dc = RequireHandle();
    if (bitmap == nullptr || bitmap->Empty() || IsRectEmpty(dest))
        return;
    const QImage image = DrawableImage(bitmap);
    QPainter& painter = dc->BeginOperation();
    painter.drawImage(ToQRect(dest), image);
    painter.restore();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& src)
{
    HDC dc = RequireHandle();
    if (source == nullptr)
        return;
    HDC sourceDc = source->RequireHandle();
    QImage* sourceImage = sourceDc->Image();
    if (sourceImage == nullptr)
        throw EInvalidOperation("Canvas cannot be copied from");
    if (IsRectEmpty(dest) || IsRectEmpty(src))
        return;
    sourceDc->EndPainting();
    const QImage part = sourceImage->copy(ToQRect(src));
    QPainter& painter = dc->BeginOperation();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(ToQRect(dest), part);
    painter.restore();
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& src, TColor color)
{
    HDC dc = RequireHandle();
    if (bitmap == nullptr || IsRectEmpty(dest) || IsRectEmpty(src))
        return;
    QImage part = bitmap->Image().Pixels().copy(ToQRect(src)).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = QColorFromColor(color).rgb() & 0x00FFFFFFu;
    const bool clear = brush_->GetStyle() == bsClear;
    const QRgb replacement = clear ? 0 : QColorFromColor(brush_->GetColor()).rgb();
    for (int y = 0; y < part.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x) {
            if ((line[x] & 0x00FFFFFFu) == key)
                line[x] = replacement;
        }
    }
    QPainter& painter = dc->BeginOperation();
    if (!clear)
        painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(ToQRect(dest), part);
    painter.restore();
}

TColor TCanvas::GetPixel(Integer x, Integer y)
{
    HDC dc = RequireHandle();
    QImage* image = dc->Image();
    if (image == nullptr || !image->rect().contains(x, y))
        return -1;
    dc->EndPainting();
    return static_cast<TColor>(ColorRefFromQColor(image->pixelColor(x, y)));
}

void TCanvas::SetPixel(Integer x, Integer y, TColor color)
{
    HDC dc = RequireHandle();
    QPainter& painter = dc->BeginOperation();
    painter.fillRect(QRect(x, y, 1, 1), QColorFromColor(color));
    painter.restore();
}
