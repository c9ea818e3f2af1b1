// JPEG decoding through libjpeg. libjpeg's default error handler ends the process, so
// the decoder installs its own that jumps back (setjmp/longjmp) into the function that
// started the decoding, where the error becomes an exception. No C++ object with a
// destructor lives between the setjmp and a longjmp: the jump skips no destructor.
#include "platform/graphics/Jpeg.h"

#include "platform/graphics/Graphics.h"
#include "platform/graphics/GraphicsQt.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"

#include <QImage>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

namespace {

struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info)
{
    auto* error = reinterpret_cast<TJpegError*>(info->err);
    (*info->err->format_message)(info, error->Message);
    std::longjmp(error->Jump, 1);
}

// Warnings about damaged but decodable data are dropped; running out of data is an
// error, since libjpeg would pad a cut-off picture with grey rows and call it complete.
void EmitMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        ErrorExit(info);
}

// Pictures up to this many pixels are decoded (300 MB of pixels at most), and the decoder
// itself may hold this much besides: the whole-picture buffers of a picture in several
// scans, for the largest picture allowed.
constexpr unsigned long long kMaxPixels = 100ull * 1000 * 1000;
constexpr long kMaxDecoderBytes = 1536l * 1024 * 1024;

bool SizeAllowed(unsigned long long width, unsigned long long height)
{
    return width > 0 && height > 0 && width * height <= kMaxPixels;
}

// Where the decoder puts the pixels: RGB rows of Stride bytes, allocated by the caller
// once the size is known; nullptr when the picture is too large.
struct TTarget {
    unsigned char* (*Allocate)(void* Context, unsigned Width, unsigned Height, std::size_t* Stride);
    void* Context;
};

// The C part. Only plain data lives in this frame, so a longjmp back into it leaves no
// destructor unrun. Returns false with Error->Message set on failure.
bool Decode(const unsigned char* data, std::size_t size, TJpegError* error, const TTarget& target)
{
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&error->Manager);
    error->Manager.error_exit = ErrorExit;
    error->Manager.emit_message = EmitMessage;
    if (setjmp(error->Jump) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    // Refused before any picture memory is taken: a picture in several scans makes libjpeg
    // hold a buffer for the whole picture, 6 bytes a pixel and more, so a header of a few
    // hundred bytes claiming 65,000 x 40,000 pixels would take many gigabytes.
    if (!SizeAllowed(info.image_width, info.image_height)) {
        std::snprintf(error->Message, sizeof error->Message, "picture too large");
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.mem->max_memory_to_use = kMaxDecoderBytes;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    std::size_t stride = 0;
    unsigned char* pixels = target.Allocate(target.Context, info.output_width, info.output_height, &stride);
    if (pixels == nullptr) {
        std::snprintf(error->Message, sizeof error->Message, "picture too large");
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

unsigned char* AllocateImage(void* context, unsigned width, unsigned height, std::size_t* stride)
{
    auto* image = static_cast<QImage*>(context);
    if (!SizeAllowed(width, height))
        return nullptr;
    *image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB888);
    if (image->isNull())
        return nullptr;
    *stride = static_cast<std::size_t>(image->bytesPerLine());
    return image->bits();
}

}  // namespace

void LoadJpegFromMemory(const unsigned char* Data, std::size_t Size, TBitmap* Bitmap)
{
    if (Data == nullptr || Size == 0)
        throw EInvalidGraphic("JPEG error: no data");
    TJpegError error{};
    QImage image;
    if (!Decode(Data, Size, &error, TTarget{AllocateImage, &image}))
        throw EInvalidGraphic(std::string("JPEG error: ") + error.Message);
    Bitmap->Image().Replace(image);
}

void LoadJpegFromFile(const std::string& FileName, TBitmap* Bitmap)
{
    const std::string bytes = ReadFileBytes(FileName);  // names the file on failure
    LoadJpegFromMemory(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), Bitmap);
}

bool IsJpegFileName(const std::string& FileName)
{
    const std::string ext = LowerCase(ExtractFileExt(FileName));
    return ext == ".jpg" || ext == ".jpeg" || ext == ".jpe";
}
