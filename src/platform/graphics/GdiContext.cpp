// Device contexts: the painter or image they draw on, their state and its saved copies.
#include "platform/graphics/FontResolve.h"
#include "platform/graphics/GraphicsQt.h"

TDeviceCaps ScreenDeviceCaps(int width, int height)
{
    TDeviceCaps caps;
    caps.Technology = DT_RASDISPLAY;
    caps.PixelsPerInchX = caps.PixelsPerInchY = ScreenPixelsPerInch();
    caps.Width = caps.PhysicalWidth = width;
    caps.Height = caps.PhysicalHeight = height;
    return caps;
}

TDeviceContext::TDeviceContext(QPainter* painter, const TDeviceCaps& caps, const QRect& bounds)
    : caps_(caps), bounds_(bounds), external_(painter)
{
    if (painter != nullptr && painter->device() != nullptr &&
        painter->device()->devType() == QInternal::Image)
        image_ = static_cast<QImage*>(painter->device());
    SelectFont(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
}

TDeviceContext::TDeviceContext(QImage* image, const TDeviceCaps& caps)
    : caps_(caps), bounds_(image->rect()), image_(image)
{
    SelectFont(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
}

TDeviceContext::TDeviceContext(const TDeviceCaps& caps)
    : caps_(caps), bounds_(0, 0, 1, 1), ownImage_(1, 1, QImage::Format_ARGB32_Premultiplied)
{
    ownImage_.fill(Qt::white);
    image_ = &ownImage_;
    SelectFont(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
}

TDeviceContext::~TDeviceContext()
{
    EndPainting();
    DropFont(state_.Font);
    for (const TDcState& s : saved_)
        DropFont(s.Font);
}

TDeviceCaps TDeviceContext::Caps() const
{
    TDeviceCaps caps = caps_;
    if (external_ == nullptr && image_ != &ownImage_) {
        caps.Width = caps.PhysicalWidth = image_->width();
        caps.Height = caps.PhysicalHeight = image_->height();
    }
    return caps;
}

QPainter& TDeviceContext::Painter()
{
    if (external_ != nullptr)
        return *external_;
    if (!own_.isActive()) {
        // An empty image cannot be painted on: drawing then goes to a scratch pixel.
        QImage* target = image_;
        if (target->isNull()) {
            if (ownImage_.isNull())
                ownImage_ = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
            target = &ownImage_;
        }
        bounds_ = image_->rect();
        own_.begin(target);
    }
    return own_;
}

void TDeviceContext::EndPainting()
{
    if (own_.isActive())
        own_.end();
}

QImage* TDeviceContext::Image()
{
    return image_;
}

QRect TDeviceContext::ClipBox() const
{
    QRect bounds = bounds_;
    if (external_ == nullptr && image_ != nullptr)
        bounds = image_->rect();
    return state_.Clipped ? bounds.intersected(state_.Clip) : bounds;
}

QRegion TDeviceContext::ClipRegion() const
{
    const QRegion box(ClipBox());
    if (external_ == nullptr || !external_->hasClipping())
        return box;
    return external_->clipRegion().intersected(box);
}

QPainter& TDeviceContext::BeginOperation(const QRect* extra)
{
    QPainter& painter = Painter();
    painter.save();
    QRect clip = ClipBox();
    if (extra != nullptr)
        clip = clip.intersected(*extra);
    if (clip.isEmpty())
        clip = QRect(bounds_.topLeft(), QSize(0, 0));
    painter.setClipRect(clip, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    return painter;
}

void TDeviceContext::HoldFont(HFONT font)
{
    if (font != nullptr)
        font->AddSelect();
}

void TDeviceContext::DropFont(HFONT font)
{
    if (font != nullptr)
        font->ReleaseSelect();
}

HFONT TDeviceContext::SelectFont(HFONT font)
{
    HFONT previous = state_.Font;
    if (font == previous)
        return previous;
    HoldFont(font);
    state_.Font = font;
    // An orphan whose last hold this was is freed here; the caller then gets nullptr
    // rather than a dangling handle.
    const bool stillAlive = previous == nullptr || previous->SelectCount() > 1 ||
                            !previous->IsOrphan();
    DropFont(previous);
    return stillAlive ? previous : nullptr;
}

TGdiFontData& TDeviceContext::FontData()
{
    return state_.Font->Data();
}

int TDeviceContext::Save()
{
    HoldFont(state_.Font);
    saved_.push_back(state_);
    return static_cast<int>(saved_.size());
}

bool TDeviceContext::Restore(int saved)
{
    const int depth = static_cast<int>(saved_.size());
    const int level = saved < 0 ? depth + saved + 1 : saved;
    if (saved == 0 || level < 1 || level > depth)
        return false;
    while (static_cast<int>(saved_.size()) > level) {
        DropFont(saved_.back().Font);
        saved_.pop_back();
    }
    DropFont(state_.Font);
    state_ = saved_.back();  // the saved copy's hold passes to the current state
    saved_.pop_back();
    return true;
}

TPainterCanvasScope::TPainterCanvasScope(TCanvas* canvas, QPainter* painter,
                                         const TDeviceCaps& caps, const QRect& bounds)
    : canvas_(canvas), dc_(painter, caps, bounds)
{
    canvas_->SetHandle(&dc_);
}

TPainterCanvasScope::~TPainterCanvasScope()
{
    canvas_->SetHandle(nullptr);
}
