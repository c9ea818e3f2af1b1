// Random editing sessions on random texts, with the application's options and a save
// somewhere in between: undoing everything gives back the starting text byte for byte,
// redoing everything gives the edited text again, and the editor says "unmodified" at the
// saved point and nowhere else.
#include "EditScript.h"
#include "TextEditProbe.h"

#include <random>

namespace {

class TRandom {
public:
    explicit TRandom(unsigned Seed) : gen_(Seed) {}
    std::uint32_t operator()(std::uint32_t N)
    {
        return N == 0 ? 0 : std::uniform_int_distribution<std::uint32_t>(0, N - 1)(gen_);
    }

private:
    std::mt19937 gen_;
};

// Lines of letters, blanks, tabs and brackets.
std::string RandomText(TRandom& Pick)
{
    static const char chars[] = "ab xy\tAB(z";
    std::string text;
    const std::uint32_t lines = Pick(6) + 1;
    for (std::uint32_t i = 0; i < lines; ++i) {
        std::string line;
        for (std::uint32_t n = Pick(12); n > 0; --n)
            line += chars[Pick(sizeof chars - 1)];
        text += line;
        if (i + 1 < lines)
            text += "\r\n";
    }
    return text;
}

class EditorUndoPropertyTest : public TTextEditFixture {
protected:
    EditorUndoPropertyTest()
    {
        TTextEditProbe& e = Editor();
        // The application's editor settings but trimming: a trimmed line keeps no record of
        // the blanks and tabs it lost, so undo cannot give them back byte for byte.
        e.SetOptions(TQvEditorOptions{eoAutoIndent, eoGroupUndo, eoScrollPastEol, eoSmartTabDelete,
                                      eoSmartTabs, eoTabIndent, eoTabsToSpaces, eoAltSetsColumnMode});
        e.SetTabWidth(2);
        e.SetMaxLineWidth(100000);
        e.SetWantTabs(true);
    }

    // Runs Count sessions from Seed; stops at the first that breaks a rule.
    void RunSessions(unsigned Seed, int Count)
    {
        TRandom pick(Seed);
        for (int session = 0; session < Count; ++session) {
            const std::string failure = RunSession(pick);
            ASSERT_EQ(failure, "") << "seed " << Seed << ", session " << session;
        }
    }

private:
    std::string RunSession(TRandom& Pick)
    {
        TTextEditProbe& e = Editor();
        e.ClearAll();
        e.SetSelectionMode(smNormal);
        e.SetInsertMode(true);
        e.QvSetText(RandomText(Pick));
        const std::uint32_t steps = Pick(12) + 1;
        return editscript::RunSession(e, Pick, steps, Pick(steps + 1));
    }
};

// 10,000 sessions in four parts, so that they run side by side.
TEST_F(EditorUndoPropertyTest, UndoAndRedoEverythingPart1) { RunSessions(1, 2500); }
TEST_F(EditorUndoPropertyTest, UndoAndRedoEverythingPart2) { RunSessions(2, 2500); }
TEST_F(EditorUndoPropertyTest, UndoAndRedoEverythingPart3) { RunSessions(3, 2500); }
TEST_F(EditorUndoPropertyTest, UndoAndRedoEverythingPart4) { RunSessions(4, 2500); }

}  // namespace
