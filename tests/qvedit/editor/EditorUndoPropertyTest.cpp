// Random editing sessions on random texts, with a save somewhere in between: undoing
// everything gives back the starting text byte for byte, redoing everything gives the
// edited text again (twice over), every step lands on a text the session had, and the
// editor says "unmodified" at the saved point and nowhere else. Here with the editor's
// defaults and with random option sets; the main window's options have a test of their
// own beside the main window's.
#include "EditScript.h"
#include "TextEditProbe.h"

namespace {

using EditorUndoPropertyTest = TTextEditFixture;

TEST_F(EditorUndoPropertyTest, WithTheDefaultOptionsPart1) { EXPECT_EQ(editscript::RunRandomSessions(Editor(), 11, 1250, 40), ""); }
TEST_F(EditorUndoPropertyTest, WithTheDefaultOptionsPart2) { EXPECT_EQ(editscript::RunRandomSessions(Editor(), 12, 1250, 40), ""); }

// Every option on or off by chance, a tab width from 1 to 8, tabs taken by the editor or
// not, a line width limit or none; a new set for each group of sessions.
std::string RunWithRandomOptions(TQvEdit& E, unsigned Seed, int Groups, int SessionsPerGroup)
{
    editscript::TRandom pick(Seed);
    for (int group = 0; group < Groups; ++group) {
        TQvEditorOptions options;
        for (int option = eoAltSetsColumnMode; option <= eoHighlightCurrentLine; ++option)
            if (pick(2) == 0)
                options.Include(static_cast<TQvEditorOption>(option));
        E.SetOptions(options);
        E.SetTabWidth(static_cast<Integer>(pick(8)) + 1);
        E.SetWantTabs(pick(2) == 0);
        E.SetMaxLineWidth(pick(2) == 0 ? 1024 : 100000);
        const std::string failure = editscript::RunRandomSessions(E, Seed * 1000 + static_cast<unsigned>(group),
                                                                  SessionsPerGroup, 40);
        if (!failure.empty()) {
            std::string on;
            for (int option = eoAltSetsColumnMode; option <= eoHighlightCurrentLine; ++option)
                if (options.Contains(static_cast<TQvEditorOption>(option)))
                    on += " " + std::to_string(option);
            return "options" + on + ", tab width " + std::to_string(E.GetTabWidth()) + ": " + failure;
        }
    }
    return std::string();
}

TEST_F(EditorUndoPropertyTest, WithRandomOptionsPart1) { EXPECT_EQ(RunWithRandomOptions(Editor(), 21, 50, 25), ""); }
TEST_F(EditorUndoPropertyTest, WithRandomOptionsPart2) { EXPECT_EQ(RunWithRandomOptions(Editor(), 22, 50, 25), ""); }

}  // namespace
