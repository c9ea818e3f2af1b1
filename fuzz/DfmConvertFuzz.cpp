// Arbitrary bytes as a binary form stream and as a text form. Neither reader may crash,
// hang or fail in any way other than its own error. Whatever the binary reader accepts
// must be written as text the text reader accepts, and the binary the text reader makes
// must survive a trip through text unchanged.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "qvedit/highlighters/QvDfmConvert.h"

namespace {

void CheckAt(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "DfmConvertFuzz: check at line %d failed\n", line);
        std::abort();
    }
}

#define Check(condition) CheckAt((condition), __LINE__)

// The binary that text converts to, or an empty string when the text does not parse.
std::string TextToBinary(const std::string& text)
{
    try {
        return ObjectTextToBinary(text);
    } catch (const EParserError&) {
        return {};
    }
}

// Binary our own text reader made: text and back gives the very same bytes.
void CheckCanonicalBinary(const std::string& binary)
{
    const std::string text = ObjectBinaryToText(binary);  // must not throw
    Check(ObjectTextToBinary(text) == binary);
}

void FuzzBinary(const std::string& data)
{
    std::string text;
    try {
        TStreamOriginalFormat format = sofUnknown;
        text = ObjectResourceToText(data, format);
        if (format != sofBinary)
            return;
    } catch (const EReadError&) {
        return;
    }
    // Accepted binary may hold encodings text does not keep (an integer wider than it
    // needs, a narrow string as a wide one); after one trip it is canonical.
    const std::string binary = TextToBinary(text);
    Check(!binary.empty());
    CheckCanonicalBinary(binary);
}

void FuzzText(const std::string& data)
{
    const std::string binary = TextToBinary(data);
    if (!binary.empty())
        CheckCanonicalBinary(binary);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    FuzzText(input);
    FuzzBinary(input);
    // Random bytes seldom start with the signature; give the object reader its turn.
    if (input.compare(0, 4, "TPF0") != 0)
        FuzzBinary("TPF0" + input);
    return 0;
}
