// Arbitrary bytes loaded as a text file and saved again: loading never fails on content,
// and the saved text loads back as the same lines in the same line-end style.
#include "qvedit/core/QvEditTextBuffer.h"

#include "platform/Streams.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> LinesOf(TQvEditStringList& list)
{
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(list.Strings(i));
    return lines;
}

std::string Save(TQvEditStringList& list)
{
    TStringStream out;
    list.SaveToStream(&out);
    return out.DataString();
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);

    TQvEditStringList list;
    TStringStream in(input);
    list.LoadFromStream(&in);
    list.GetLengthOfLongestLine();
    std::string saved = Save(list);

    TQvEditStringList reloaded;
    TStringStream again(saved);
    reloaded.LoadFromStream(&again);
    Check(LinesOf(reloaded) == LinesOf(list));
    Check(reloaded.GetFileFormat() == list.GetFileFormat() || list.Count() == 0);
    Check(Save(reloaded) == saved);

    // Without a final line break an empty last line cannot be told from none, so the
    // check is that a second save changes nothing.
    TQvEditStringList open;
    open.SetFinalLineBreak(false);
    TStringStream in2(input);
    open.LoadFromStream(&in2);
    std::string openSaved = Save(open);
    TQvEditStringList openReloaded;
    openReloaded.SetFinalLineBreak(false);
    TStringStream again2(openSaved);
    openReloaded.LoadFromStream(&again2);
    Check(Save(openReloaded) == openSaved);
    return 0;
}
