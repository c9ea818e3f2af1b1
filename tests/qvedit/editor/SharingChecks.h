// Editors sharing one buffer, and a paste into an empty text undone and redone: checked
// the same way with the editor's defaults (editor tests) and with the main window's
// editing settings (app tests). SetUp gives each new editor its options; every editor is
// shown on the given form, so that it has a view.
#pragma once

#include "EditScript.h"

#include "platform/forms/Forms.h"
#include "qvedit/editor/QvEdit.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace sharing {

using TSetUp = std::function<void(TCustomQvEdit&)>;

inline std::unique_ptr<TQvEdit> MakeEditor(TForm& Form, const TSetUp& SetUp)
{
    auto editor = std::make_unique<TQvEdit>(nullptr);
    editor->SetBounds(0, 0, 400, 300);
    editor->SetParent(&Form);
    SetUp(*editor);
    return editor;
}

inline void Do(TCustomQvEdit& E, TQvEditorCommand Command, char Char = '\0')
{
    E.CommandProcessor(Command, Char, nullptr);
}

inline void Go(TCustomQvEdit& E, TPoint P)
{
    E.CommandProcessor(ecGotoXY, '\0', &P);
}

// Selects From..To, the caret at To.
inline void Select(TCustomQvEdit& E, TPoint From, TPoint To)
{
    Go(E, From);
    E.CommandProcessor(ecSelGotoXY, '\0', &To);
}

inline std::string Numbered(int Count)
{
    std::string text;
    for (int i = 1; i <= Count; ++i)
        text += "line " + std::to_string(i) + (i < Count ? "\r\n" : "");
    return text;
}

// Whatever order the editors on a chain go in, none is left on a freed buffer: the one
// that reached the buffer through another sharer lets go when the owner goes, also after
// the sharer between them has let go itself; and when the sharer between them goes.
inline void CheckAChainOfSharersLetsGo(TForm& Form, const TSetUp& SetUp)
{
    for (int variant = 0; variant < 3; ++variant) {
        SCOPED_TRACE("variant " + std::to_string(variant));
        auto a = MakeEditor(Form, SetUp);
        auto b = MakeEditor(Form, SetUp);
        auto c = MakeEditor(Form, SetUp);
        a->QvSetText("one\r\ntwo");
        b->SetLinesPointer(a.get());
        c->SetLinesPointer(b.get());
        ASSERT_EQ(c->GetLines(), a->GetLines());
        if (variant == 1)
            b->RemoveLinesPointer();
        if (variant == 2) {
            b.reset();  // the editor c hooked through goes: c lets go of the buffer too
            EXPECT_EQ(c->GetLines()->Count(), 0);
            EXPECT_EQ(a->QvGetText(), "one\r\ntwo");
        }
        a.reset();
        EXPECT_EQ(c->GetLines()->Count(), 0);
        if (b) {
            EXPECT_EQ(b->GetLines()->Count(), 0);
        }
        // Each is back on its own buffer, and edits it alone.
        Do(*c, ecChar, 'c');
        EXPECT_EQ(c->QvGetText(), "c");
        if (b) {
            Do(*b, ecChar, 'b');
            EXPECT_EQ(b->QvGetText(), "b");
            EXPECT_EQ(c->QvGetText(), "c");
        }
    }
}

// A hook that would let a buffer hear itself is refused, directly or through a third
// editor; the buffers stay as they were and editing in any editor goes on.
inline void CheckAHookBackIsRefused(TForm& Form, const TSetUp& SetUp)
{
    auto a = MakeEditor(Form, SetUp);
    auto b = MakeEditor(Form, SetUp);
    auto c = MakeEditor(Form, SetUp);
    a->QvSetText("text");
    b->SetLinesPointer(a.get());
    a->SetLinesPointer(b.get());
    c->SetLinesPointer(b.get());
    a->SetLinesPointer(c.get());
    Go(*a, TPoint{5, 1});
    Do(*a, ecChar, 'A');
    Go(*b, TPoint{1, 1});
    Do(*b, ecChar, 'B');
    Go(*c, TPoint{1, 1});
    Do(*c, ecChar, 'C');
    EXPECT_EQ(a->QvGetText(), "CBtextA");
    EXPECT_EQ(b->GetLines(), a->GetLines());
    EXPECT_EQ(c->GetLines(), a->GetLines());
    // a still owns its buffer: when it goes, the others let go of it.
    a.reset();
    EXPECT_EQ(b->GetLines()->Count(), 0);
    EXPECT_EQ(c->GetLines()->Count(), 0);
}

// An owner that shows another editor's buffer while a third still shows the owner's own:
// each editor hears only the buffer it shows. A buffer cleared in one never clears the
// undo lists, nor moves the caret, of an editor that shows the other.
inline void CheckEachEditorHearsOnlyTheBufferItShows(TForm& Form, const TSetUp& SetUp)
{
    auto owner = MakeEditor(Form, SetUp);
    auto sharer = MakeEditor(Form, SetUp);
    auto other = MakeEditor(Form, SetUp);
    owner->QvSetText("x");
    other->QvSetText(Numbered(5));
    sharer->SetLinesPointer(owner.get());
    owner->SetLinesPointer(other.get());
    Go(*sharer, TPoint{2, 1});
    Do(*sharer, ecChar, 's');
    EXPECT_EQ(sharer->QvGetText(), "xs");

    // The owner's text is set anew: what the sharer did stays undoable.
    owner->QvSetText(Numbered(3));
    EXPECT_EQ(other->GetLines()->Count(), 3);
    EXPECT_EQ(sharer->QvGetText(), "xs");
    EXPECT_TRUE(sharer->GetCanUndo());
    EXPECT_EQ(sharer->GetCaretXY(), (TPoint{3, 1}));

    // And the other way round.
    Go(*owner, TPoint{7, 3});
    Do(*owner, ecChar, 'o');
    sharer->QvSetText("new");
    EXPECT_EQ(other->QvGetText(), "line 1\r\nline 2\r\nline 3o");
    EXPECT_TRUE(owner->GetCanUndo());
    EXPECT_EQ(owner->GetCaretXY(), (TPoint{8, 3}));
    owner->Undo();
    EXPECT_EQ(other->QvGetText(), Numbered(3));

    // The owner comes back to its own buffer, which the sharer still shows.
    owner->RemoveLinesPointer();
    EXPECT_EQ(owner->QvGetText(), "new");
    EXPECT_EQ(sharer->GetLines(), owner->GetLines());
    Go(*owner, TPoint{4, 1});
    Do(*owner, ecChar, '!');
    EXPECT_EQ(sharer->QvGetText(), "new!");
}

// Redo in an editor that shares the buffer replays the whole step, the blanks a change
// trimmed included, as one editor alone does; the redo list keeps what is still to redo.
inline void CheckRedoInASharerReplaysTheWholeStep(TForm& Form, const TSetUp& SetUp)
{
    auto a = MakeEditor(Form, SetUp);
    auto b = MakeEditor(Form, SetUp);
    a->QvSetText("one two three\r\nfour five");
    b->SetLinesPointer(a.get());
    Select(*b, TPoint{5, 1}, TPoint{5, 2});
    b->SetSelTextExternal("2\r\n3\r\n4 ");
    const std::string replaced = a->QvGetText();
    EXPECT_EQ(replaced, "one 2\r\n3\r\n4  five");
    b->Undo();
    EXPECT_EQ(a->QvGetText(), "one two three\r\nfour five");
    b->Redo();
    EXPECT_EQ(a->QvGetText(), replaced);
    EXPECT_FALSE(b->GetCanRedo());
    // Undo in one, redo in the other.
    b->Undo();
    a->Redo();
    EXPECT_EQ(a->QvGetText(), replaced);

    // The trimmed blanks are records of their own after the change's; redo trims again.
    for (TCustomQvEdit* e : {a.get(), b.get()})
        e->SetOptionFlag(eoTrimTrailingSpaces, true);
    a->QvSetText("aa\r\nzz");
    Select(*b, TPoint{1, 1}, TPoint{3, 2});
    b->SetSelTextExternal("bb  \r\nx  \r\ny  ");
    EXPECT_EQ(a->QvGetText(), "bb\r\nx\r\ny");
    b->Undo();
    EXPECT_EQ(a->QvGetText(), "aa\r\nzz");
    b->Redo();
    EXPECT_EQ(a->QvGetText(), "bb\r\nx\r\ny");
    EXPECT_FALSE(b->GetCanRedo());
    b->Undo();
    EXPECT_EQ(a->QvGetText(), "aa\r\nzz");
}

// Lines another editor deletes take every other editor's caret, selection and view with
// them into the text that is left, also of an editor that holds a paint lock meanwhile;
// typing there goes on.
inline void CheckTheOthersStayInsideWhenLinesGo(TForm& Form, const TSetUp& SetUp)
{
    auto a = MakeEditor(Form, SetUp);
    auto b = MakeEditor(Form, SetUp);
    a->QvSetText("1\r\n2\r\n3\r\n4\r\n5");
    b->SetLinesPointer(a.get());
    Go(*a, TPoint{2, 5});
    Go(*b, TPoint{1, 4});
    Do(*b, ecDeleteLine);
    Do(*b, ecDeleteLine);
    ASSERT_EQ(a->QvGetText(), "1\r\n2\r\n3");
    EXPECT_LE(a->GetCaretY(), 3);
    Do(*a, ecChar, 'q');
    EXPECT_EQ(a->GetLines()->Count(), 3);
    EXPECT_NE(a->QvGetText().find('q'), std::string::npos);

    // A selection and a view far down; the text shrinks under them.
    a->QvSetText(Numbered(100));
    Select(*a, TPoint{1, 90}, TPoint{3, 95});
    a->SetTopLine(80);
    ASSERT_EQ(a->GetTopLine(), 80);
    Select(*b, TPoint{1, 11}, TPoint{9, 100});
    b->SetSelTextExternal("");
    ASSERT_EQ(a->GetLines()->Count(), 11);
    EXPECT_LE(a->GetCaretY(), 11);
    EXPECT_LE(a->GetBlockBegin().Y, 11);
    EXPECT_LE(a->GetBlockEnd().Y, 11);
    EXPECT_LE(a->GetTopLine(), 11);
    Do(*a, ecChar, 'z');
    EXPECT_EQ(a->GetLines()->Count(), 11);

    // An editor inside a paint lock of its own keeps its positions until the lock ends.
    a->QvSetText(Numbered(20));
    Go(*a, TPoint{4, 20});
    a->BeginUpdate();
    Select(*b, TPoint{1, 3}, TPoint{8, 20});
    b->SetSelTextExternal("");
    a->EndUpdate();
    EXPECT_EQ(a->GetLines()->Count(), 3);
    EXPECT_LE(a->GetCaretY(), 3);
    Do(*a, ecChar, 'y');
    EXPECT_EQ(a->GetLines()->Count(), 3);
}

// Every editor on a buffer tells the same Modified: a save in one is the others', so is a
// step back to the saved text, and an editor that hooks the buffer takes its state.
inline void CheckEveryEditorTellsTheSameModified(TForm& Form, const TSetUp& SetUp)
{
    auto a = MakeEditor(Form, SetUp);
    auto b = MakeEditor(Form, SetUp);
    a->QvSetText("text");
    b->SetLinesPointer(a.get());
    Go(*a, TPoint{5, 1});
    Do(*a, ecChar, 'x');
    EXPECT_TRUE(b->GetModified());
    b->SetModified(false);
    EXPECT_FALSE(a->GetModified());
    Do(*a, ecLineBreak, '\r');
    Do(*a, ecChar, 'y');
    EXPECT_TRUE(a->GetModified());
    EXPECT_TRUE(b->GetModified());
    while (a->QvGetText() != "textx" && b->GetCanUndo())
        b->Undo();
    EXPECT_FALSE(b->GetModified());
    EXPECT_FALSE(a->GetModified());
    a->Undo();
    EXPECT_TRUE(b->GetModified());
    // A third editor hooks a modified buffer: it says so, and its save is everyone's.
    auto c = MakeEditor(Form, SetUp);
    c->SetLinesPointer(b.get());
    EXPECT_TRUE(c->GetModified());
    c->SetModified(false);
    EXPECT_FALSE(a->GetModified());
    EXPECT_FALSE(b->GetModified());
    a->Redo();
    EXPECT_TRUE(c->GetModified());
}

// Two sharers that hooked through each other in turn: when one lets go, the other still
// hears when it goes, and lets go of the buffer then.
inline void CheckASharerHearsOfAnotherAfterItLetGo(TForm& Form, const TSetUp& SetUp)
{
    auto owner = MakeEditor(Form, SetUp);
    auto x = MakeEditor(Form, SetUp);
    auto y = MakeEditor(Form, SetUp);
    owner->QvSetText("shared");
    x->SetLinesPointer(owner.get());
    y->SetLinesPointer(x.get());
    x->RemoveLinesPointer();
    x->SetLinesPointer(y.get());
    y->RemoveLinesPointer();
    ASSERT_EQ(x->GetLines(), owner->GetLines());
    y.reset();
    EXPECT_EQ(x->GetLines()->Count(), 0);
    x->RemoveLinesPointer();
    Do(*x, ecChar, 'x');
    EXPECT_EQ(x->QvGetText(), "x");
    EXPECT_EQ(owner->QvGetText(), "shared");
}

// An empty text pasted into (the way the paste key does it), undone, redone and undone
// again has no line, as at the start; and so every further round.
inline void CheckAPasteIntoNothingUndoesToNothing(TForm& Form, const TSetUp& SetUp)
{
    auto e = MakeEditor(Form, SetUp);
    e->ClearAll();
    editscript::PutOnClipboard("clip0", -1);
    Do(*e, ecPaste);
    ASSERT_EQ(e->QvGetText(), "clip0");
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        e->Undo();
        EXPECT_EQ(e->GetLines()->Count(), 0);
        EXPECT_FALSE(e->GetModified());
        e->Redo();
        EXPECT_EQ(e->QvGetText(), "clip0");
        EXPECT_TRUE(e->GetModified());
    }
    e->Undo();
    EXPECT_EQ(e->GetLines()->Count(), 0);
    EXPECT_FALSE(e->GetModified());
}

}  // namespace sharing
