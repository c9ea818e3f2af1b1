// Random editing sessions on random texts, with a save somewhere in between: undoing
// everything gives back the starting text byte for byte, redoing everything gives the
// edited text again (twice over), every step lands on a text the session had, and the
// editor says "unmodified" at the saved point and nowhere else. Here with the editor's
// defaults and with random option sets; the main window's options have a test of their
// own beside the main window's.
#include "EditScript.h"
#include "SharedEditScript.h"
#include "TextEditProbe.h"

namespace {

using EditorUndoPropertyTest = TTextEditFixture;

TEST_F(EditorUndoPropertyTest, WithTheDefaultOptionsPart1) { EXPECT_EQ(editscript::RunRandomSessions(Editor(), 11, 1250, 40), ""); }
TEST_F(EditorUndoPropertyTest, WithTheDefaultOptionsPart2) { EXPECT_EQ(editscript::RunRandomSessions(Editor(), 12, 1250, 40), ""); }

// A new random set for each group of sessions.
std::string RunWithRandomOptions(TQvEdit& E, unsigned Seed, int Groups, int SessionsPerGroup)
{
    editscript::TRandom pick(Seed);
    for (int group = 0; group < Groups; ++group) {
        const std::string options = editscript::SetRandomOptions(E, pick);
        const std::string failure = editscript::RunRandomSessions(E, Seed * 1000 + static_cast<unsigned>(group),
                                                                  SessionsPerGroup, 40);
        if (!failure.empty())
            return options + ": " + failure;
    }
    return std::string();
}

TEST_F(EditorUndoPropertyTest, WithRandomOptionsPart1) { EXPECT_EQ(RunWithRandomOptions(Editor(), 21, 50, 25), ""); }
TEST_F(EditorUndoPropertyTest, WithRandomOptionsPart2) { EXPECT_EQ(RunWithRandomOptions(Editor(), 22, 50, 25), ""); }

// Two and three editors on one buffer (SharedEditScript.h), with the editor's defaults
// and with random option sets, one for all the editors of a session (as a program gives
// its editors); 4,000 sessions in eight parts.
void Defaults(TCustomQvEdit&) {}

TEST_F(EditorUndoPropertyTest, TwoEditorsOnOneBufferPart1)
{
    EXPECT_EQ(editscript::RunSharedSessions(Form(), Defaults, 2, 31, 500, 40), "");
}

TEST_F(EditorUndoPropertyTest, TwoEditorsOnOneBufferPart2)
{
    EXPECT_EQ(editscript::RunSharedSessions(Form(), Defaults, 2, 33, 500, 40), "");
}

TEST_F(EditorUndoPropertyTest, ThreeEditorsOnOneBufferPart1)
{
    EXPECT_EQ(editscript::RunSharedSessions(Form(), Defaults, 3, 32, 500, 40), "");
}

TEST_F(EditorUndoPropertyTest, ThreeEditorsOnOneBufferPart2)
{
    EXPECT_EQ(editscript::RunSharedSessions(Form(), Defaults, 3, 34, 500, 40), "");
}

std::string RunSharedWithRandomOptions(TForm& Form, int Editors, unsigned Seed)
{
    editscript::TRandom pick(Seed);
    unsigned sessionSeed = 0;
    const auto eachSession = [&] {
        sessionSeed = static_cast<unsigned>(pick(1u << 30));
        return "options seed " + std::to_string(sessionSeed);
    };
    // Every editor of the session gets the same set.
    const auto setUp = [&](TCustomQvEdit& E) {
        editscript::TRandom options(sessionSeed);
        editscript::SetRandomOptions(E, options);
    };
    return editscript::RunSharedSessions(Form, setUp, Editors, Seed, 500, 40, eachSession);
}

TEST_F(EditorUndoPropertyTest, TwoEditorsWithRandomOptionsPart1) { EXPECT_EQ(RunSharedWithRandomOptions(Form(), 2, 41), ""); }
TEST_F(EditorUndoPropertyTest, TwoEditorsWithRandomOptionsPart2) { EXPECT_EQ(RunSharedWithRandomOptions(Form(), 2, 42), ""); }
TEST_F(EditorUndoPropertyTest, ThreeEditorsWithRandomOptionsPart1) { EXPECT_EQ(RunSharedWithRandomOptions(Form(), 3, 43), ""); }
TEST_F(EditorUndoPropertyTest, ThreeEditorsWithRandomOptionsPart2) { EXPECT_EQ(RunSharedWithRandomOptions(Form(), 3, 44), ""); }

}  // namespace
