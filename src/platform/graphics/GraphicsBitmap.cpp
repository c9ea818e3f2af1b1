// Bitmaps (an image with a canvas) and image lists.
#include "platform/graphics/GraphicsQt.h"

#include "platform/runtime/SafeWrite.h"
#include "platform/runtime/Streams.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <climits>

namespace {

constexpr QImage::Format kPixelFormat = QImage::Format_ARGB32_Premultiplied;

bool EndsWithNoCase(const std::string& s, const std::string& suffix)
{
    if (s.size() < suffix.size())
        return false;
    return std::equal(suffix.rbegin(), suffix.rend(), s.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

QRgb RgbKey(TColor color)
{
    return QColorFromColor(color).rgb() & 0x00FFFFFFu;
}

}  // namespace

// ---- TBitmapImage ---------------------------------------------------------------------

TBitmapImage::TBitmapImage() : dc_(&image_, ScreenDeviceCaps(0, 0)) {}

QImage& TBitmapImage::Pixels()
{
    dc_.EndPainting();
    return image_;
}

void TBitmapImage::Replace(const QImage& image)
{
    dc_.EndPainting();
    image_ = image.isNull() ? QImage() : image.convertToFormat(kPixelFormat);
}

// ---- TBitmap --------------------------------------------------------------------------

TBitmap::TBitmap() : image_(std::make_unique<TBitmapImage>()), canvas_(std::make_unique<TCanvas>())
{
    canvas_->SetHandle(image_->Context());
}

TBitmap::~TBitmap() = default;

void TBitmap::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TBitmap*>(source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this)
        return;
    image_->Replace(other->image_->Pixels());
    transparent_ = other->transparent_;
    transparentColorSet_ = other->transparentColorSet_;
    transparentColor_ = other->transparentColor_;
}

Integer TBitmap::GetWidth() const
{
    return image_->Size().width();
}

Integer TBitmap::GetHeight() const
{
    return image_->Size().height();
}

void TBitmap::SetSize(Integer width, Integer height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    const QImage& old = image_->Pixels();
    if (width == old.width() && height == old.height())
        return;
    if (width == 0 || height == 0) {
        image_->Replace(QImage());
        return;
    }
    QImage grown(width, height, kPixelFormat);
    grown.fill(Qt::white);
    if (!old.isNull()) {
        QPainter painter(&grown);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPoint(0, 0), old);
    }
    image_->Replace(grown);
}

TColor TBitmap::GetTransparentColor() const
{
    if (transparentColorSet_)
        return transparentColor_;
    const QImage& pixels = image_->Pixels();
    if (pixels.isNull())
        return clNone;
    return static_cast<TColor>(ColorRefFromQColor(pixels.pixelColor(0, pixels.height() - 1)));
}

void TBitmap::SetTransparentColor(TColor color)
{
    transparentColor_ = color;
    transparentColorSet_ = true;
}

void TBitmap::LoadFromResourceName(const std::string& name)
{
    std::string file = name;
    if (file.find('.') == std::string::npos)
        file += ".png";
    const QString path = QStringLiteral(":/images/") + QString::fromStdString(file);
    // The format is the one its suffix names: told so, the toolkit reads it at once instead
    // of loading every image format plugin to look at the bytes first.
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    QImage image;
    if (name.empty() || !QFile::exists(path) || !reader.read(&image))
        throw EResNotFound("Resource " + name + " not found");
    image_->Replace(image);
}

void TBitmap::LoadFromFile(const std::string& path)
{
    const std::string bytes = ReadFileBytes(path);  // names the file and the reason on failure
    QImage image;
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX) ||
        !image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size())))
        throw EInvalidGraphic("File \"" + path + "\" is not a valid image");
    image_->Replace(image);
}

void TBitmap::SaveToFile(const std::string& path) const
{
    const bool bmp = EndsWithNoCase(path, ".bmp");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QImage& pixels = image_->Pixels();
    const QImage out = pixels.convertToFormat(bmp ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    if (pixels.isNull() || !out.save(&buffer, bmp ? "BMP" : "PNG"))
        throw EInvalidGraphic("Cannot encode the image for \"" + path + "\"");
    SafeWriteFile(path, std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

// ---- TImageList -----------------------------------------------------------------------

struct TImageList::TImages {
    std::vector<QImage> List;  // ARGB32, transparent pixels with alpha 0
};

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner), images_(std::make_unique<TImages>()) {}

// Those told of its end are told while the images are still there.
TImageList::~TImageList()
{
    BeforeDestruction();
}

void TImageList::SetWidth(Integer width)
{
    width = std::max(width, 1);
    if (width == width_)
        return;
    width_ = width;
    Clear();
}

void TImageList::SetHeight(Integer height)
{
    height = std::max(height, 1);
    if (height == height_)
        return;
    height_ = height;
    Clear();
}

Integer TImageList::Count() const
{
    return static_cast<Integer>(images_->List.size());
}

void TImageList::Clear()
{
    images_->List.clear();
}

namespace {

// Cuts 'source' into images of width x height; 'transparent' says which pixels (given
// the image pixel and its x, y in the source) are left out.
template <class Predicate>
std::vector<QImage> CutImages(const QImage& source, int width, int height, Predicate transparent)
{
    std::vector<QImage> result;
    const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
    const int count = std::max(1, argb.width() / width);
    for (int i = 0; i < count; ++i) {
        QImage piece(width, height, QImage::Format_ARGB32);
        piece.fill(Qt::transparent);
        for (int y = 0; y < height && y < argb.height(); ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            auto* out = reinterpret_cast<QRgb*>(piece.scanLine(y));
            for (int x = 0; x < width && i * width + x < argb.width(); ++x) {
                const int sx = i * width + x;
                out[x] = transparent(in[sx], sx, y) ? 0 : in[sx];
            }
        }
        result.push_back(piece);
    }
    return result;
}

}  // namespace

Integer TImageList::Add(TBitmap* image, TBitmap* mask)
{
    if (image == nullptr || image->Empty())
        return -1;
    const QImage maskPixels = mask != nullptr ? mask->Image().Pixels().convertToFormat(QImage::Format_RGB32)
                                              : QImage();
    const auto masked = [&maskPixels](QRgb, int x, int y) {
        return maskPixels.valid(x, y) && qGray(maskPixels.pixel(x, y)) >= 128;
    };
    const Integer first = Count();
    for (QImage& piece : CutImages(image->Image().Pixels(), width_, height_, masked))
        images_->List.push_back(std::move(piece));
    return first;
}

Integer TImageList::AddMasked(TBitmap* image, TColor maskColor)
{
    if (image == nullptr || image->Empty())
        return -1;
    const TColor color = maskColor == clDefault ? image->GetTransparentColor() : maskColor;
    const QRgb key = RgbKey(color);
    const auto masked = [key](QRgb pixel, int, int) { return (pixel & 0x00FFFFFFu) == key; };
    const Integer first = Count();
    for (QImage& piece : CutImages(image->Image().Pixels(), width_, height_, masked))
        images_->List.push_back(std::move(piece));
    return first;
}

void TImageList::Draw(TCanvas* canvas, Integer x, Integer y, Integer index, bool enabled)
{
    if (canvas == nullptr || index < 0 || index >= Count())
        return;
    HDC dc = canvas->GetHandle();
    if (dc == nullptr)
        throw EInvalidOperation("Canvas does not allow drawing");
    QImage image = images_->List[static_cast<std::size_t>(index)];
    if (!enabled) {
        for (int row = 0; row < image.height(); ++row) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
            for (int col = 0; col < image.width(); ++col) {
                const int gray = qGray(line[col]);
                line[col] = qRgba(gray, gray, gray, qAlpha(line[col]) / 2);
            }
        }
    }
    QPainter& painter = dc->BeginOperation();
    painter.drawImage(QPoint(x, y), image);
    painter.restore();
}
