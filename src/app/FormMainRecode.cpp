// The main window's code-page conversions of the whole text between code page 1251 and
// KOI8-R, code page 866 and ISO-8859-5.
//
// The text is converted line by line inside the editor, so that every line, a trailing
// empty one included, stays where it was. As when the text is set anew, the undo steps
// go (they would put back bytes of the other code page); the text counts as modified, so
// that closing or opening another file asks before the converted text is lost.
#include "app/MainForm.h"
#include "app/Recode.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"

#include <optional>
#include <string>
#include <string_view>

namespace {

using TConversion = std::optional<std::string> (*)(int Kind, std::string_view Text);

void ConvertText(TQvEdit* Editor, TConversion Convert, int Kind)
{
    TQvEditStringList* lines = Editor->GetLines();
    Editor->BeginUpdate();
    try {
        for (int i = 0; i < lines->Count(); ++i) {
            const std::string line = lines->Strings(i);
            const std::optional<std::string> converted = Convert(Kind, line);
            if (converted && *converted != line)
                lines->Put(i, *converted);
        }
    } catch (...) {
        Editor->EndUpdate();
        throw;
    }
    Editor->EndUpdate();
    Editor->ClearUndo();
    Editor->SetModified(true);
}

}  // namespace

void TfrmEdit::EncodingWinKoi(TObject*)
{
    ConvertText(Editor, Recode::CodeString, Recode::ekKoi8R);
}

void TfrmEdit::EncodingWinDos(TObject*)
{
    ConvertText(Editor, Recode::CodeString, Recode::ekDos);
}

void TfrmEdit::EncodingWinIso(TObject*)
{
    ConvertText(Editor, Recode::CodeString, Recode::ekIso);
}

void TfrmEdit::EncodingKoiWin(TObject*)
{
    ConvertText(Editor, Recode::EncodeString, Recode::ekKoi8R);
}

void TfrmEdit::EncodingDosWin(TObject*)
{
    ConvertText(Editor, Recode::EncodeString, Recode::ekDos);
}

void TfrmEdit::EncodingIsoWin(TObject*)
{
    ConvertText(Editor, Recode::EncodeString, Recode::ekIso);
}
