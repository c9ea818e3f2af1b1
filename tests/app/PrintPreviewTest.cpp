// Printing through the print dialog into a PDF file, the line-number switch, the printer
// set-up, the preview in the browser, and the help links, with the desktop's shell
// replaced by a recorder.
#include "CommandOutput.h"
#include "MainFormFixture.h"
#include "SmallFileSystem.h"

#include "app/FormAbout.h"
#include "platform/graphics/Printers.h"
#include "platform/window/Menus.h"
#include "platform/window/Shell.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/print/QvEditPrint.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

class PrintPreviewTest : public TMainFormFixture {
protected:
    PrintPreviewTest()
    {
        Start();
        previousShell_ = SetShellHandler([this](const TShellAction& Action) {
            opened_.push_back(Action.Target);
            return true;
        });
    }
    ~PrintPreviewTest() override
    {
        SetShellHandler(previousShell_);
        Printer()->SetPdfOutput("");
    }

    TQvEdit& Editor() { return *Form().Editor; }
    const std::vector<std::string>& Opened() const { return opened_; }

    // Prints through the print dialog, answered with Answer and Copies, into a new PDF
    // file; returns the file's text ("<missing>" when nothing was printed).
    std::string Print(int Answer, int Copies = 1)
    {
        const std::string pdf = Folder() + "out" + std::to_string(++jobs_) + ".pdf";
        Printer()->SetPdfOutput(pdf);
        SetModalHook([&](const TModalRequest&) {
            if (auto* dialog = dynamic_cast<TPrintDialog*>(ExecutingDialog()))
                dialog->SetCopies(Copies);
            return Answer;
        });
        Form().mnuFilePrintClick(nullptr);
        if (!FileExists(pdf))
            return "<missing>";
        pages_ = QvTest::CommandOutput("pdfinfo '" + pdf + "'");
        return QvTest::CommandOutput("pdftotext -layout '" + pdf + "' -");
    }
    int Pages() const
    {
        const std::size_t at = pages_.find("Pages:");
        return at == std::string::npos ? -1 : std::atoi(pages_.c_str() + at + 6);
    }

private:
    TShellHandler previousShell_;
    std::vector<std::string> opened_;
    std::string pages_;
    int jobs_ = 0;
};

TEST_F(PrintPreviewTest, PrintingTakesTheTextCopiesAndLineNumbersOnlyWhenConfirmed)
{
    Editor().QvSetText("first line\r\nsecond line");
    Editor().GetFont()->SetCharset(204);
    EXPECT_EQ(Print(IDCANCEL), "<missing>");  // a cancelled dialog prints nothing

    std::string text = Print(IDOK, 2);
    EXPECT_NE(text.find("first line"), std::string::npos) << text;
    EXPECT_NE(text.find("second line"), std::string::npos) << text;
    EXPECT_EQ(text.find("1: first line"), std::string::npos) << text;
    EXPECT_EQ(Pages(), 2);  // two copies of one page, not four
    EXPECT_EQ(Form().QvEditPrint1->GetTitle(), Form().Caption());
    EXPECT_EQ(Form().QvEditPrint1->GetHighlighter(), Editor().GetHighlighter());
    EXPECT_EQ(Form().QvEditPrint1->GetFont()->GetCharset(), 204);

    EXPECT_FALSE(Form().mnuFilePrinterParamLineNumbers->Checked());
    Form().mnuFilePrinterParamLineNumbersClick(nullptr);
    EXPECT_TRUE(Form().mnuFilePrinterParamLineNumbers->Checked());
    text = Print(IDOK);
    EXPECT_NE(text.find("1: first line"), std::string::npos) << text;
    EXPECT_NE(text.find("2: second line"), std::string::npos) << text;

    Form().mnuFilePrinterParamLineNumbersClick(nullptr);  // off again: the next print has none
    EXPECT_FALSE(Form().QvEditPrint1->GetLineNumbers());
    text = Print(IDOK);
    EXPECT_EQ(text.find("1: first line"), std::string::npos) << text;
}

// A long document printed to a PDF file on a disk with little room: the print fails with
// a message that names the file and the system's reason, and leaves no PDF behind.
TEST_F(PrintPreviewTest, APrintThatRunsOutOfRoomNamesTheFileAndTheReason)
{
    QvTest::TSmallFileSystem disk(256 * 1024);
    if (!disk.Mounted())
        GTEST_SKIP() << disk.Why();
    ASSERT_TRUE(disk.Fill(24 * 1024));
    std::string text;
    for (int line = 1; line <= 3000; ++line)
        text += "echo \"line " + std::to_string(line) + " of a long script\";\r\n";
    Editor().QvSetText(text);
    const std::string pdf = disk.Path("long.pdf");
    Printer()->SetPdfOutput(pdf);
    SetModalHook([](const TModalRequest&) { return IDOK; });
    try {
        Form().mnuFilePrintClick(nullptr);
        ADD_FAILURE() << "the print reported success";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Cannot write file \"" + pdf + "\". " + std::strerror(ENOSPC));
    }
    EXPECT_GE(Form().QvEditPrint1->GetPageCount(), 33);
    EXPECT_FALSE(FileExists(pdf));
    EXPECT_FALSE(Printer()->Printing());
}

TEST_F(PrintPreviewTest, PreviewWritesPreviewHtmlAndOpensItEvenUntitled)
{
    const std::string preview = Folder() + "preview.html";
    Write("preview.html", "an older preview, longer than the new one\n");
    Editor().QvSetText("<p>one</p>\r\n<p>two</p>");
    Editor().SetModified(true);
    const std::string title = Form().Caption();
    Form().mnuFilePreviewClick(nullptr);
    EXPECT_EQ(Contents(preview), "<p>one</p>\r\n<p>two</p>\r\n");  // the buffer's line ends
    ASSERT_EQ(Opened().size(), 1u);
    EXPECT_NE(Opened()[0].find("preview.html"), std::string::npos);
    EXPECT_EQ(Form().Caption(), title);  // the text stays untitled
    EXPECT_TRUE(Editor().GetModified());  // the preview is no save of the text
}

TEST_F(PrintPreviewTest, AnUnwritableFolderFailsThePreviewBeforeTheBrowserIsAsked)
{
    // A "folder" that is a file: nothing can be made in it, not even by the superuser.
    const std::string notAFolder = Write("plain.txt", "x");
    Form().SetProgramFolder(notAFolder);
    Editor().QvSetText("text");
    EXPECT_THROW(Form().mnuFilePreviewClick(nullptr), Exception);
    EXPECT_TRUE(Opened().empty());
    EXPECT_EQ(Contents(notAFolder), "x");
}

TEST_F(PrintPreviewTest, HelpLinksAndTheAboutBoxOpenTheirAddresses)
{
    TfrmEdit& form = Form();
    form.mnuHelpHomePageClick(nullptr);
    form.N99Click(nullptr);
    form.mnuHelpMakerSiteClick(nullptr);
    form.N100Click(nullptr);
    TfrmAbout about(nullptr);
    about.Label1Click(nullptr);
    about.Label2Click(nullptr);
    about.Label3Click(nullptr);
    const std::vector<std::string> expected = {
        AboutLinks::ProductPage, AboutLinks::MakerScripts, AboutLinks::MakerSite, AboutLinks::MakerJobs,
        AboutLinks::ProductPage, AboutLinks::MakerSite, std::string("mailto:") + AboutLinks::MakerMail};
    EXPECT_EQ(Opened(), expected);
    for (const std::string& address : Opened())
        EXPECT_TRUE(address.find(".example.") != std::string::npos || address.find("@example.") != std::string::npos)
            << address;
}

}  // namespace
