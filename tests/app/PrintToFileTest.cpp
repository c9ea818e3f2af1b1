// Printing as a user does it in a real window, with no printer queue set up by the
// program: Ctrl+P, the print dialog's output file, Print; the PDF file holds the text.
#include "RealWindowFixture.h"

#include "platform/graphics/Printers.h"
#include "platform/window/ControlsQt.h"
#include "qvedit/editor/QvEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QDialog>
#include <QTimer>

namespace {

using PrintToFile = TRealWindowFixture;

TEST_F(PrintToFile, CtrlPOutputFilePrint)
{
    Start();
    Form().Editor->QvSetText("<?php\r\necho \"printed from the dialog\";\r\n?>");
    const std::string pdf = Folder() + "chosen.pdf";
    ASSERT_TRUE(Printer()->GetPdfOutput().empty());

    // The real print dialog: its output file is set, then Enter prints. Whatever the
    // program asks after that goes to the fixture's script again.
    const TModalHook scripted = SetModalHook(nullptr);
    bool shown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || !dialog->inherits("QPrintDialog") || shown || !dialog->isVisible())
            return;
        shown = true;
        if (auto* printers = dialog->findChild<QComboBox*>("printers")) {
            const int toFile = printers->findText("PDF", Qt::MatchContains);
            if (toFile >= 0 && printers->currentIndex() != toFile) {
                printers->setCurrentIndex(toFile);
                // Qt acts on the user's choice, which a programmatic one does not signal.
                QMetaObject::invokeMethod(printers, "activated", Q_ARG(int, toFile));
            }
        }
        auto* file = dialog->findChild<QLineEdit*>("filename");
        ASSERT_NE(file, nullptr);
        file->setText(QString::fromStdString(pdf));
        SetModalHook(scripted);
        XDoTool("windowfocus --sync " + std::to_string(dialog->winId()));
        file->setFocus();
        XDoTool("key Return");
    });
    watch.start(50);

    Form().Editor->SetFocus();
    XDoTool("windowfocus --sync " + std::to_string(Form().Window()->Frame()->winId()));
    ASSERT_TRUE(WaitFor([&] { return Form().Editor->Focused(); }));
    XDoTool("key ctrl+p");
    EXPECT_TRUE(WaitFor([&] { return shown && QApplication::activeModalWidget() == nullptr; }));
    watch.stop();
    SetModalHook(scripted);

    ASSERT_TRUE(FileExists(pdf)) << "nothing was printed; asked: " << (BoxTexts().empty() ? "" : BoxTexts().back());
    const std::string text = QvTest::CommandOutput("pdftotext -layout '" + pdf + "' -");
    EXPECT_NE(text.find("echo \"printed from the dialog\";"), std::string::npos) << text;
    Printer()->SetPdfOutput("");
}

TEST(PrintToFileInARealWindow, OnAnXServer)
{
    QvTest::ExpectPassOnXServer("PrintToFile.*", 120);
}

}  // namespace
