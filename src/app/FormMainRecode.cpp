// The main window's code-page conversions of the whole text between code page 1251 and
// KOI8-R, code page 866 and ISO-8859-5.
//
// A conversion is one undo step, made as a replace all makes its step: in each line it
// changes, the span from the first to the last changed byte is selected and replaced.
// Lines are neither added nor taken, so every line (a trailing empty one included), its
// line end and the bookmarks on it stay where they were. Only bytes from 128 up change,
// so trailing blanks are not trimmed on the way. The caret and selection come back as
// they were, after the conversion, its undo and its redo alike; the text counts as
// modified until an undo takes it back to the saved state.
#include "app/MainForm.h"
#include "app/Recode.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"

#include <optional>
#include <string>
#include <string_view>

namespace {

using TConversion = std::optional<std::string> (*)(int Kind, std::string_view Text);

// The caret and selection as the user left them; the anchor is the end the caret is not
// at.
struct TCaretAndSelection {
    TPoint Caret;
    TPoint Anchor;
    TPoint Moving;
    TQvSelectionMode Mode;

    explicit TCaretAndSelection(const TCustomQvEdit& Editor)
        : Caret(Editor.GetCaretXY()), Mode(Editor.GetSelectionMode())
    {
        const TPoint begin = Editor.GetBlockBegin();
        const TPoint end = Editor.GetBlockEnd();
        const bool caretAtBegin = Caret == begin && Caret != end;
        Anchor = caretAtBegin ? end : begin;
        Moving = caretAtBegin ? begin : end;
    }
    void Restore(TCustomQvEdit& Editor) const
    {
        Editor.SetSelectionMode(Mode);
        Editor.SetCaretAndSelection(Caret, Anchor, Moving);
    }
    // Undo replays the records at the block's start last and redo those at its end last,
    // so that either leaves the caret and selection as they were.
    void Record(TCustomQvEdit& Editor) const
    {
        TQvEditUndoList& undo = *Editor.GetUndoList();
        undo.AddChange(crSelection, Anchor, Moving, std::string(), Mode);
        undo.AddChange(crCaret, Caret, Caret, std::string(), Mode);
    }
};

// Replaces, with undo records, the span of line Y from the first to the last byte in
// which Line and Converted (of the same length) differ; nothing when they do not.
void ReplaceChangedSpan(TCustomQvEdit& Editor, Integer Y, const std::string& Line, const std::string& Converted)
{
    std::size_t from = 0;
    while (from < Line.size() && Line[from] == Converted[from])
        ++from;
    if (from == Line.size())
        return;
    std::size_t to = Line.size();
    while (Line[to - 1] == Converted[to - 1])
        --to;
    const TPoint begin{static_cast<Integer>(from) + 1, Y};
    const TPoint end{static_cast<Integer>(to) + 1, Y};
    Editor.SetCaretAndSelection(end, begin, end);
    Editor.SetSelTextExternal(Converted.substr(from, to - from));
}

// The editor's options while a conversion replaces: stored lines keep their trailing
// blanks, and a span can be selected. The user's options come back on every exit.
class TReplacingOptions {
public:
    explicit TReplacingOptions(TCustomQvEdit& Editor) : editor_(Editor), saved_(Editor.GetOptions())
    {
        TQvEditorOptions replacing = saved_;
        replacing.Exclude(eoTrimTrailingSpaces);
        replacing.Exclude(eoNoSelection);
        editor_.SetOptions(replacing);
    }
    ~TReplacingOptions() { editor_.SetOptions(saved_); }
    TReplacingOptions(const TReplacingOptions&) = delete;
    TReplacingOptions& operator=(const TReplacingOptions&) = delete;

private:
    TCustomQvEdit& editor_;
    TQvEditorOptions saved_;
};

void ConvertText(TCustomQvEdit& Editor, TConversion Convert, int Kind)
{
    TQvEditStringList* lines = Editor.GetLines();
    const TCaretAndSelection kept(Editor);
    const TReplacingOptions options(Editor);
    const TQvViewBatchScope batch(Editor);
    bool recorded = false;
    Editor.BeginUndoBlock();
    try {
        Editor.SetSelectionMode(smNormal);
        for (int i = 0; i < lines->Count(); ++i) {
            const std::string line = lines->Strings(i);
            const std::optional<std::string> converted = Convert(Kind, line);
            if (!converted || *converted == line)
                continue;
            if (!recorded)
                kept.Record(Editor);
            recorded = true;
            ReplaceChangedSpan(Editor, i + 1, line, *converted);
        }
        if (recorded)
            kept.Record(Editor);
        kept.Restore(Editor);
    } catch (...) {
        Editor.EndUndoBlock();
        throw;
    }
    Editor.EndUndoBlock();
}

}  // namespace

void TfrmEdit::EncodingWinKoi(TObject*)
{
    ConvertText(*Editor, Recode::CodeString, Recode::ekKoi8R);
}

void TfrmEdit::EncodingWinDos(TObject*)
{
    ConvertText(*Editor, Recode::CodeString, Recode::ekDos);
}

void TfrmEdit::EncodingWinIso(TObject*)
{
    ConvertText(*Editor, Recode::CodeString, Recode::ekIso);
}

void TfrmEdit::EncodingKoiWin(TObject*)
{
    ConvertText(*Editor, Recode::EncodeString, Recode::ekKoi8R);
}

void TfrmEdit::EncodingDosWin(TObject*)
{
    ConvertText(*Editor, Recode::EncodeString, Recode::ekDos);
}

void TfrmEdit::EncodingIsoWin(TObject*)
{
    ConvertText(*Editor, Recode::EncodeString, Recode::ekIso);
}
