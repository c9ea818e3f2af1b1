// The whole program's window on a real X server (Xvfb): a PHP file is opened, a word
// replaced through the find dialog, a line gone to, a tag inserted from the side pane,
// the text converted to KOI8-R and back, and saved; the file on disk must equal what a
// reference computation gives. The test starts Xvfb and runs the scenario in a child
// copy of this program on it; without Xvfb it is skipped with a message.
#include "IconvReference.h"
#include "MainFormFixture.h"
#include "XServer.h"

#include "app/FormSearch.h"
#include "platform/controls/StdCtrls.h"
#include "qvedit/editor/QvEdit.h"


namespace {

// ---- The scenario, run in the child on the X server --------------------------------------------

class EndToEndScenario : public TMainFormFixture {
protected:
    void SetUp() override
    {
        if (!QvTest::OnXServer())
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

    PickSidePage(Form().TabSheet3);
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

TEST(EndToEnd, OnAnXServer)
{
    QvTest::ExpectPassOnXServer("EndToEndScenario.*", 120);
}

}  // namespace
