// Arbitrary bytes as an editing session on an editor: the first bytes make the text, the
// rest choose commands (typing and composed input in insert and overwrite mode, deleting,
// Enter, Tab, pastes in every mode, cut, indent, case, line deletions, drags, caret moves
// past line ends, selections in every mode), their arguments and where the text is
// saved, on an editor with the main window's editing options. No session crashes, hangs
// or touches memory it should not; undoing everything gives the text back byte for byte,
// redoing everything the edited text (twice over), every step lands on a text the session
// had, and the editor says "unmodified" at the saved text only.
#include "../tests/qvedit/editor/EditScript.h"

#include "app/EditorSettings.h"
#include "platform/runtime/CodePages.h"
#include "platform/forms/Forms.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Hands out the input's bytes as numbers below N; 0 once they are used up.
class TBytePick {
public:
    TBytePick(const std::uint8_t* Data, std::size_t Size) : data_(Data), size_(Size) {}
    std::uint32_t operator()(std::uint32_t N)
    {
        if (N == 0 || pos_ >= size_)
            return 0;
        return data_[pos_++] % N;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

TQvEdit& TheEditor()
{
    static TQvEdit* editor = [] {
        auto* form = new TForm(nullptr);
        form->SetBounds(0, 0, 600, 400);
        auto* e = new TQvEdit(form);
        e->SetBounds(0, 0, 500, 300);
        e->SetParent(form);
        form->Show();
        ApplyEditingSettings(*e);
        return e;
    }();
    return *editor;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application->Initialize();
    SetAnsiCodePage(1252);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const char alphabet[] = "ab \t(\r\n\xE9Z";
    TBytePick pick(data, size);
    std::string text;
    for (std::uint32_t n = pick(40); n > 0; --n)
        text += alphabet[pick(sizeof alphabet - 1)];

    TQvEdit& e = TheEditor();
    e.ClearAll();
    e.SetSelectionMode(smNormal);
    e.SetInsertMode(true);
    e.QvSetText(text);
    const std::uint32_t steps = pick(64) + 1;
    const std::string failure = editscript::RunSession(e, pick, steps, pick(steps + 1));
    if (!failure.empty()) {
        std::fprintf(stderr, "EditorCommandFuzz:%s\n", failure.c_str());
        std::abort();
    }
    // Nothing of the session outlives it. A line record keeps the address of a long line's
    // text where the leak checker does not look for addresses (at an offset of 4 within
    // its 8 bytes), so a text still held after the input, or at exit, would be reported
    // as lost.
    e.ClearAll();
    return 0;
}
