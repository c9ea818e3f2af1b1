// Arbitrary bytes as a JPEG picture: decoding either gives a bitmap of the picture's
// size or raises EInvalidGraphic, leaving the bitmap as it was. It never exits, crashes
// or reads outside the data.
#include "platform/graphics/Graphics.h"
#include "platform/graphics/Jpeg.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void CheckAt(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "JpegFuzz: check at line %d failed\n", line);
        std::abort();
    }
}

#define Check(condition) CheckAt((condition), __LINE__)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TBitmap bitmap;
    bitmap.SetSize(2, 3);
    try {
        LoadJpegFromMemory(data, size, &bitmap);
        Check(bitmap.GetWidth() > 0 && bitmap.GetHeight() > 0);
    } catch (const EInvalidGraphic&) {
        Check(bitmap.GetWidth() == 2 && bitmap.GetHeight() == 3);
    }
    return 0;
}
