// Glyph strips from the built-in images, shared process-wide.
#include "qvedit/core/QvEditMiscClasses.h"

#include <memory>
#include <vector>

#include "platform/runtime/SysUtils.h"

namespace {

struct TInternalBitmap {
    Integer UsageCount;
    std::string Name;  // upper case
    std::unique_ptr<TBitmap> Bitmap;
};

// The cache exists only while some image uses it.
std::unique_ptr<std::vector<TInternalBitmap>>& InternalBitmaps()
{
    static std::unique_ptr<std::vector<TInternalBitmap>> list;
    return list;
}

TBitmap* CreateBitmapFromInternalList(const std::string& name)
{
    auto& list = InternalBitmaps();
    if (!list)
        list = std::make_unique<std::vector<TInternalBitmap>>();
    const std::string key = UpperCase(name);
    for (TInternalBitmap& entry : *list) {
        if (entry.Name == key) {
            ++entry.UsageCount;
            return entry.Bitmap.get();
        }
    }
    auto bitmap = std::make_unique<TBitmap>();
    try {
        bitmap->LoadFromResourceName(name);
    } catch (...) {
        if (list->empty())
            list.reset();
        throw;
    }
    list->push_back(TInternalBitmap{1, key, std::move(bitmap)});
    return list->back().Bitmap.get();
}

void FreeBitmapFromInternalList(TBitmap* bitmap)
{
    auto& list = InternalBitmaps();
    if (!list)
        return;
    for (auto it = list->begin(); it != list->end(); ++it) {
        if (it->Bitmap.get() != bitmap)
            continue;
        if (--it->UsageCount == 0)
            list->erase(it);
        break;
    }
    if (list->empty())
        list.reset();
}

}  // namespace

TQvInternalImage::TQvInternalImage(const std::string& Name, Integer Count)
    : images_(CreateBitmapFromInternalList(Name)), height_(images_->GetHeight()), count_(Count)
{
    // A count below 1 leaves no glyph to draw (and nothing to divide by).
    width_ = count_ > 0 ? (images_->GetWidth() + count_ / 2) / count_ : 0;
}

TQvInternalImage::~TQvInternalImage()
{
    FreeBitmapFromInternalList(images_);
}

bool TQvInternalImage::GlyphRects(Integer Number, Integer X, Integer Y, Integer LineHeight,
                                  TRect& Dest, TRect& Source) const
{
    if (Number < 0 || Number >= count_)
        return false;
    const Integer left = Number * width_;
    if (LineHeight >= height_) {
        const Integer top = Y + (LineHeight - height_) / 2;
        Source = TRect{left, 0, left + width_, height_};
        Dest = TRect{X, top, X + width_, top + height_};
    } else {
        const Integer top = (height_ - LineHeight) / 2;
        Source = TRect{left, top, left + width_, top + LineHeight};
        Dest = TRect{X, Y, X + width_, Y + LineHeight};
    }
    return true;
}

void TQvInternalImage::DrawMark(TCanvas* ACanvas, Integer Number, Integer X, Integer Y,
                                Integer LineHeight)
{
    TRect dest;
    TRect source;
    if (GlyphRects(Number, X, Y, LineHeight, dest, source))
        ACanvas->CopyRect(dest, images_->GetCanvas(), source);
}

void TQvInternalImage::DrawMarkTransparent(TCanvas* ACanvas, Integer Number, Integer X,
                                           Integer Y, Integer LineHeight,
                                           TColor TransparentColor)
{
    TRect dest;
    TRect source;
    if (GlyphRects(Number, X, Y, LineHeight, dest, source))
        ACanvas->BrushCopy(dest, images_, source, TransparentColor);
}
