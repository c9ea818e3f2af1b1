// An editor that opens its text-changing operations to the tests of text changes, the
// clipboard and undo, with helpers to read the buffer and the undo records.
#pragma once

#include "EditorFixture.h"

#include <sstream>
#include <string>
#include <vector>

class TTextEditProbe : public TQvEdit {
public:
    using TQvEdit::TQvEdit;
    using TCustomQvEdit::DoBlockIndent;
    using TCustomQvEdit::DoBlockUnindent;
    using TCustomQvEdit::DoCaseChange;
    using TCustomQvEdit::SetSelText;
    using TCustomQvEdit::SetSelTextPrimitive;
    using TCustomQvEdit::SetSelTextPrimitiveEx;
    using TCustomQvEdit::SetStepOnWorkingLine;

    // The buffer's lines as they are, one string each.
    std::vector<std::string> LineList() const
    {
        std::vector<std::string> result;
        for (int i = 0; i < GetLines()->Count(); ++i)
            result.push_back(GetLines()->Get(i));
        return result;
    }

    // The change reasons on the undo list, oldest first.
    std::vector<TQvChangeReason> UndoReasons() const
    {
        std::vector<TQvChangeReason> reasons;
        TQvEditUndoList copy;
        copy.Assign(GetUndoList());
        while (const auto item = copy.PopItem())
            reasons.insert(reasons.begin(), item->ChangeReason);
        return reasons;
    }

    // The caret, the selection, the view, the lists' lengths and Modified, to compare.
    std::string Positions()
    {
        std::ostringstream s;
        s << "caret " << GetCaretX() << ',' << GetCaretY() << " block " << GetBlockBegin().X << ','
          << GetBlockBegin().Y << '-' << GetBlockEnd().X << ',' << GetBlockEnd().Y << " mode "
          << static_cast<int>(GetSelectionMode()) << " view " << GetTopLine() << ',' << GetLeftChar() << " lists "
          << GetUndoList()->ItemCount() << '/' << GetRedoList()->ItemCount() << (GetModified() ? " modified" : "");
        return s.str();
    }

    // Selects Begin..End (Begin the anchor) with the caret at End, in Mode.
    void Select(TPoint Begin, TPoint End, TQvSelectionMode Mode = smNormal)
    {
        SetSelectionMode(Mode);
        SetCaretAndSelection(End, Begin, End);
    }
};

using TTextEditFixture = TEditorFixture<TTextEditProbe>;
