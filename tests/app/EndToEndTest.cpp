// The whole program's window on a real X server (Xvfb): a PHP file is opened, a word
// replaced through the find dialog, a line gone to, a tag inserted from the side pane,
// the text converted to KOI8-R and back, and saved; the file on disk must equal what a
// reference computation gives. The test starts Xvfb and runs the scenario in a child
// copy of this program on it; without Xvfb it is skipped with a message.
#include "IconvReference.h"
#include "MainFormFixture.h"

#include "app/FormSearch.h"
#include "platform/controls/StdCtrls.h"
#include "qvedit/editor/QvEdit.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

extern char** environ;

namespace {

constexpr const char* ChildVariable = "QV_END_TO_END_CHILD";

// ---- The scenario, run in the child on the X server --------------------------------------------

class EndToEndScenario : public TMainFormFixture {
protected:
    void SetUp() override
    {
        if (std::getenv(ChildVariable) == nullptr)
            GTEST_SKIP() << "runs only inside EndToEnd.OnAnXServer";
    }
};

TEST_F(EndToEndScenario, OpenReplaceGoToInsertConvertSave)
{
    SetAnsiCodePage(1251);
    // "Привет" in code page 1251 on the second line.
    const std::string original = "<?php\r\n$greeting = \"\xCF\xF0\xE8\xE2\xE5\xF2\";\r\necho $greeting;\r\n?>\r\n";
    const std::string file = Write("page.php", original);
    Start();
    Application->ProcessMessages();
    QueueFile(file);
    Form().mnuFileOpenClick(nullptr);

    Form().mnuEditReplaceClick(nullptr);
    Application->ProcessMessages();
    ASSERT_TRUE(frmSearch->Visible());
    frmSearch->txtSearch->SetText("greeting");
    frmSearch->txtReplace->SetText("message");
    frmSearch->bReplaceAllClick(frmSearch->bReplaceAll);
    frmSearch->bCancelClick(frmSearch->bCancel);

    SetModalHook([](const TModalRequest&) {
        frmGoTo->txtLines->SetText("3");
        frmGoTo->bGoClick(frmGoTo->bGo);
        return frmGoTo->ModalResult();
    });
    Form().mnuEditGoToClick(nullptr);
    ASSERT_EQ(Form().Editor->GetCaretY(), 3);
    Form().Editor->SetCaretX(1);

    const int bRow = Form().HTMLTagsItems->Items()->IndexOf("<b>..</b>");
    ASSERT_GE(bRow, 0);
    Form().HTMLTagsItems->SetItemIndex(bRow);
    Form().HTMLTagsItemsDblClick(Form().HTMLTagsItems);

    Form().EncodingWinKoi(nullptr);
    Form().EncodingKoiWin(nullptr);
    Form().mnuFileSaveClick(nullptr);
    Application->ProcessMessages();

    // The reference: the same edits made on the bytes, then iconv's round trip.
    std::string expected = original;
    for (std::size_t at; (at = expected.find("greeting")) != std::string::npos;)
        expected.replace(at, 8, "message");
    expected.insert(expected.find("echo"), " " + Form().HTMLTagsInsert->Items()->Strings(bRow));
    expected = IconvBytes("KOI8-R", "CP1251", IconvBytes("CP1251", "KOI8-R", expected));
    EXPECT_EQ(Contents(file), expected);
    EXPECT_NE(expected.find("\xCF\xF0\xE8\xE2\xE5\xF2"), std::string::npos);
}

// ---- The parent: an X server and the child ----------------------------------------------------

// Starts Xvfb on a free display; returns its pid and display number, or pid 0.
pid_t StartXvfb(int& Display)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const char* args[] = {"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1024x768x24", nullptr};
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, "Xvfb", &actions, nullptr, const_cast<char**>(args), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    std::string number;
    pollfd ready{fds[0], POLLIN, 0};
    char c = 0;
    while (failed == 0 && ::poll(&ready, 1, 10000) == 1 && ::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    if (failed != 0)
        return 0;
    if (number.empty()) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        return 0;
    }
    Display = std::atoi(number.c_str());
    return pid;
}

// Runs this program's scenario test on the display; its exit status, -1 on a time-out.
int RunChild(int Display)
{
    std::vector<std::string> variables = {std::string(ChildVariable) + "=1", "QT_QPA_PLATFORM=xcb",
                                          "DISPLAY=:" + std::to_string(Display)};
    for (char** v = environ; *v != nullptr; ++v) {
        const std::string variable = *v;
        if (variable.rfind("ASAN_OPTIONS=", 0) == 0)
            // The X keyboard library hands strndup a buffer without a terminating NUL,
            // which is allowed but trips the strict string check.
            variables.push_back(variable + ":strict_string_checks=0");
        else if (variable.rfind("QT_QPA_PLATFORM=", 0) != 0 && variable.rfind("DISPLAY=", 0) != 0)
            variables.push_back(variable);
    }
    std::vector<char*> envp;
    for (std::string& v : variables)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string filter = "--gtest_filter=EndToEndScenario.*";
    char program[] = "/proc/self/exe";
    char* args[] = {program, filter.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program, nullptr, nullptr, args, envp.data()) != 0)
        return -2;
    int status = 0;
    for (int waited = 0; waited < 1200; ++waited) {
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return -1;
}

TEST(EndToEnd, OnAnXServer)
{
    if (std::getenv(ChildVariable) != nullptr)
        GTEST_SKIP() << "the child runs only the scenario";
    int display = 0;
    const pid_t server = StartXvfb(display);
    if (server == 0)
        GTEST_SKIP() << "no X server could be started (Xvfb missing or failing)";
    const int status = RunChild(display);
    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);
    EXPECT_EQ(status, 0) << "the scenario failed on display :" << display << " (its output is above)";
}

}  // namespace
