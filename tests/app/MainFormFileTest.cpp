// The file commands with each answer of the save prompt, titled and untitled text,
// modified or not; failed loads and saves; drops, the file list and recent files.
#include "MainFormFixture.h"
#include "../qvedit/editor/EditScript.h"

#include "app/MainFormParts.h"
#include "platform/controls/FileCtrl.h"
#include "platform/controls/StdCtrls.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/FileCalls.h"
#include "platform/window/Menus.h"
#include "platform/window/Shell.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/highlighters/QvHighlighterPHP.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <utility>
#include <vector>

namespace {

class MainFormFileTest : public TMainFormFixture {
protected:
    MainFormFileTest() { Start(); }

    TQvEdit& Editor() { return *Form().Editor; }
    std::string Path() { return Form().lblFileName->Caption(); }
    std::string Line(int Index) { return Editor().GetLines()->Strings(Index); }
    void Type(const std::string& Text) { Editor().SetSelTextExternal(Text); }

    // Opens Path through the open dialog (no prompt expected).
    void Open(const std::string& Path)
    {
        QueueFile(Path);
        Form().mnuFileOpenClick(nullptr);
    }
};

TEST_F(MainFormFileTest, OpenTakesTheFileAndNamesItEverywhere)
{
    const std::string file = Write("index.php", "<?php\necho 1;\n");
    Open(file);
    EXPECT_EQ(Line(1), "echo 1;");
    EXPECT_EQ(Path(), file);
    EXPECT_EQ(Form().Caption(), "Quorvel - \"index.php\"");
    EXPECT_EQ(Form().CurSyntax->Caption(), " PHP");
    EXPECT_FALSE(Editor().GetModified());
    EXPECT_EQ(Form().mnuFileRecentFilesN[0]->Caption(), "index.php");
    EXPECT_NE(SettingsText().find("RecentFile1=" + file), std::string::npos);
    EXPECT_EQ(Form().DirectoryListBox1->GetDirectory(), ExtractFileDir(file));
    EXPECT_TRUE(BoxTexts().empty());  // unmodified text: no prompt
}

TEST_F(MainFormFileTest, OpenWithUnsavedTextFollowsTheAnswer)
{
    const std::string other = Write("other.htm", "other\n");
    Type("mine");

    QueueBox(IDCANCEL);  // nothing happens, not even the open dialog
    EXPECT_TRUE(Aborted([&] { Form().mnuFileOpenClick(nullptr); }));
    EXPECT_EQ(Line(0), "mine");

    QueueBox(IDYES);  // Yes, then the save dialog cancelled: the open is off too
    QueueFile("");
    EXPECT_TRUE(Aborted([&] { Form().mnuFileOpenClick(nullptr); }));
    EXPECT_EQ(Line(0), "mine");
    EXPECT_TRUE(Editor().GetModified());
    EXPECT_EQ(Path(), "");

    QueueBox(IDYES);  // Yes and a name: saved there, then the chosen file opens
    QueueFile(Folder() + "mine.htm");
    QueueFile(other);
    Form().mnuFileOpenClick(nullptr);
    EXPECT_EQ(Contents(Folder() + "mine.htm"), "mine\r\n");  // a new text ends lines with CR LF
    EXPECT_EQ(Line(0), "other");

    Type("changed ");
    QueueBox(IDNO);  // No: the changes are dropped
    QueueFile(Folder() + "mine.htm");
    Form().mnuFileOpenClick(nullptr);
    EXPECT_EQ(Line(0), "mine");
    EXPECT_EQ(Contents(other), "other\n");
}

TEST_F(MainFormFileTest, YesAlwaysAsksForANameStartingAtTheCurrentFile)
{
    const std::string file = Write("page.php", "a\n");
    Open(file);
    Type("b");
    QueueBox(IDYES);
    QueueFile("");
    EXPECT_TRUE(Aborted([&] { Form().mnuFileCloseClick(nullptr); }));
    EXPECT_EQ(Form().SaveDialog1->GetFileName(), "page.php");
    EXPECT_EQ(Form().SaveDialog1->GetInitialDir(), ExtractFileDir(file));
    EXPECT_EQ(Contents(file), "a\n");
    EXPECT_EQ(Line(0), "ba");
}

TEST_F(MainFormFileTest, SaveKeepsTheFilesLineEnds)
{
    const std::string file = Write("unix.php", "one\ntwo\n");
    Open(file);
    Editor().SetCaretXY(TPoint{4, 2});
    Type("!");
    Form().mnuFileSaveClick(nullptr);
    EXPECT_EQ(Contents(file), "one\ntwo!\n");
    EXPECT_FALSE(Editor().GetModified());

    const std::string dos = Write("dos.txt", "x\r\ny");
    Open(dos);
    Type("w");
    Form().mnuFileSaveClick(nullptr);
    EXPECT_EQ(Contents(dos), "wx\r\ny\r\n");
    EXPECT_EQ(Form().CurSyntax->Caption(), " HTML");
}

// An empty file edited and every edit undone is saved empty, not as one line end.
TEST_F(MainFormFileTest, AnEmptyFileEditedAndUndoneSavesEmpty)
{
    const std::string file = Write("empty.php", "");
    Open(file);
    Editor().CommandProcessor(ecChar, 'a', nullptr);
    Editor().CommandProcessor(ecLineBreak, '\r', nullptr);
    while (Editor().GetCanUndo())
        Form().mnuEditUndoClick(nullptr);
    EXPECT_FALSE(Editor().GetModified());
    Form().mnuFileSaveClick(nullptr);
    EXPECT_EQ(Contents(file), "");
}

// What the README says saving changes: mixed line ends become CR LF throughout, and the
// last line gets a line end; a file of one style keeps it.
TEST_F(MainFormFileTest, SaveWritesMixedLineEndsAsCrLfAndEndsTheLastLine)
{
    const std::string mixed = Write("mixed.php", "<?php\necho 1;\r\necho 2;\rend");
    Open(mixed);
    Form().mnuFileSaveClick(nullptr);
    EXPECT_EQ(Contents(mixed), "<?php\r\necho 1;\r\necho 2;\r\nend\r\n");

    const std::string unix = Write("unix.css", "a {}\nb {}");
    Open(unix);
    Form().mnuFileSaveClick(nullptr);
    EXPECT_EQ(Contents(unix), "a {}\nb {}\n");
}

TEST_F(MainFormFileTest, SaveOfAnUntitledTextAsksForANameAndAddsTheExtension)
{
    Type("new page");
    QueueFile("");  // cancelled: nothing written, still untitled and modified
    Form().mnuFileSaveClick(nullptr);
    EXPECT_EQ(Path(), "");
    EXPECT_TRUE(Editor().GetModified());
    EXPECT_EQ(Form().Caption(), "Quorvel");

    QueueFile(Folder() + "page");
    Form().mnuFileSaveClick(nullptr);
    EXPECT_EQ(Contents(Folder() + "page.htm"), "new page\r\n");
    EXPECT_EQ(Path(), Folder() + "page.htm");
    EXPECT_EQ(Form().Caption(), "Quorvel - \"page.htm\"");
    EXPECT_EQ(Form().mnuFileRecentFilesN[0]->Caption(), "page.htm");
}

TEST_F(MainFormFileTest, AFailedSaveKeepsTheTextModifiedAndTheOldFileWhole)
{
    const std::string folder = Folder() + "gone/";
    std::filesystem::create_directory(folder);
    const std::string file = folder + "a.php";
    Write("gone/a.php", "old\n");
    Open(file);
    Type("new ");
    std::filesystem::remove_all(folder);
    EXPECT_THROW(Form().mnuFileSaveClick(nullptr), EStreamError);
    EXPECT_EQ(Line(0), "new old");
    EXPECT_TRUE(Editor().GetModified());
    EXPECT_EQ(Path(), file);
}

TEST_F(MainFormFileTest, ASaveOverAReadOnlyFileFailsAndChangesNothing)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser may write read-only files";
    const std::string file = Write("locked.php", "old\n");
    Open(file);
    ::chmod(file.c_str(), 0444);
    Type("new ");
    EXPECT_THROW(Form().mnuFileSaveClick(nullptr), EStreamError);
    EXPECT_EQ(Contents(file), "old\n");
    EXPECT_EQ(Line(0), "new old");
    EXPECT_TRUE(Editor().GetModified());
}

// The chosen folder cannot be examined (an I/O error, a network file system that does
// not answer): Save As goes on, and the save's failure names the file and the reason.
TEST_F(MainFormFileTest, SaveAsIntoAFolderThatCannotBeExaminedSaysWhy)
{
    const std::string folder = Folder() + "remote";
    std::filesystem::create_directory(folder);
    const std::string file = folder + "/page.htm";
    Type("text");
    TFileCallsOverride override;
    const auto failing = [folder](const char* Name) {
        if (Name != folder)
            return false;
        errno = EIO;
        return true;
    };
    const auto stat = override.Calls().FStatAt;
    override.Calls().FStatAt = [stat, failing](int Dir, const char* Name, struct stat* Info, int Flags) {
        return failing(Name) ? -1 : stat(Dir, Name, Info, Flags);
    };
    const auto open = override.Calls().OpenAt;
    override.Calls().OpenAt = [open, failing](int Dir, const char* Name, int Flags, mode_t Mode) {
        return failing(Name) ? -1 : open(Dir, Name, Flags, Mode);
    };
    QueueFile(file);
    try {
        Form().mnuFileSaveAsClick(nullptr);
        ADD_FAILURE() << "nothing was said";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + file + "\". " + std::strerror(EIO));
    }
    EXPECT_TRUE(Editor().GetModified());
    EXPECT_EQ(Path(), "");
    EXPECT_FALSE(std::filesystem::exists(file));
}

// A file bigger than the memory the system can give is refused before the memory is
// taken, naming the file and its size; the text open before stays, with its name.
TEST_F(MainFormFileTest, AFileTooBigForTheMemoryIsRefusedAndTheOpenTextStays)
{
    const std::string file = Write("small.php", "<?php\n");
    Open(file);
    Type("unsaved ");
    const std::string big = Write("big.txt", std::string(std::size_t{1} << 20, 'x'));
    TFileCallsOverride override;
    override.Calls().AvailableMemory = [] { return std::uint64_t{512} << 10; };
    QueueBox(IDNO);  // the unsaved text is not saved first
    try {
        Open(big);
        ADD_FAILURE() << "the file was opened";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + big + "\" of 1048576 bytes: it needs more memory than "
                               "the 524288 bytes available");
    }
    EXPECT_EQ(Line(0), "unsaved <?php");
    EXPECT_TRUE(Editor().GetModified());
    EXPECT_EQ(Path(), file);
    EXPECT_EQ(Form().Caption(), "Quorvel - \"small.php\"");
}

TEST_F(MainFormFileTest, CloseEmptiesTheTextAndMakesItUntitled)
{
    Open(Write("a.php", "text\n"));
    Form().mnuFileCloseClick(nullptr);  // unmodified: no prompt
    EXPECT_EQ(Editor().GetLines()->Count(), 0);
    EXPECT_EQ(Path(), "");
    EXPECT_EQ(Form().Caption(), "Quorvel");

    Type("x");
    QueueBox(IDNO);
    Form().mnuFileCloseClick(nullptr);
    EXPECT_EQ(Editor().GetLines()->Count(), 0);
    // After Close, Save asks for a name.
    QueueFile("");
    Form().mnuFileSaveClick(nullptr);
}

TEST_F(MainFormFileTest, NewStartsAnotherCopyAndLeavesThisOneAlone)
{
    std::vector<TShellAction> actions;
    const TShellHandler previous = SetShellHandler([&](const TShellAction& Action) {
        actions.push_back(Action);
        return true;
    });
    Open(Write("a.php", "a\n"));
    Type("b");
    Form().mnuFileNewClick(nullptr);  // no prompt
    SetShellHandler(previous);
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].Kind, TShellAction::StartProgram);
    EXPECT_EQ(actions[0].Target, ProgramPath());
    EXPECT_TRUE(actions[0].Arguments.empty());
    EXPECT_EQ(Line(0), "ba");
    EXPECT_TRUE(Editor().GetModified());
    EXPECT_EQ(Form().Caption(), "Quorvel - \"a.php\"");
}

TEST_F(MainFormFileTest, ADropOpensTheFirstFileWithAPlainTitle)
{
    const std::string sql = Write("q.sql", "select 1\n");
    TStringList files;
    files.Add(sql);
    files.Add(Write("b.php", "b\n"));
    files.Add(Write("c.php", "c\n"));
    Form().EditorDropFiles(&Editor(), 0, 0, &files);
    EXPECT_EQ(Line(0), "select 1");
    EXPECT_EQ(Form().Caption(), "Quorvel - q.sql");
    EXPECT_EQ(Form().CurSyntax->Caption(), " SQL");
    EXPECT_EQ(Path(), sql);
    EXPECT_EQ(SettingsText(), "<missing>");  // no recent-file push
}

// A file dropped on changed text whose changes are let go loads like an opened one: not
// modified, nothing to undo or redo, and a Close after it asks nothing.
TEST_F(MainFormFileTest, ADropOnChangedTextAnsweredNoLoadsTheFileUnmodified)
{
    const std::string sql = Write("q.sql", "select 1\n");
    Type("mine");
    ASSERT_TRUE(Editor().GetModified());
    ASSERT_TRUE(Editor().GetCanUndo());
    TStringList files;
    files.Add(sql);
    QueueBox(IDNO);
    Form().EditorDropFiles(&Editor(), 0, 0, &files);
    EXPECT_EQ(BoxTexts().size(), 1u);
    EXPECT_EQ(Line(0), "select 1");
    EXPECT_FALSE(Editor().GetModified());
    EXPECT_FALSE(Editor().GetCanUndo());
    EXPECT_FALSE(Editor().GetCanRedo());
    EXPECT_EQ(Form().Caption(), "Quorvel - q.sql");
    Form().mnuFileCloseClick(nullptr);
    EXPECT_EQ(BoxTexts().size(), 1u);  // nothing to save: no second prompt
}

TEST_F(MainFormFileTest, AFailedFileListOpenChangesNothing)
{
    const std::string first = Write("first.php", "first\n");
    const std::string doomed = Write("doomed.php", "doomed\n");
    Open(first);
    Form().FileListBox1->SetDirectory(ExtractFileDir(doomed));
    const auto& names = Form().FileListBox1->Items();
    const auto at = std::find(names.begin(), names.end(), "doomed.php");
    ASSERT_NE(at, names.end());
    Form().FileListBox1->SetItemIndex(static_cast<int>(at - names.begin()));
    std::filesystem::remove(doomed);
    EXPECT_THROW(Form().FileListBox1DblClick(nullptr), EStreamError);
    EXPECT_EQ(Line(0), "first");
    EXPECT_EQ(Path(), first);
    EXPECT_EQ(Form().Caption(), "Quorvel - \"first.php\"");
    EXPECT_EQ(Form().Editor->GetHighlighter(), (TQvCustomHighlighter*)Form().QvPHPHighlighter1);

    // With nothing selected a double click does nothing.
    Form().FileListBox1->SetItemIndex(-1);
    Form().FileListBox1DblClick(nullptr);
    EXPECT_EQ(Line(0), "first");
}

// A named pipe would keep open() waiting for a writer, and the window with it; it is
// refused at once with a message naming it, like a device, and the old text stays.
TEST_F(MainFormFileTest, APipeOrADeviceIsRefusedAtOnceAndChangesNothing)
{
    const std::string first = Write("first.php", "first\n");
    Open(first);
    const std::string pipe = Folder() + "pipe.php";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Should the open wait after all, a writer comes after a minute and ends it; that it
    // had to come is the failure, however busy the machine.
    std::promise<void> done;
    std::atomic<bool> rescued = false;
    auto rescue = std::async(std::launch::async, [&, finished = done.get_future()] {
        if (finished.wait_for(std::chrono::seconds(60)) == std::future_status::ready)
            return;
        rescued = true;
        const int writer = ::open(pipe.c_str(), O_WRONLY);
        ::close(writer);
    });
    std::string opened, dropped;
    try {
        Open(pipe);
    } catch (const EStreamError& e) {
        opened = e.Message();
    }
    TStringList files;
    files.Add("/dev/zero");
    try {
        Form().EditorDropFiles(&Editor(), 0, 0, &files);
    } catch (const EStreamError& e) {
        dropped = e.Message();
    }
    done.set_value();
    rescue.wait();
    EXPECT_FALSE(rescued) << "the open waited for a writer";
    EXPECT_NE(opened.find("\"" + pipe + "\""), std::string::npos) << opened;
    EXPECT_NE(dropped.find("\"/dev/zero\""), std::string::npos) << dropped;
    EXPECT_EQ(Line(0), "first");
    EXPECT_EQ(Path(), first);
    EXPECT_EQ(Form().Caption(), "Quorvel - \"first.php\"");
    EXPECT_FALSE(Editor().GetModified());
}

// A name holding a NUL byte would reach the system cut short at it: "victim.txt\0.php"
// would open and save victim.txt under a title and highlighter of its own. Such a name from
// the recent list or a drop is refused before anything is asked, with a message showing
// the NUL, and a save to it writes nothing.
TEST_F(MainFormFileTest, ANameHoldingANulIsRefusedAndNoOtherFileIsOpenedOrWritten)
{
    const std::string victim = Write("victim.txt", "victim\n");
    const std::string name = victim + std::string("\0.php", 5);
    const std::string message = "Cannot open file \"" + victim + "\\0.php\". Its name holds a NUL byte (shown as \\0)";
    const std::string first = Write("first.php", "first\n");
    Open(first);
    Type("mine ");
    Write("settings.ini", "[Settings]\nRecentFile1=" + name + "\n");
    TStringList files;
    files.Add(name);
    const auto refused = [&](const std::function<void()>& Open) {
        try {
            Open();
        } catch (const EFOpenError& e) {
            return e.Message().rfind(message, 0) == 0;
        }
        return false;
    };
    EXPECT_TRUE(refused([&] { Form().mnuFileRecentFiles1Click(nullptr); }));
    EXPECT_TRUE(refused([&] { Form().EditorDropFiles(&Editor(), 0, 0, &files); }));
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(Line(0), "mine first");
    EXPECT_EQ(Path(), first);
    EXPECT_EQ(Form().Caption(), "Quorvel - \"first.php\"");

    Form().lblFileName->SetCaption(name);
    EXPECT_THROW(Form().mnuFileSaveClick(nullptr), EFCreateError);
    EXPECT_EQ(Contents(victim), "victim\n");
    EXPECT_TRUE(Editor().GetModified());
}

// Files in /proc cannot seek to their end and report no size, and a /sys file reports a
// page and holds less: each opens with what it holds.
TEST_F(MainFormFileTest, AFileWhoseSizeIsNoGuideOpensWithWhatItHolds)
{
    Open("/proc/version");
    EXPECT_EQ(Line(0) + "\n", ReadFileBytes("/proc/version"));
    EXPECT_EQ(Form().Caption(), "Quorvel - \"version\"");
    const std::string sys = "/sys/kernel/mm/transparent_hugepage/enabled";
    if (FileExists(sys)) {
        Open(sys);
        EXPECT_EQ(Line(0) + "\n", ReadFileBytes(sys));
    }
}

TEST_F(MainFormFileTest, TheFileListOpensTheSelectedFileWithoutUndoHistory)
{
    const std::string file = Write("list.php", "listed\n");
    Type("x");
    Form().FileListBox1->SetDirectory(ExtractFileDir(file));
    const auto& names = Form().FileListBox1->Items();
    Form().FileListBox1->SetItemIndex(
        static_cast<int>(std::find(names.begin(), names.end(), "list.php") - names.begin()));
    QueueBox(IDNO);
    Form().FileListBox1DblClick(nullptr);
    EXPECT_EQ(Line(0), "listed");
    EXPECT_FALSE(Editor().GetModified());
    EXPECT_FALSE(Editor().GetCanUndo());
    EXPECT_EQ(Form().Caption(), "Quorvel - \"list.php\"");
    EXPECT_EQ(Form().mnuFileRecentFilesN[0]->Caption(), "list.php");
}

TEST_F(MainFormFileTest, RecentFilesArePushedAndReopenedFromTheSettingsFile)
{
    const std::string a = Write("a.php", "a\n");
    const std::string b = Write("b.php", "b\n");
    Open(a);
    Open(b);
    Open(a);
    EXPECT_EQ(Form().mnuFileRecentFilesN[0]->Caption(), "a.php");
    EXPECT_EQ(Form().mnuFileRecentFilesN[1]->Caption(), "b.php");
    EXPECT_EQ(Form().mnuFileRecentFilesN[2]->Caption(), "a.php");
    EXPECT_EQ(Form().mnuFileRecentFilesN[3]->Caption(), "");

    Form().mnuFileRecentFiles2Click(nullptr);
    EXPECT_EQ(Line(0), "b");
    EXPECT_EQ(Form().Caption(), "Quorvel - \"b.php\"");
    const std::string c = Write("c&d.php", "c\n");
    Open(c);
    Open(a);  // a sixth push drops the oldest
    EXPECT_EQ(Form().mnuFileRecentFilesN[0]->Caption(), "a.php");
    EXPECT_EQ(Form().mnuFileRecentFilesN[1]->Caption(), "c&&d.php");
    EXPECT_EQ(Form().mnuFileRecentFilesN[4]->Caption(), "b.php");
    EXPECT_EQ(SettingsText().find("RecentFile5=" + a), std::string::npos);

    // An empty entry still asks about unsaved text, then does nothing.
    TSettingsFile(Folder()).AddRecentFile("");
    Type("x");
    QueueBox(IDNO);
    Form().mnuFileRecentFiles1Click(nullptr);
    EXPECT_EQ(Line(0), "xa");
}

}  // namespace

namespace {

// An empty text pasted into and the paste undone, then a file loaded by each way there is:
// nothing of the paste is left to redo, and nothing to undo.
TEST_F(MainFormFileTest, NoLoadLeavesAnythingOfTheOldTextToUndoOrRedo)
{
    const std::string file = Write("loaded.php", "<?php\necho 1;\n");
    const std::string expected = "<?php\r\necho 1;";
    const std::vector<std::pair<const char*, std::function<void()>>> loads = {
        {"open", [&] { Open(file); }},
        {"recent file", [&] { Form().mnuFileRecentFiles1Click(nullptr); }},
        {"file list",
         [&] {
             Form().FileListBox1->SetDirectory(ExtractFileDir(file));
             const auto& names = Form().FileListBox1->Items();
             Form().FileListBox1->SetItemIndex(
                 static_cast<int>(std::find(names.begin(), names.end(), "loaded.php") - names.begin()));
             Form().FileListBox1DblClick(nullptr);
         }},
        {"drop",
         [&] {
             TStringList files;
             files.Add(file);
             Form().EditorDropFiles(&Editor(), 0, 0, &files);
         }},
    };
    for (const auto& [way, load] : loads) {
        Editor().ClearAll();
        editscript::PutOnClipboard("PASTED1\r\nPASTED2", -1);
        Editor().CommandProcessor(ecPaste, '\0', nullptr);
        Editor().Undo();
        ASSERT_EQ(Editor().GetLines()->Count(), 0) << way;
        ASSERT_TRUE(Editor().GetCanRedo()) << way;
        load();
        EXPECT_FALSE(Editor().GetCanRedo()) << way;
        EXPECT_FALSE(Editor().GetCanUndo()) << way;
        Form().mnuEditRedoClick(nullptr);
        EXPECT_EQ(Editor().QvGetText(), expected) << way;
        EXPECT_FALSE(Editor().GetModified()) << way;
    }
}

}  // namespace
