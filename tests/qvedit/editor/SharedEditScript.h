// Random editing sessions of two or three editors on one buffer (see EditScript.h for what
// a session checks): each operation, undo and redo is done by any of them; between two
// operations one of them may hook the buffer again through another, a sharer may be
// freed (an editor that hooked through it then hooks the owner), and steps may be undone
// and redone or undone and replaced by a new edit. After every operation and walk step
// every editor shows the owner's buffer with its caret, selection and view inside it. At
// the end the editors are freed in a random order, the owner too, and each one left must
// edit the buffer it shows (its own once the owner went) and no other.
#pragma once

#include "EditScript.h"

#include "platform/forms/Forms.h"

#include <functional>
#include <memory>
#include <vector>

namespace editscript {

class TSharedSession {
public:
    using TSetUp = std::function<void(TCustomQvEdit&)>;

    TSharedSession(TForm& Form, const TSetUp& SetUp, int Count, TRandom& Pick, const std::string& Text)
        : form_(Form), setUp_(SetUp)
    {
        for (int i = 0; i < Count; ++i)
            editors_.push_back(Make());
        editors_[0]->QvSetText(Text);
        // Each sharer hooks the owner or a sharer before it (a chain of sharers).
        for (int i = 1; i < Count; ++i)
            editors_[static_cast<std::size_t>(i)]->SetLinesPointer(editors_[Pick(static_cast<std::uint32_t>(i))].get());
    }

    TCustomQvEdit& Next(TRandom& Pick) { return *editors_[Pick(static_cast<std::uint32_t>(editors_.size()))]; }

    std::string Between(TRandom& Pick, std::ostringstream& Trace, std::set<std::string>& Had, bool Saved)
    {
        switch (Pick(12)) {
        case 0:
            Rehook(Pick, Trace);
            return std::string();
        case 1:
            FreeASharer(Pick, Trace);
            return std::string();
        case 2:
            return UndoAndRedo(Pick, Trace, Had);
        case 3:
            // Undoing past the save and editing anew would leave no saved state to find.
            return Saved ? std::string() : UndoAndEdit(Pick, Trace, Had);
        default:
            return std::string();
        }
    }

    std::string Check() const
    {
        const TQvEditStringList* lines = editors_[0]->GetLines();
        const Integer last = std::max(lines->Count(), 1);
        for (std::size_t i = 0; i < editors_.size(); ++i) {
            const TCustomQvEdit& e = *editors_[i];
            const std::string which = " editor " + std::to_string(i);
            if (e.GetLines() != lines)
                return which + " left the buffer";
            if (e.GetCaretY() > last || e.GetBlockBegin().Y > last || e.GetBlockEnd().Y > last ||
                e.GetTopLine() > last)
                return which + " has its caret, selection or view past the last line";
        }
        return std::string();
    }

    // Frees the editors in a random order; each one left edits its own buffer alone.
    std::string FreeAll(TRandom& Pick)
    {
        while (!editors_.empty()) {
            editors_.erase(editors_.begin() + Pick(static_cast<std::uint32_t>(editors_.size())));
            for (std::size_t i = 0; i < editors_.size(); ++i) {
                TCustomQvEdit& e = *editors_[i];
                std::vector<std::string> others;
                for (const auto& other : editors_)
                    others.push_back(other->QvGetText());
                e.SetSelectionMode(smNormal);
                e.SetInsertMode(true);
                e.SetCaretXY(TPoint{1, 1});
                e.SetSelTextExternal("!");
                if (e.QvGetText().rfind('!', 0) != 0)
                    return " editor " + std::to_string(i) + " did not edit the buffer it shows after a free";
                for (std::size_t j = 0; j < editors_.size(); ++j)
                    if (editors_[j]->GetLines() != e.GetLines() && editors_[j]->QvGetText() != others[j])
                        return " an edit in editor " + std::to_string(i) + " reached editor " + std::to_string(j);
            }
        }
        return std::string();
    }

private:
    std::unique_ptr<TQvEdit> Make()
    {
        auto editor = std::make_unique<TQvEdit>(nullptr);
        editor->SetBounds(0, 0, 300, 200);
        editor->SetParent(&form_);
        setUp_(*editor);
        return editor;
    }

    // A sharer lets go and hooks the owner or another sharer.
    void Rehook(TRandom& Pick, std::ostringstream& Trace)
    {
        if (editors_.size() < 2)
            return;
        const std::size_t k = 1 + Pick(static_cast<std::uint32_t>(editors_.size() - 1));
        std::size_t target = Pick(static_cast<std::uint32_t>(editors_.size() - 1));
        if (target >= k)
            ++target;
        editors_[k]->RemoveLinesPointer();
        editors_[k]->SetLinesPointer(editors_[target].get());
        Trace << " rehook " << k << " to " << target;
    }

    // A sharer goes; who hooked through it has let go, and hooks the owner.
    void FreeASharer(TRandom& Pick, std::ostringstream& Trace)
    {
        if (editors_.size() < 3)
            return;
        const std::size_t k = 1 + Pick(static_cast<std::uint32_t>(editors_.size() - 1));
        editors_.erase(editors_.begin() + static_cast<std::ptrdiff_t>(k));
        for (std::size_t i = 1; i < editors_.size(); ++i)
            if (editors_[i]->GetLines() != editors_[0]->GetLines())
                editors_[i]->SetLinesPointer(editors_[0].get());
        editors_.push_back(Make());
        editors_.back()->SetLinesPointer(editors_[Pick(static_cast<std::uint32_t>(editors_.size() - 1))].get());
        Trace << " free " << k;
    }

    // Up to Most steps of undo (or redo), each by any editor, each landing on a text the
    // session had.
    std::string Walk(TRandom& Pick, std::ostringstream& Trace, const std::set<std::string>& Had, bool Undoing,
                     int Most)
    {
        for (int n = 0; n < Most && (Undoing ? editors_[0]->GetCanUndo() : editors_[0]->GetCanRedo()); ++n) {
            TCustomQvEdit& e = Next(Pick);
            Undoing ? e.Undo() : e.Redo();
            Trace << (Undoing ? " undo \"" : " redo \"") << e.QvGetText() << '"';
            if (!Had.contains(e.QvGetText()))
                return " a step gave a text the session never had";
        }
        return std::string();
    }

    // Steps undone and redone again: the text comes back.
    std::string UndoAndRedo(TRandom& Pick, std::ostringstream& Trace, std::set<std::string>& Had)
    {
        const std::string before = editors_[0]->QvGetText();
        std::string failure = Walk(Pick, Trace, Had, true, static_cast<int>(Pick(3)) + 1);
        if (failure.empty())
            failure = Walk(Pick, Trace, Had, false, 10000);
        if (failure.empty() && editors_[0]->QvGetText() != before)
            failure = " undo and redo on the way did not come back";
        return failure;
    }

    // Steps undone, then a new text put in, which discards what could be redone.
    std::string UndoAndEdit(TRandom& Pick, std::ostringstream& Trace, std::set<std::string>& Had)
    {
        if (std::string failure = Walk(Pick, Trace, Had, true, static_cast<int>(Pick(3)) + 1); !failure.empty())
            return failure;
        TCustomQvEdit& e = Next(Pick);
        e.SetSelTextExternal(Snippets[Pick(std::size(Snippets))]);
        Trace << " set text \"" << e.QvGetText() << '"';
        Had.insert(e.QvGetText());
        if (e.GetCanRedo())
            return " a new edit left something to redo";
        return std::string();
    }

    TForm& form_;
    TSetUp setUp_;
    std::vector<std::unique_ptr<TQvEdit>> editors_;  // the first owns the buffer
};

// Count sessions of 1 to MaxSteps operations from Seed by Editors editors (2 or 3) on one
// buffer, each on a random text, each editor set up by SetUp; gives "" or the first
// session that broke a rule, with its number. EachSession, when given, runs before each
// session (to choose what SetUp gives) and names it for a failure.
inline std::string RunSharedSessions(TForm& Form, const TSharedSession::TSetUp& SetUp, int Editors, unsigned Seed,
                                     int Count, std::uint32_t MaxSteps,
                                     const std::function<std::string()>& EachSession = {})
{
    TRandom pick(Seed);
    for (int session = 0; session < Count; ++session) {
        const std::string setting = EachSession ? EachSession() + ", " : std::string();
        TSharedSession shared(Form, SetUp, Editors, pick, RandomText(pick));
        const std::uint32_t steps = pick(MaxSteps) + 1;
        std::string failure = RunSessionWith(shared, pick, steps, pick(steps + 1));
        if (failure.empty())
            failure = shared.FreeAll(pick);
        if (!failure.empty())
            return setting + "seed " + std::to_string(Seed) + ", " + std::to_string(Editors) + " editors, session " +
                   std::to_string(session) + ": " + failure;
    }
    return std::string();
}

}  // namespace editscript
