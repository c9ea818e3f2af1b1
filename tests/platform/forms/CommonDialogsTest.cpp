// The common dialogs: filter strings, the scripted answers through the modal hook (and
// what the dialog makes of them), and the real file dialog driven from a timer.
#include <gtest/gtest.h>

#include "FolderOpens.h"

#include "platform/forms/CommonDialogs.h"
#include "platform/forms/Dialogs.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Printers.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Installs a hook for one test and takes it away again.
class TScriptedHook {
public:
    explicit TScriptedHook(TModalHook hook) : previous_(SetModalHook(std::move(hook))) {}
    ~TScriptedHook() { SetModalHook(previous_); }
    TScriptedHook(const TScriptedHook&) = delete;
    TScriptedHook& operator=(const TScriptedHook&) = delete;

private:
    TModalHook previous_;
};

// Answers a dialog: lets Choose set the choice on the executing dialog, then answers.
template <class Dialog>
TModalHook Answer(int answer, std::function<void(Dialog&)> choose)
{
    return [answer, choose](const TModalRequest& request) {
        EXPECT_EQ(request.Kind, TModalKind::Dialog);
        auto* dialog = dynamic_cast<Dialog*>(ExecutingDialog());
        EXPECT_NE(dialog, nullptr);
        if (dialog != nullptr && choose)
            choose(*dialog);
        return answer;
    };
}

class CommonDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = ::testing::TempDir() + "dialogs_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = fs::canonical(pattern).string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Touch(const std::string& name) const
    {
        const std::string path = folder_ + "/" + name;
        std::ofstream(path) << "x";
        return path;
    }

    std::string folder_;
};

TEST(ParseFilterTest, SplitsPairsAndDropsIncompleteOnes)
{
    const auto entries = ParseFilter("Web (*.HTM;*.PHP)|*.HTM;*.PHP|All files|*.*|Broken|");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Description, "Web (*.HTM;*.PHP)");
    EXPECT_EQ(entries[0].Masks, "*.HTM;*.PHP");
    EXPECT_EQ(entries[1].Description, "All files");
    EXPECT_EQ(entries[1].Masks, "*.*");
    EXPECT_TRUE(ParseFilter("").empty());
    EXPECT_TRUE(ParseFilter("Only a description").empty());
}

TEST_F(CommonDialogsTest, HookSeesTheDialogAndItsChoiceIsTaken)
{
    TOpenDialog dialog(nullptr);
    dialog.SetTitle("Pick");
    const std::string chosen = Touch("page.php");
    TModalRequest seen;
    TScriptedHook hook([&](const TModalRequest& request) {
        seen = request;
        EXPECT_EQ(ExecutingDialog(), &dialog);
        static_cast<TOpenDialog*>(ExecutingDialog())->SetFileName(chosen);
        return IDOK;
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.GetFileName(), chosen);
    EXPECT_EQ(seen.Kind, TModalKind::Dialog);
    EXPECT_EQ(seen.Caption, "Pick");
    EXPECT_EQ(seen.Text, "TOpenDialog");
    EXPECT_EQ(ExecutingDialog(), nullptr);
}

TEST_F(CommonDialogsTest, CancelKeepsTheOldFileName)
{
    TSaveDialog dialog(nullptr);
    dialog.SetFileName("/old/name.htm");
    TScriptedHook hook(Answer<TSaveDialog>(IDCANCEL, [&](TSaveDialog& d) { d.SetFileName(folder_ + "/new.htm"); }));
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.GetFileName(), "/old/name.htm");
}

TEST_F(CommonDialogsTest, SaveAddsTheDefaultExtensionAndCompletesThePath)
{
    TSaveDialog dialog(nullptr);
    dialog.SetDefaultExt(".htm");
    dialog.SetInitialDir(folder_);
    std::string typed;
    TScriptedHook hook(Answer<TSaveDialog>(IDOK, [&](TSaveDialog& d) { d.SetFileName(typed); }));

    typed = "page";
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.GetFileName(), folder_ + "/page.htm");

    typed = folder_ + "/style.css";
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.GetFileName(), folder_ + "/style.css");

    dialog.SetDefaultExt("php");
    typed = folder_ + "/script";
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.GetFileName(), folder_ + "/script.php");

    // A default extension written like a mask puts no wildcard into the name.
    dialog.SetDefaultExt("*.css");
    typed = "rules";
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.GetFileName(), folder_ + "/rules.css");
}

TEST_F(CommonDialogsTest, ConfirmationWithoutAcceptableNameCountsAsCancel)
{
    TOpenDialog dialog(nullptr);
    dialog.SetOptions(ofFileMustExist | ofPathMustExist);
    dialog.SetFileName("/before");
    std::string typed;
    TScriptedHook hook(Answer<TOpenDialog>(IDOK, [&](TOpenDialog& d) { d.SetFileName(typed); }));

    typed = "";
    EXPECT_FALSE(dialog.Execute());
    typed = folder_ + "/missing.php";
    EXPECT_FALSE(dialog.Execute());
    typed = folder_ + "/nofolder/x.php";
    EXPECT_FALSE(dialog.Execute());
    typed = folder_ + "/";
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.GetFileName(), "/before");

    typed = Touch("there.php");
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.GetFileName(), typed);
}

TEST_F(CommonDialogsTest, HookThatThrowsLeavesNoExecutingDialog)
{
    TColorDialog dialog(nullptr);
    TScriptedHook hook([](const TModalRequest&) -> int { throw std::runtime_error("script failed"); });
    EXPECT_THROW(dialog.Execute(), std::runtime_error);
    EXPECT_EQ(ExecutingDialog(), nullptr);
}

TEST_F(CommonDialogsTest, ColourAndFontChoices)
{
    TColorDialog colour(nullptr);
    colour.SetColor(clRed);
    {
        TScriptedHook hook(Answer<TColorDialog>(IDCANCEL, [](TColorDialog&) {}));
        EXPECT_FALSE(colour.Execute());
        EXPECT_EQ(colour.GetColor(), clRed);
    }
    {
        // A system colour comes back as the plain colour it stands for.
        TScriptedHook hook(Answer<TColorDialog>(IDOK, [](TColorDialog& d) { d.SetColor(clBtnFace); }));
        ASSERT_TRUE(colour.Execute());
        EXPECT_EQ(colour.GetColor(), ColorToRGB(clBtnFace));
        EXPECT_EQ(colour.GetColor() & 0xFF000000, 0);
    }

    TFontDialog font(nullptr);
    TScriptedHook hook(Answer<TFontDialog>(IDOK, [](TFontDialog& d) { d.Font()->SetName("Arial"); }));
    ASSERT_TRUE(font.Execute());
    EXPECT_EQ(font.Font()->GetName(), "Arial");
}

TEST_F(CommonDialogsTest, PrintDialogLeavesTheCopiesToTheCaller)
{
    TPrintDialog dialog(nullptr);
    Printer()->SetCopies(4);
    {
        TScriptedHook hook(Answer<TPrintDialog>(IDOK, [](TPrintDialog& d) { d.SetCopies(3); }));
        ASSERT_TRUE(dialog.Execute());
    }
    EXPECT_EQ(dialog.GetCopies(), 3);
    // Otherwise the printer repeats each page and the caller's loop repeats the job.
    EXPECT_EQ(Printer()->GetCopies(), 1);

    TScriptedHook hook(Answer<TPrintDialog>(IDOK, [](TPrintDialog& d) { d.SetCopies(0); }));
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.GetCopies(), 1);

    TPrinterSetupDialog setup(nullptr);
    TScriptedHook cancel(Answer<TPrinterSetupDialog>(IDCANCEL, nullptr));
    EXPECT_FALSE(setup.Execute());
}

// The real printer set-up dialog says what it is and confirms with OK, and the output
// it sets up is what the next job prints to.
TEST_F(CommonDialogsTest, RealPrinterSetupDialogConfirmsWithOkAndSetsThePrinter)
{
    TPrinterSetupDialog setup(nullptr);
    const std::string pdf = folder_ + "/set-up.pdf";
    QString title, confirm;
    QTimer::singleShot(0, [&] {
        QWidget* shown = QApplication::activeModalWidget();
        ASSERT_NE(shown, nullptr);
        title = shown->windowTitle();
        auto* buttons = shown->findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        ASSERT_NE(buttons->button(QDialogButtonBox::Ok), nullptr);
        confirm = buttons->button(QDialogButtonBox::Ok)->text().remove('&');
        auto* printers = shown->findChild<QComboBox*>("printers");
        ASSERT_NE(printers, nullptr);
        const int toFile = printers->findText("PDF", Qt::MatchContains);
        ASSERT_GE(toFile, 0);
        printers->setCurrentIndex(toFile);
        QMetaObject::invokeMethod(printers, "activated", Q_ARG(int, toFile));
        auto* file = shown->findChild<QLineEdit*>("filename");
        ASSERT_NE(file, nullptr);
        file->setText(QString::fromStdString(pdf));
        buttons->button(QDialogButtonBox::Ok)->click();
    });
    ASSERT_TRUE(setup.Execute());
    EXPECT_EQ(title, "Print Setup");
    EXPECT_EQ(confirm, "OK");
    EXPECT_EQ(Printer()->GetPdfOutput(), pdf);
    Printer()->SetPdfOutput("");
}

// Without a hook the real dialog runs; a timer plays the user.
TEST_F(CommonDialogsTest, RealFileDialogTakesFiltersAndReturnsTheChoice)
{
    TSaveDialog dialog(nullptr);
    dialog.SetInitialDir(folder_);
    dialog.SetFilter("Web (*.HTM;*.PHP)|*.HTM;*.PHP|All files|*.*");
    dialog.SetFilterIndex(2);
    dialog.SetDefaultExt(".htm");
    QStringList filters;
    QString selectedFilter;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        filters = shown->nameFilters();
        selectedFilter = shown->selectedNameFilter();
        shown->selectNameFilter(filters.value(0));
        shown->selectFile("typed");
        QMetaObject::invokeMethod(shown, "accept");
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.GetFileName(), folder_ + "/typed.htm");
    EXPECT_EQ(dialog.GetFilterIndex(), 1);
    ASSERT_EQ(filters.size(), 2);
    // Qt reads the masks from the last group; a "name.*" mask brings its bare stem.
    EXPECT_EQ(filters[0], "Web (*.HTM;*.PHP) (*.HTM *.PHP)");
    EXPECT_EQ(filters[1], "All files (*.* *)");
    // Shown by its description only, starting on the filter asked for.
    EXPECT_EQ(selectedFilter, "All files");
}

// Listing a folder opens none of its files: a file's type is told by its name alone. (Its
// first bytes would be read for a name that tells nothing, and under /proc such a read
// waits for ever; a pipe's would wait for a writer.)
TEST_F(CommonDialogsTest, RealFileDialogListsAFolderWithoutOpeningItsFiles)
{
    const std::vector<std::string> names = {"notes", "page.php", "pipe"};
    Touch("notes");
    Touch("page.php");
    ASSERT_EQ(::mkfifo((folder_ + "/pipe").c_str(), 0600), 0);
    QvTest::TFolderOpens opens(folder_);
    ASSERT_TRUE(opens.Watching());

    TOpenDialog dialog(nullptr);
    dialog.SetInitialDir(folder_);
    bool listed = false;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        auto* model = shown->findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        // Each row has its type once the folder's listing has reached the model.
        auto typed = [&](const std::string& name) {
            return !model->index(QString::fromStdString(folder_ + "/" + name), 2).data().toString().isEmpty();
        };
        QElapsedTimer waited;
        waited.start();
        while (!(listed = std::all_of(names.begin(), names.end(), typed)) && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        shown->reject();
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_TRUE(listed) << "the rows got no types";
    EXPECT_EQ(opens.Files(), std::vector<std::string>{});
}

}  // namespace
