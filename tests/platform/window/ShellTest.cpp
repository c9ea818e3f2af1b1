#include "platform/window/Shell.h"
#include "platform/runtime/SysUtils.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

namespace {

// Records what the desktop would be asked to do, and answers Answer.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = SetShellHandler([this](const TShellAction& action) {
            Actions.push_back(action);
            return Answer;
        });
    }
    void TearDown() override { SetShellHandler(previous_); }

    std::vector<TShellAction> Actions;
    bool Answer = true;

private:
    TShellHandler previous_;
};

}  // namespace

TEST_F(ShellTest, AddressesOpenThroughTheDesktop)
{
    EXPECT_GT(ShellExecute(nullptr, "open", "mailto:someone@example.com", "", "", 0), 32);
    EXPECT_GT(ShellExecute(nullptr, "", "https://example.com/a page?q=1", "", "", SW_SHOWNORMAL), 32);
    ASSERT_EQ(Actions.size(), 2u);
    EXPECT_EQ(Actions[0].Kind, TShellAction::OpenUrl);
    EXPECT_EQ(Actions[0].Target, "mailto:someone@example.com");
    EXPECT_EQ(Actions[1].Target, "https://example.com/a%20page?q=1");
}

TEST_F(ShellTest, ExistingFilesOpenAsFileAddresses)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = QFile::encodeName(dir.path()).toStdString();
    const std::string file = folder + "/preview page.html";
    std::ofstream(file) << "<html></html>";

    EXPECT_GT(ShellExecute(nullptr, "open", file, "", "", 0), 32);
    // A relative name is looked for in the given folder.
    EXPECT_GT(ShellExecute(nullptr, "open", "preview page.html", "", folder, 0), 32);
    ASSERT_EQ(Actions.size(), 2u);
    const std::string expected = "file://" + folder + "/preview%20page.html";
    EXPECT_EQ(Actions[0].Target, expected);
    EXPECT_EQ(Actions[1].Target, expected);
    EXPECT_EQ(Actions[0].Kind, TShellAction::OpenUrl);
}

TEST_F(ShellTest, TheProgramItselfStartsAsANewProcess)
{
    EXPECT_GT(ShellExecute(nullptr, "open", ProgramPath(), "-x \"two words\"", "/tmp", 0), 32);
    ASSERT_EQ(Actions.size(), 1u);
    EXPECT_EQ(Actions[0].Kind, TShellAction::StartProgram);
    EXPECT_EQ(Actions[0].Target, ProgramPath());
    EXPECT_EQ(Actions[0].Arguments, (std::vector<std::string>{"-x", "two words"}));
    EXPECT_EQ(Actions[0].Directory, "/tmp");
}

TEST_F(ShellTest, FailuresGiveCodesBelow33AndAskNothing)
{
    EXPECT_EQ(ShellExecute(nullptr, "open", "/no/such/file.html", "", "", 0), SE_ERR_FNF);
    EXPECT_EQ(ShellExecute(nullptr, "open", "", "", "", 0), SE_ERR_FNF);
    // A name the system would cut short at its NUL byte, to name the program.
    EXPECT_EQ(ShellExecute(nullptr, "open", ProgramPath() + std::string("\0.html", 6), "", "", 0), SE_ERR_FNF);
    EXPECT_EQ(ShellExecute(nullptr, "print", "https://example.com", "", "", 0), SE_ERR_NOASSOC);
    EXPECT_TRUE(Actions.empty());

    Answer = false;  // the desktop refuses
    EXPECT_LE(ShellExecute(nullptr, "open", "https://example.com", "", "", 0), 32);
    EXPECT_EQ(Actions.size(), 1u);
}
