// Arbitrary bytes as a completion item: parsed, stripped to plain text, painted and measured
// on a bitmap with columns and images, converted from the older mark-up and used as a
// parameter list. Nothing may crash, hang or read out of bounds, and painting and measuring
// must reach the same x.
#include "platform/forms/Forms.h"
#include "platform/graphics/Graphics.h"
#include "qvedit/completion/QvCompletionFormat.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void CheckAt(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "CompletionMarkupFuzz: check at line %d failed\n", line);
        std::abort();
    }
}

#define Check(condition) CheckAt((condition), __LINE__)

struct TFuzzSurface {
    TBitmap Bitmap;
    TImageList Images;
    TProposalColumns Columns;

    TFuzzSurface()
    {
        Bitmap.SetSize(200, 20);
        Bitmap.GetCanvas()->GetFont()->SetName("DejaVu Sans");
        Images.SetWidth(8);
        Images.SetHeight(8);
        TBitmap strip;
        strip.SetSize(16, 8);  // two images
        Images.Add(&strip, nullptr);
        Columns.Add()->SetBiggestWord("WWW");
        Columns.Add()->SetDefaultFontStyle(fsBold);
    }
};

TFuzzSurface* Surface = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Application->Initialize();
    Surface = new TFuzzSurface;  // lives for the whole run
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the commands to drop and the flags; the rest is the item.
    const std::uint8_t options = data[0];
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    TFormatChunkList chunks;
    ParseFormattedString(text, chunks, TFormatCommands::FromBits(options & 0x3F));
    Check(static_cast<std::size_t>(chunks.Count()) <= text.size());

    const std::string plain = StripFormatCommands(text);
    Check(plain.size() <= text.size());
    if (text.find('\\') == std::string::npos)
        Check(plain == text);

    TCanvas& canvas = *Surface->Bitmap.GetCanvas();
    TProposalColumns* columns = (options & 0x40) != 0 ? &Surface->Columns : nullptr;
    TImageList* images = (options & 0x80) != 0 ? &Surface->Images : nullptr;
    const TRect rect = Rect(0, 0, 200, 20);
    const Integer painted = PaintFormatChunks(canvas, rect, chunks, false, images, columns);
    const Integer measured = PaintFormatChunks(canvas, rect, chunks, true, images, columns);
    Check(painted == measured);
    FormattedTextOut(canvas, rect, text, true, columns, images);
    FormattedTextWidth(canvas, text, columns, images);

    TFormatChunkList converted;
    ParseFormattedString(PrettyTextToFormattedString(text, (options & 1) != 0), converted, {});
    FormatParameterHint(text, options % 4 - 1);
    return 0;
}
