// An undo or redo step applies its records on one line to one working copy of the line:
// random sessions (runs of typing and deleting that group into long steps among every
// other kind of edit, random options, a narrow line width now and then) done alike by an
// editor that replays on the working line and one that replays record by record must
// leave both alike after every undo and redo: text, caret, selection, view, lists and
// Modified.
#include "EditScript.h"
#include "TextEditProbe.h"

namespace {

class EditorUndoWorkingLineTest : public TTextEditFixture {
protected:
    EditorUndoWorkingLineTest() : other_(new TTextEditProbe(&Form()))
    {
        other_->SetFont(Editor().Font());
        other_->SetBounds(0, 0, EditorWidth, EditorHeight);
        other_->SetParent(&Form());
        other_->SetStepOnWorkingLine(false);
    }

    // One random edit, or a run of one kind of typing or deleting that groups into a step.
    static void Edit(TTextEditProbe& E, editscript::TRandom& Pick)
    {
        static const TQvEditorCommand runs[] = {ecChar, ecDeleteChar, ecDeleteLastChar};
        if (Pick(2) == 0) {
            editscript::ApplyEditOp(E, Pick);
            return;
        }
        const TQvEditorCommand command = runs[Pick(std::size(runs))];
        for (std::uint32_t n = Pick(8) + 1; n > 0; --n)
            E.CommandProcessor(command, editscript::Typed[Pick(std::size(editscript::Typed))], nullptr);
    }

    // A session of Steps edits from Seed, then undo to the start and redo to the end,
    // twice; "" when the editors stayed alike, else where they parted.
    std::string RunSession(unsigned Seed, std::uint32_t Steps)
    {
        TTextEditProbe& a = Editor();
        TTextEditProbe& b = *other_;
        editscript::TRandom pickA(Seed);
        editscript::TRandom pickB(Seed);
        for (TTextEditProbe* e : {&a, &b}) {
            editscript::TRandom& pick = e == &a ? pickA : pickB;
            editscript::SetRandomOptions(*e, pick);
            if (pick(3) == 0)
                e->SetMaxLineWidth(6);
            e->ClearAll();
            e->SetSelectionMode(smNormal);
            e->SetInsertMode(true);
            e->QvSetText(editscript::RandomText(pick));
        }
        std::string trace;
        const auto alike = [&](const char* What) {
            trace += std::string(" ") + What;
            const std::string sa = '"' + a.QvGetText() + "\" " + a.Positions();
            const std::string sb = '"' + b.QvGetText() + "\" " + b.Positions();
            return sa == sb ? std::string() : trace + ": working line " + sa + ", record by record " + sb;
        };
        for (std::uint32_t step = 0; step < Steps; ++step) {
            Edit(a, pickA);
            Edit(b, pickB);
            if (const std::string failure = alike("edit"); !failure.empty())
                return failure;
        }
        for (int cycle = 0; cycle < 2; ++cycle) {
            for (const bool undoing : {true, false}) {
                while (undoing ? a.GetCanUndo() : a.GetCanRedo()) {
                    undoing ? a.Undo() : a.Redo();
                    undoing ? b.Undo() : b.Redo();
                    if (const std::string failure = alike(undoing ? "undo" : "redo"); !failure.empty())
                        return failure;
                }
            }
        }
        return std::string();
    }

    TTextEditProbe* other_;
};

TEST_F(EditorUndoWorkingLineTest, StepsOnTheWorkingLineLeaveWhatRecordByRecordLeaves)
{
    for (unsigned seed = 1; seed <= 400; ++seed) {
        const std::string failure = RunSession(seed, 30);
        ASSERT_EQ(failure, "") << "seed " << seed;
    }
}

}  // namespace
