// JPEG decoding: pictures made here with libjpeg's compressor, then damaged ones.
#include "platform/controls/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/GraphicsQt.h"
#include "platform/graphics/Jpeg.h"
#include "platform/window/ControlsQt.h"

#include "HeapCount.h"

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

enum class TPattern { Halves, Gray, Noise };

// A width x height picture as JPEG bytes: red on the left half and blue on the right,
// plain grey, or noise (which leaves most of the file to the picture data).
std::vector<unsigned char> MakeJpeg(int width, int height, TPattern pattern = TPattern::Halves)
{
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    const bool gray = pattern == TPattern::Gray;
    info.input_components = gray ? 1 : 3;
    info.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * info.input_components);
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < width; ++x) {
            if (gray) {
                row[x] = 200;
                continue;
            }
            const bool left = x < width / 2;
            const auto noise = static_cast<unsigned char>((x * 7919 + info.next_scanline * 104729) % 251);
            const bool noisy = pattern == TPattern::Noise;
            row[x * 3] = noisy ? noise : left ? 255 : 0;
            row[x * 3 + 1] = noisy ? static_cast<unsigned char>(noise * 3) : 0;
            row[x * 3 + 2] = left ? 0 : 255;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<unsigned char> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

bool Near(int a, int b)
{
    return std::abs(a - b) <= 24;
}

void ExpectColorNear(const TBitmap& bitmap, int x, int y, int r, int g, int b)
{
    const QRgb pixel = bitmap.Image().Pixels().pixel(x, y);
    EXPECT_TRUE(Near(qRed(pixel), r) && Near(qGreen(pixel), g) && Near(qBlue(pixel), b))
        << "at " << x << "," << y << ": " << qRed(pixel) << " " << qGreen(pixel) << " " << qBlue(pixel);
}

std::string WriteFile(const QTemporaryDir& dir, const char* name, const std::vector<unsigned char>& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path.toStdString();
}

}  // namespace

TEST(JpegTest, DecodesColourAndGreyPictures)
{
    const std::vector<unsigned char> jpeg = MakeJpeg(32, 16);
    TBitmap bitmap;
    LoadJpegFromMemory(jpeg.data(), jpeg.size(), &bitmap);
    ASSERT_EQ(bitmap.GetWidth(), 32);
    ASSERT_EQ(bitmap.GetHeight(), 16);
    ExpectColorNear(bitmap, 3, 8, 255, 0, 0);
    ExpectColorNear(bitmap, 28, 8, 0, 0, 255);

    const std::vector<unsigned char> gray = MakeJpeg(8, 8, TPattern::Gray);
    LoadJpegFromMemory(gray.data(), gray.size(), &bitmap);
    ASSERT_EQ(bitmap.GetWidth(), 8);
    ExpectColorNear(bitmap, 4, 4, 200, 200, 200);
}

TEST(JpegTest, DamagedDataRaisesAndKeepsTheBitmap)
{
    const std::vector<unsigned char> jpeg = MakeJpeg(64, 64, TPattern::Noise);
    ASSERT_GT(jpeg.size(), 4000u);  // mostly picture data
    TBitmap bitmap;
    bitmap.SetSize(3, 2);
    const auto expectRejected = [&](const std::vector<unsigned char>& bytes) {
        EXPECT_THROW(LoadJpegFromMemory(bytes.data(), bytes.size(), &bitmap), EInvalidGraphic);
        EXPECT_EQ(bitmap.GetWidth(), 3);
        EXPECT_EQ(bitmap.GetHeight(), 2);
    };
    // Cut off in the middle of the picture data, in the header, and right after the
    // start marker.
    expectRejected({jpeg.begin(), jpeg.begin() + static_cast<long>(jpeg.size() / 2)});
    expectRejected({jpeg.begin(), jpeg.begin() + 40});
    expectRejected({jpeg.begin(), jpeg.begin() + 2});
    expectRejected({'G', 'I', 'F', '8', '9', 'a', 0, 0});
    EXPECT_THROW(LoadJpegFromMemory(nullptr, 0, &bitmap), EInvalidGraphic);
    // Still decodes afterwards: the failures left libjpeg in no odd state.
    LoadJpegFromMemory(jpeg.data(), jpeg.size(), &bitmap);
    EXPECT_EQ(bitmap.GetWidth(), 64);
}

// A header of a few hundred bytes that claims 65,035 x 39,440 pixels in several scans is
// refused from its header, before the decoder takes memory for the whole picture (which
// took gigabytes); the bitmap stays as it was.
TEST(JpegTest, APictureClaimingBillionsOfPixelsIsRefusedBeforeItsMemoryIsTaken)
{
    TBitmap bitmap;
    bitmap.SetSize(3, 2);
    const heapcount::TScope heap;
    try {
        LoadJpegFromFile(QV_TEST_DATA_DIR "/jpeg/huge-progressive.jpg", &bitmap);
        FAIL() << "no error";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "JPEG error: picture too large");
    }
    EXPECT_EQ(bitmap.GetWidth(), 3);
    EXPECT_EQ(bitmap.GetHeight(), 2);
    if (heapcount::Available()) {
        EXPECT_LT(heap.Largest(), 1u << 20);
    }
}

TEST(JpegTest, PictureLoadsJpegFilesAndKeepsItsPictureOnFailure)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::vector<unsigned char> jpeg = MakeJpeg(21, 10);
    const std::string good = WriteFile(dir, "about.JPG", jpeg);
    const std::string cut = WriteFile(dir, "cut.jpeg", {jpeg.begin(), jpeg.begin() + 100});

    TForm form(nullptr);
    TImage image(&form);
    image.Picture()->LoadFromFile(good);
    EXPECT_EQ(image.Picture()->Width(), 21);
    EXPECT_EQ(image.Picture()->Height(), 10);
    auto* label = dynamic_cast<QLabel*>(image.Window()->Hosted());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->pixmap().size(), QSize(21, 10));

    EXPECT_THROW(image.Picture()->LoadFromFile(cut), EInvalidGraphic);
    EXPECT_THROW(image.Picture()->LoadFromFile(dir.filePath("missing.jpg").toStdString()), EFOpenError);
    EXPECT_EQ(image.Picture()->Width(), 21);
    EXPECT_EQ(label->pixmap().size(), QSize(21, 10));
}

TEST(JpegTest, RecognisesJpegFileNames)
{
    EXPECT_TRUE(IsJpegFileName("a/b/Photo.JPEG"));
    EXPECT_TRUE(IsJpegFileName("x.jpg"));
    EXPECT_TRUE(IsJpegFileName("x.jpe"));
    EXPECT_FALSE(IsJpegFileName("x.jpg.png"));
    EXPECT_FALSE(IsJpegFileName("jpg"));
}
