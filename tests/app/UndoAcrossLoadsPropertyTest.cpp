// The main window's undo over random sessions that mix small edits (EditScript.h) with
// steps of thousands of records (replace alls, column pastes and block indents of up to
// 5,000 lines, runs of over 1,024 typed characters), with a file loaded by one of the window's ways (Open, a recent file, the
// file list, a drop) before each session and some steps undone before the next load. After
// a load there is nothing to undo or redo; every step since the load undoes whole, a large
// one in exactly one undo, back to the loaded text and no further; redo gives the edited
// text again. One of the files is empty, so that a load also comes after a text without
// lines with something to redo.
#include "MainFormFixture.h"
#include "../qvedit/editor/EditScript.h"
#include "../qvedit/editor/LargeSteps.h"

#include "app/MainFormParts.h"
#include "platform/controls/FileCtrl.h"
#include "platform/runtime/Classes.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

class UndoAcrossLoadsPropertyTest : public TMainFormFixture {
protected:
    UndoAcrossLoadsPropertyTest()
    {
        Start();
        editscript::TRandom pick(7);
        files_ = {Write("small.php", editscript::RandomText(pick)), Write("large.php", largesteps::ScriptText(5001)),
                  Write("middle.txt", largesteps::ScriptText(1800)), Write("empty.txt", "")};
    }

    TQvEdit& Editor() { return *Form().Editor; }

    // Count sessions from Seed; "" or the first that broke a rule, with what it did.
    std::string RunSessions(unsigned Seed, int Count)
    {
        editscript::TRandom pick(Seed);
        for (int session = 0; session < Count; ++session) {
            std::ostringstream trace;
            const std::string failure = RunSession(pick, trace);
            if (!failure.empty())
                return "seed " + std::to_string(Seed) + ", session " + std::to_string(session) + ":" +
                       trace.str() + ": " + failure;
            ++Sessions;
        }
        return std::string();
    }

    int Sessions = 0;

private:
    void Load(editscript::TRandom& Pick, std::ostringstream& Trace)
    {
        const std::string& file = files_[Pick(static_cast<std::uint32_t>(files_.size()))];
        const bool ask = Editor().GetModified();
        switch (Pick(4)) {
        case 0:
            Trace << " open";
            if (ask)
                QueueBox(IDNO);
            QueueFile(file);
            Form().mnuFileOpenClick(nullptr);
            break;
        case 1:
            Trace << " recent";
            if (ask)
                QueueBox(IDNO);
            Form().OpenRecentFile(file);
            break;
        case 2: {
            Trace << " file list";
            if (ask)
                QueueBox(IDNO);
            Form().FileListBox1->SetDirectory(ExtractFileDir(file));
            const auto& names = Form().FileListBox1->Items();
            Form().FileListBox1->SetItemIndex(static_cast<int>(
                std::find(names.begin(), names.end(), ExtractFileName(file)) - names.begin()));
            Form().FileListBox1DblClick(nullptr);
            break;
        }
        default: {
            Trace << " drop";
            if (ask)
                QueueBox(IDNO);
            TStringList files;
            files.Add(file);
            Form().EditorDropFiles(&Editor(), 0, 0, &files);
            break;
        }
        }
        Trace << ' ' << ExtractFileName(file);
    }

    // A step of up to thousands of records on the text as it is; gives its name.
    const char* LargeStep(editscript::TRandom& Pick)
    {
        TQvEdit& e = Editor();
        const auto lines = [&] { return static_cast<int>(Pick(5000)) + 1; };
        switch (Pick(4)) {
        case 3:
            largesteps::TypeRun(e, static_cast<int>(Pick(1000)) + 1025);
            return "typed run";
        case 0: {
            static const char* const searched[] = {"x", "X", "fix", ", "};
            static const char* const replacements[] = {"#", "yy", "", "a\r\nb"};
            TPoint top{1, 1};
            e.CommandProcessor(ecGotoXY, '\0', &top);
            e.SearchReplace(searched[Pick(4)], replacements[Pick(4)],
                            TQvSearchOptions{ssoReplaceAll, ssoEntireScope, ssoMatchCase});
            return "replace all";
        }
        case 1:
            largesteps::ColumnPaste(e, lines());
            return "column paste";
        default:
            largesteps::BlockIndent(e, std::min(lines(), std::max(e.GetLines()->Count() - 1, 1)));
            e.CommandProcessor(ecNormalSelect, '\0', nullptr);
            return "block indent";
        }
    }

    std::string RunSession(editscript::TRandom& Pick, std::ostringstream& Trace)
    {
        TQvEdit& e = Editor();
        Load(Pick, Trace);
        if (e.GetCanUndo() || e.GetCanRedo())
            return "something to undo or redo after the load";
        const bool modifiedAtLoad = e.GetModified();
        std::vector<std::string> texts{e.QvGetText()};
        std::vector<bool> large{false};
        const std::uint32_t steps = Pick(8) + 1;
        for (std::uint32_t step = 0; step < steps; ++step) {
            const bool big = Pick(3) == 0;
            Trace << ' ' << (big ? LargeStep(Pick) : editscript::ApplyEditOp(e, Pick));
            texts.push_back(e.QvGetText());
            large.push_back(big && texts.back() != texts[texts.size() - 2]);
        }
        // Back to the load, step by step: each undo lands on a text of an earlier step, and
        // the one after a large step on the text before it.
        std::size_t at = texts.size() - 1;
        for (int guard = 0; e.GetCanUndo(); ++guard) {
            if (guard > 1000)
                return "undo does not end";
            const bool wasLarge = large[at] && e.QvGetText() == texts[at];
            e.Undo();
            std::size_t back = at + 1;
            while (back > 0 && texts[back - 1] != e.QvGetText())
                --back;
            if (back == 0)
                return "an undo gave a text the session never had";
            if (wasLarge && back - 1 != at - 1)
                return "a large step did not undo whole at step " + std::to_string(at);
            at = back - 1;
        }
        if (e.QvGetText() != texts.front())
            return "undo did not give the loaded text back";
        if (e.GetModified() != modifiedAtLoad)
            return "the loaded text has another Modified after undo";
        for (int guard = 0; e.GetCanRedo() && guard < 1000; ++guard)
            e.Redo();
        if (e.QvGetText() != texts.back())
            return "redo did not give the edited text back";
        // Some of it undone again, so that both lists hold something at the next load.
        for (std::uint32_t n = Pick(3); n > 0; --n)
            e.Undo();
        return std::string();
    }

    std::vector<std::string> files_;
};

TEST_F(UndoAcrossLoadsPropertyTest, Part1)
{
    EXPECT_EQ(RunSessions(1, 15), "");
    EXPECT_EQ(Sessions, 15);
}

TEST_F(UndoAcrossLoadsPropertyTest, Part2)
{
    EXPECT_EQ(RunSessions(2, 15), "");
    EXPECT_EQ(Sessions, 15);
}

TEST_F(UndoAcrossLoadsPropertyTest, Part3)
{
    EXPECT_EQ(RunSessions(3, 15), "");
    EXPECT_EQ(Sessions, 15);
}

TEST_F(UndoAcrossLoadsPropertyTest, Part4)
{
    EXPECT_EQ(RunSessions(4, 15), "");
    EXPECT_EQ(Sessions, 15);
}

}  // namespace
