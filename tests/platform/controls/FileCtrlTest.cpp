// The file-system controls: what each lists, how a choice travels down the links, and
// what a folder that cannot be entered leaves behind.
#include <gtest/gtest.h>

#include "FolderOpens.h"
#include "XServer.h"

#include "platform/controls/FileCtrl.h"
#include "platform/files/FindFiles.h"
#include "platform/forms/Forms.h"
#include "platform/runtime/Exceptions.h"
#include "platform/window/ControlsQt.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QMouseEvent>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

struct TDblClickCounter : TObject {
    int Count = 0;
    void Handle(TObject*) { ++Count; }
};

template <class Widget>
Widget* HostedOf(TWinControl& control)
{
    return qobject_cast<Widget*>(control.Window()->Hosted());
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint at)
{
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Handles events until the hosted list shows more than Rows rows, or a bound of rounds
// passes; the rows it shows.
int WaitForRows(QListWidget* list, int Rows)
{
    for (int round = 0; round < 1000 && list->count() <= Rows; ++round)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return list->count();
}

// A user's double click on a row of a hosted list, as the mouse delivers it, once the
// list shows its rows.
template <class List>
void DoubleClickRow(List& control, int row)
{
    control.SetBounds(0, 0, 300, 600);
    control.Show();
    control.HandleNeeded();
    control.Items();
    QListWidget* list = HostedOf<QListWidget>(control);
    ASSERT_NE(list, nullptr);
    QListWidgetItem* item = list->item(row);
    ASSERT_NE(item, nullptr);
    list->scrollToItem(item);
    const QPoint at = list->visualItemRect(item).center();
    QWidget* viewport = list->viewport();
    SendMouse(viewport, QEvent::MouseButtonPress, at);
    SendMouse(viewport, QEvent::MouseButtonRelease, at);
    SendMouse(viewport, QEvent::MouseButtonDblClick, at);
    SendMouse(viewport, QEvent::MouseButtonRelease, at);
}

class FileCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = ::testing::TempDir() + "filectrl_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = fs::canonical(pattern).string();
        savedDir_ = GetCurrentDir();
        fs::create_directory(folder_ + "/sub");
        fs::create_directory(folder_ + "/Another");
        fs::create_directory(folder_ + "/.hidden");
        for (const char* name : {"b.php", "A.htm", "c.html", "notes.txt", "README", ".secret.php", "sub/inner.php"})
            std::ofstream(folder_ + "/" + name) << "x";
    }
    void TearDown() override
    {
        SetCurrentDir(savedDir_);
        fs::remove_all(folder_);
    }

    std::string folder_;
    std::string savedDir_;
};

TEST_F(FileCtrlTest, FileListShowsMatchingVisibleFilesAndTheirFullNames)
{
    TFileListBox files(nullptr);
    files.SetDirectory(folder_ + "/");
    EXPECT_EQ(files.GetDirectory(), folder_);
    EXPECT_EQ(files.Items(), (Names{"A.htm", "b.php", "c.html", "notes.txt", "README"}));

    files.SetMask("*.PHP;*.htm*");
    EXPECT_EQ(files.Items(), (Names{"A.htm", "b.php", "c.html"}));
    EXPECT_EQ(HostedOf<QListWidget>(files)->count(), 3);

    EXPECT_EQ(files.GetItemIndex(), -1);
    EXPECT_EQ(files.GetFileName(), "");
    files.SetItemIndex(1);
    EXPECT_EQ(files.GetFileName(), folder_ + "/b.php");
    files.SetItemIndex(7);
    EXPECT_EQ(files.GetFileName(), "");
}

TEST_F(FileCtrlTest, FileListReadsTheFolderAgainWhenSetToIt)
{
    TFileListBox files(nullptr);
    files.SetDirectory(folder_);
    files.SetItemIndex(0);
    std::ofstream(folder_ + "/0new.php") << "x";
    files.SetDirectory(folder_);
    EXPECT_EQ(files.Items().front(), "0new.php");
    EXPECT_EQ(files.GetFileName(), "");
}

// A list shown in a window is drawn first and filled just after: the folder is read once,
// for all the settings made before, and not before the list is painted. A change made
// once it is on the screen takes the old rows away at once and is read by a posted task
// too; its rows are read at once when code asks for them.
TEST_F(FileCtrlTest, FileListIsReadOnceJustAfterItsFirstPaint)
{
    TForm form(nullptr);
    form.SetBounds(40, 40, 320, 400);
    auto* files = new TFileListBox(&form);
    files->SetParent(&form);
    files->SetBounds(0, 0, 300, 380);
    files->SetShowGlyphs(true);
    files->SetDirectory(folder_);
    files->SetMask("*.php;*.htm*");
    QListWidget* list = HostedOf<QListWidget>(*files);
    EXPECT_EQ(list->count(), 0) << "the folder was read before the list was painted";
    form.Show();
    EXPECT_EQ(WaitForRows(list, 2), 3);
    EXPECT_EQ(list->item(0)->text().toStdString(), "A.htm");
    EXPECT_FALSE(list->item(0)->icon().isNull());

    std::ofstream(folder_ + "/d.php") << "x";
    files->SetDirectory(folder_);
    EXPECT_EQ(list->count(), 0) << "the old rows stay, or the folder was read at once";
    EXPECT_EQ(WaitForRows(list, 3), 4);

    std::ofstream(folder_ + "/e.php") << "x";
    files->SetDirectory(folder_);
    EXPECT_EQ(files->Items(), (Names{"A.htm", "b.php", "c.html", "d.php", "e.php"}));
    EXPECT_EQ(list->count(), 5);
    form.Hide();
}

// The glyphs come from the names: no file is opened to choose one (see FileIconsQt.h).
// On an X server as on a GNOME desktop, whose theme in the toolkit reads a file to choose
// its icon when the name leaves the type open.
class FileCtrlOnX : public FileCtrlTest {
protected:
    void SetUp() override
    {
        if (!QvTest::OnXServer())
            GTEST_SKIP() << "runs only inside FileCtrlOnXServer.Glyphs";
        FileCtrlTest::SetUp();
    }
};

TEST_F(FileCtrlOnX, FileListGlyphsOpenNoFile)
{
    std::ofstream(folder_ + "/notes") << "x";  // a name no file type claims
    QvTest::TFolderOpens opens(folder_);
    ASSERT_TRUE(opens.Watching());
    TFileListBox files(nullptr);
    files.SetShowGlyphs(true);
    files.SetDirectory(folder_);
    ASSERT_EQ(files.Items().size(), 6u);
    QListWidget* list = HostedOf<QListWidget>(files);
    for (int row = 0; row < list->count(); ++row)
        EXPECT_FALSE(list->item(row)->icon().isNull()) << list->item(row)->text().toStdString();
    EXPECT_EQ(opens.Files(), Names{});
}

TEST(FileCtrlOnXServer, Glyphs)
{
    const char* const desktop = std::getenv("XDG_CURRENT_DESKTOP");
    const std::string saved = desktop != nullptr ? desktop : "";
    ::setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
    QvTest::ExpectPassOnXServer("FileCtrlOnX.*", 120);
    if (desktop != nullptr)
        ::setenv("XDG_CURRENT_DESKTOP", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CURRENT_DESKTOP");
}

// The folder list too: drawn first, filled just after, once.
TEST_F(FileCtrlTest, FolderListIsReadOnceJustAfterItsFirstPaint)
{
    TForm form(nullptr);
    form.SetBounds(40, 40, 320, 400);
    auto* folders = new TDirectoryListBox(&form);
    folders->SetParent(&form);
    folders->SetBounds(0, 0, 300, 380);
    folders->SetDirectory(folder_);
    QListWidget* list = HostedOf<QListWidget>(*folders);
    EXPECT_EQ(list->count(), 0) << "the folder was read before the list was painted";
    form.Show();
    const int ancestors = static_cast<int>(std::count(folder_.begin(), folder_.end(), '/')) + 1;
    EXPECT_EQ(WaitForRows(list, ancestors + 1), ancestors + 2);
    EXPECT_EQ(list->item(ancestors)->text().trimmed().toStdString(), "Another");
    EXPECT_EQ(folders->GetItemIndex(), ancestors - 1);

    fs::create_directory(folder_ + "/third");
    folders->SetDirectory(folder_);
    EXPECT_EQ(list->count(), 0) << "the old rows stay, or the folder was read at once";
    EXPECT_EQ(WaitForRows(list, ancestors + 2), ancestors + 3);
    form.Hide();
}

TEST_F(FileCtrlTest, FileListDoubleClickRunsOnDblClickWithTheRowSelected)
{
    TFileListBox files(nullptr);
    files.SetDirectory(folder_);
    TDblClickCounter counter;
    files.OnDblClick = TNotifyEvent(&counter, &TDblClickCounter::Handle);
    DoubleClickRow(files, 3);
    EXPECT_EQ(counter.Count, 1);
    EXPECT_EQ(files.GetFileName(), folder_ + "/notes.txt");
}

TEST_F(FileCtrlTest, FolderListShowsAncestorsThenSubfolders)
{
    TDirectoryListBox dirs(nullptr);
    dirs.SetDirectory(folder_);
    const Names& items = dirs.Items();
    const std::size_t depth = static_cast<std::size_t>(std::count(folder_.begin(), folder_.end(), '/'));
    ASSERT_EQ(items.size(), depth + 1 + 2);
    EXPECT_EQ(items.front(), "/");
    EXPECT_EQ(items[depth], fs::path(folder_).filename().string());
    EXPECT_EQ(items[depth + 1], "Another");
    EXPECT_EQ(items[depth + 2], "sub");

    EXPECT_EQ(dirs.GetItemIndex(), static_cast<int>(depth));
    EXPECT_EQ(dirs.GetItemPath(0), "/");
    EXPECT_EQ(dirs.GetItemPath(static_cast<int>(depth)), folder_);
    EXPECT_EQ(dirs.GetItemPath(static_cast<int>(depth) - 1), fs::path(folder_).parent_path().string());
    EXPECT_EQ(dirs.GetItemPath(static_cast<int>(depth) + 2), folder_ + "/sub");
    EXPECT_THROW(dirs.GetItemPath(static_cast<int>(items.size())), EListError);
}

TEST_F(FileCtrlTest, SettingTheFolderMovesTheProcessAndTheFileList)
{
    TDirectoryListBox dirs(nullptr);
    auto files = std::make_unique<TFileListBox>(nullptr);
    dirs.SetFileList(files.get());
    EXPECT_EQ(files->GetDirectory(), dirs.GetDirectory());

    dirs.SetDirectory(folder_ + "/sub/");  // with a trailing separator
    EXPECT_EQ(dirs.GetDirectory(), folder_ + "/sub");
    EXPECT_EQ(GetCurrentDir(), folder_ + "/sub");
    EXPECT_EQ(files->Items(), Names{"inner.php"});

    dirs.SetDirectory("..");  // relative to the current folder
    EXPECT_EQ(dirs.GetDirectory(), folder_);
    EXPECT_EQ(files->GetDirectory(), folder_);

    // A freed file list is forgotten, not written to.
    files.reset();
    EXPECT_EQ(dirs.GetFileList(), nullptr);
    dirs.SetDirectory(folder_ + "/sub");
    EXPECT_EQ(dirs.GetDirectory(), folder_ + "/sub");
}

TEST_F(FileCtrlTest, FolderThatCannotBeEnteredChangesNothing)
{
    TDirectoryListBox dirs(nullptr);
    TFileListBox files(nullptr);
    dirs.SetFileList(&files);
    dirs.SetDirectory(folder_);
    const Names before = dirs.Items();

    EXPECT_THROW(dirs.SetDirectory(folder_ + "/missing"), EInOutError);
    EXPECT_THROW(dirs.SetDirectory(folder_ + "/notes.txt"), EInOutError);
    EXPECT_EQ(dirs.GetDirectory(), folder_);
    EXPECT_EQ(dirs.Items(), before);
    EXPECT_EQ(GetCurrentDir(), folder_);
    EXPECT_EQ(files.GetDirectory(), folder_);
}

TEST_F(FileCtrlTest, FolderListDoubleClickOpensTheRowsFolder)
{
    TDirectoryListBox dirs(nullptr);
    dirs.SetDirectory(folder_);
    TDblClickCounter counter;
    dirs.OnDblClick = TNotifyEvent(&counter, &TDblClickCounter::Handle);
    const int subRow = static_cast<int>(dirs.Items().size()) - 1;

    DoubleClickRow(dirs, subRow);
    EXPECT_EQ(dirs.GetDirectory(), folder_ + "/sub");
    EXPECT_EQ(counter.Count, 1);

    DoubleClickRow(dirs, 0);
    EXPECT_EQ(dirs.GetDirectory(), "/");
    EXPECT_EQ(GetCurrentDir(), "/");
}

TEST_F(FileCtrlTest, FilterComboAppliesTheChosenMasks)
{
    TFileListBox files(nullptr);
    files.SetDirectory(folder_);
    TFilterComboBox filter(nullptr);
    EXPECT_EQ(filter.GetMask(), "*.*");

    filter.SetFilter("Веб (*.php;*.htm)|*.php; *.htm|Text|*.txt|All files (*.*)|*.*");
    filter.SetFileList(&files);
    EXPECT_EQ(files.GetMask(), "*.php; *.htm");
    EXPECT_EQ(files.Items(), (Names{"A.htm", "b.php"}));

    filter.SetItemIndex(1);
    EXPECT_EQ(files.Items(), Names{"notes.txt"});

    // The user's choice.
    QComboBox* combo = HostedOf<QComboBox>(filter);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "Веб (*.php;*.htm)");  // descriptions are UTF-8
    combo->setCurrentIndex(2);
    emit combo->activated(2);
    EXPECT_EQ(files.GetMask(), "*.*");
    EXPECT_EQ(files.Items().size(), 5u);
}

TEST_F(FileCtrlTest, DriveComboOffersRootAndHomeAndSetsTheFolderList)
{
    TDriveComboBox drives(nullptr);
    TDirectoryListBox dirs(nullptr);
    drives.SetDirList(&dirs);
    const Names& places = drives.Items();
    ASSERT_FALSE(places.empty());
    EXPECT_EQ(places.front(), "/");
    const std::string home = QDir(QDir::homePath()).absolutePath().toStdString();
    const auto homeAt = std::find(places.begin(), places.end(), home);
    EXPECT_NE(homeAt, places.end());
    // No place twice.
    Names sorted = places;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());

    QComboBox* combo = HostedOf<QComboBox>(drives);
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    EXPECT_EQ(dirs.GetDirectory(), "/");
    EXPECT_EQ(drives.GetDrive(), "/");

    // Setting the place from code leaves the folder list alone.
    if (homeAt != places.end() && home != "/") {
        drives.SetDrive(home);
        EXPECT_EQ(drives.GetDrive(), home);
        EXPECT_EQ(dirs.GetDirectory(), "/");
    }
}

}  // namespace
