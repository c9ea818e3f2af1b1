// Arbitrary bytes loaded as a text file and saved again: loading never fails on content,
// and the saved text loads back as the same lines in the same line-end style. Then the
// loaded lines are edited and the list emptied, which must never read a released block.
#include "qvedit/core/QvEditTextBuffer.h"

#include "platform/runtime/Streams.h"

#include <algorithm>
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

// Edits a freshly loaded list, whose lines still point into the loaded block, with
// operations chosen by the input's bytes, and follows them on a plain copy of the lines.
// Emptying the list releases the block, so lines read afterwards must all be owned.
void EditAfterLoad(TQvEditStringList& list, const std::string& input)
{
    std::vector<std::string> model = LinesOf(list);
    for (std::size_t k = 0; k + 1 < input.size() && k < 64; k += 2) {
        auto count = static_cast<int>(model.size());
        auto op = static_cast<unsigned char>(input[k]) % 7;
        int i = count == 0 ? 0 : static_cast<unsigned char>(input[k + 1]) % count;
        int j = count == 0 ? 0 : (i * 7 + 3) % count;
        if (count == 0 || op == 0) {
            std::string text = input.substr(k, 20);
            list.Insert(i, text);
            model.insert(model.begin() + i, text);
        } else if (op == 1) {
            list.Put(i, model[j] + "+");
            model[i] = model[j] + "+";
        } else if (op == 2) {
            list.Delete(i);
            model.erase(model.begin() + i);
        } else if (op == 3) {
            list.Exchange(i, j);
            std::swap(model[i], model[j]);
        } else if (op == 4) {
            list.Move(i, j);
            std::string moved = model[i];
            model.erase(model.begin() + i);
            model.insert(model.begin() + j, moved);
        } else if (op == 5) {
            list.DeleteLines(i, 3);
            model.erase(model.begin() + i, model.begin() + std::min(count, i + 3));
        } else {
            list.InsertLines(i, 2);
            model.insert(model.begin() + i, 2, std::string());
        }
    }
    Check(LinesOf(list) == model);
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

    EditAfterLoad(list, input);
    list.Clear();
    list.Add(input.substr(0, 16));
    Check(list.Strings(0) == input.substr(0, 16));
    return 0;
}
