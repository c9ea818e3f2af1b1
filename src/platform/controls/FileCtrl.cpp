// The file-system controls over a hosted list or combo widget.
#include "platform/controls/FileCtrl.h"

#include "platform/controls/StdCtrlsQt.h"
#include "platform/files/FindFiles.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/runtime/FileIconsQt.h"
#include "platform/runtime/SysUtils.h"
#include "platform/window/ControlsQt.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QStorageInfo>

#include <algorithm>
#include <functional>

namespace {

QString PathText(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string PathBytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// The parts of a path between separators, "." dropped and ".." applied. Works on the
// bytes, so a name that is not valid text survives.
std::vector<std::string> PathParts(const std::string& path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    return parts;
}

std::string JoinParts(const std::vector<std::string>& parts, std::size_t count)
{
    std::string path;
    for (std::size_t i = 0; i < count; ++i)
        path += "/" + parts[i];
    return path.empty() ? std::string("/") : path;
}

// A full folder path without a trailing separator; relative paths count from the
// current folder.
std::string FullFolder(const std::string& folder)
{
    const std::string absolute = !folder.empty() && folder.front() == '/' ? folder : GetCurrentDir() + "/" + folder;
    const std::vector<std::string> parts = PathParts(absolute);
    return JoinParts(parts, parts.size());
}

std::string ChildPath(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// The place that holds folder: the longest one that is a prefix of it (the root holds
// every folder).
int PlaceHolding(const std::vector<std::string>& places, const std::string& folder)
{
    int best = 0;
    for (std::size_t i = 1; i < places.size(); ++i) {
        const std::string& place = places[i];
        const bool holds = folder == place || folder.starts_with(place + "/");
        if (holds && place.size() > places[static_cast<std::size_t>(best)].size())
            best = static_cast<int>(i);
    }
    return best;
}

// A list whose rows Fill reads: when they are asked for (FillIfStale), or in a task
// posted once the list has been painted, never twice for one change.
class TLazyList : public QListWidget {
public:
    TLazyList(TObject* Control, std::function<void()> Fill) : control_(Control), fill_(std::move(Fill)) {}

    // The rows are out of date and go at once, so that none is shown or chosen; once the
    // list has been painted, the reading of the new ones is posted.
    void MarkStale()
    {
        stale_ = true;
        clear();
        if (painted_)
            PostFill();
    }
    void FillIfStale()
    {
        if (!stale_)
            return;
        stale_ = false;
        fill_();
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QListWidget::paintEvent(event);
        if (!painted_) {
            painted_ = true;
            if (stale_)
                PostFill();
        }
    }

private:
    void PostFill()
    {
        if (posted_)
            return;
        posted_ = true;
        // Dropped with the list, which goes with its control.
        QMetaObject::invokeMethod(
            this,
            [this] {
                posted_ = false;
                CallGuarded(control_, [this] { FillIfStale(); });
            },
            Qt::QueuedConnection);
    }

    TObject* control_;
    std::function<void()> fill_;
    bool stale_ = false;
    bool painted_ = false;
    bool posted_ = false;
};

QListWidget* MakeList(TWinControl* control, std::function<void()> Fill)
{
    auto* list = new TLazyList(control, std::move(Fill));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    control->Window()->HostWidget(list);
    return list;
}

TLazyList* Lazy(QListWidget* list)
{
    return static_cast<TLazyList*>(list);
}

QComboBox* MakeCombo(TWinControl* control)
{
    auto* combo = new QComboBox;
    combo->setEditable(false);
    control->Window()->HostWidget(combo);
    return combo;
}

// The row the user sees selected; -1 when none (the current row may be unselected).
int SelectedRow(const QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    return item != nullptr && item->isSelected() ? list->currentRow() : -1;
}

void SelectRow(QListWidget* list, int row)
{
    if (row < 0 || row >= list->count())
        list->setCurrentRow(-1, QItemSelectionModel::Clear);
    else
        list->setCurrentRow(row);
}

}  // namespace

// ---- TFileListBox -------------------------------------------------------------------------

TFileListBox::TFileListBox(TComponent* AOwner)
    : TWinControl(AOwner), list_(MakeList(this, [this] { ReadFileNames(); })), directory_(FullFolder(""))
{
    SetTabStop(true);
    ConnectGuarded(list_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex&) { DblClick(); });
    Lazy(list_)->MarkStale();
}

void TFileListBox::SetDirectory(const std::string& Value)
{
    directory_ = FullFolder(Value);
    Lazy(list_)->MarkStale();
}

void TFileListBox::SetMask(const std::string& Value)
{
    mask_ = Value;
    Lazy(list_)->MarkStale();
}

void TFileListBox::SetShowGlyphs(bool Value)
{
    showGlyphs_ = Value;
    Lazy(list_)->MarkStale();
}

const std::vector<std::string>& TFileListBox::Items() const
{
    Lazy(list_)->FillIfStale();
    return names_;
}

int TFileListBox::GetItemIndex() const
{
    Lazy(list_)->FillIfStale();
    return SelectedRow(list_);
}

void TFileListBox::SetItemIndex(int Value)
{
    Lazy(list_)->FillIfStale();
    SelectRow(list_, Value);
}

std::string TFileListBox::GetFileName() const
{
    const int row = GetItemIndex();
    return row < 0 ? std::string() : ChildPath(directory_, names_[static_cast<std::size_t>(row)]);
}

void TFileListBox::ReadFileNames()
{
    names_ = FindFiles(directory_, mask_);
    list_->clear();
    const TNameOnlyIconProvider icons;
    for (const std::string& name : names_) {
        auto* item = new QListWidgetItem(PathText(name), list_);
        if (showGlyphs_)
            item->setIcon(icons.icon(QFileInfo(PathText(ChildPath(directory_, name)))));
    }
    SelectRow(list_, -1);
}

// ---- TDirectoryListBox --------------------------------------------------------------------

TDirectoryListBox::TDirectoryListBox(TComponent* AOwner)
    : TWinControl(AOwner), list_(MakeList(this, [this] { ReadFolders(); })), directory_(FullFolder(""))
{
    SetTabStop(true);
    ConnectGuarded(list_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex&) { DblClick(); });
    Lazy(list_)->MarkStale();
}

void TDirectoryListBox::SetDirectory(const std::string& Value)
{
    const std::string folder = FullFolder(Value);
    if (!SetCurrentDir(folder))
        throw EInOutError("Cannot open the folder \"" + folder + "\"");
    directory_ = folder;
    Lazy(list_)->MarkStale();
    if (fileList_ != nullptr)
        fileList_->SetDirectory(directory_);
}

const std::vector<std::string>& TDirectoryListBox::Items() const
{
    Lazy(list_)->FillIfStale();
    return names_;
}

void TDirectoryListBox::SetFileList(TFileListBox* Value)
{
    if (fileList_ != nullptr)
        fileList_->RemoveFreeNotification(this);
    fileList_ = Value;
    if (fileList_ != nullptr) {
        fileList_->FreeNotification(this);
        fileList_->SetDirectory(directory_);
    }
}

int TDirectoryListBox::GetItemIndex() const
{
    Lazy(list_)->FillIfStale();
    return SelectedRow(list_);
}

void TDirectoryListBox::SetItemIndex(int Value)
{
    Lazy(list_)->FillIfStale();
    SelectRow(list_, Value);
}

std::string TDirectoryListBox::GetItemPath(int Index) const
{
    Lazy(list_)->FillIfStale();
    if (Index < 0 || Index >= static_cast<int>(names_.size()))
        throw EListError("Folder list index out of bounds (" + std::to_string(Index) + ")");
    if (Index < ancestorCount_) {
        const std::vector<std::string> parts = PathParts(directory_);
        return JoinParts(parts, static_cast<std::size_t>(Index));
    }
    return ChildPath(directory_, names_[static_cast<std::size_t>(Index)]);
}

void TDirectoryListBox::DblClick()
{
    const int row = GetItemIndex();
    if (row >= 0)
        SetDirectory(GetItemPath(row));
    TWinControl::DblClick();
}

void TDirectoryListBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileList_)
        fileList_ = nullptr;
}

void TDirectoryListBox::ReadFolders()
{
    const std::vector<std::string> parts = PathParts(directory_);
    names_.assign(1, "/");
    names_.insert(names_.end(), parts.begin(), parts.end());
    ancestorCount_ = static_cast<int>(names_.size());
    const std::vector<std::string> children = FindFolders(directory_);
    names_.insert(names_.end(), children.begin(), children.end());

    list_->clear();
    const QIcon folderIcon = QFileIconProvider().icon(QFileIconProvider::Folder);
    for (std::size_t i = 0; i < names_.size(); ++i) {
        // Ancestors step in one level each; the subfolders sit one level below.
        const int depth = std::min(static_cast<int>(i), ancestorCount_);
        new QListWidgetItem(folderIcon, QString(depth * 2, u' ') + PathText(names_[i]), list_);
    }
    SelectRow(list_, ancestorCount_ - 1);
}

// ---- TDriveComboBox -----------------------------------------------------------------------

TDriveComboBox::TDriveComboBox(TComponent* AOwner) : TWinControl(AOwner), combo_(MakeCombo(this))
{
    SetTabStop(true);
    places_.push_back("/");
    const std::string home = PathBytes(QDir::homePath());
    std::vector<std::string> volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            volumes.push_back(FullFolder(PathBytes(volume.rootPath())));
    std::sort(volumes.begin(), volumes.end());
    volumes.insert(volumes.begin(), FullFolder(home));
    for (const std::string& place : volumes)
        if (std::find(places_.begin(), places_.end(), place) == places_.end())
            places_.push_back(place);
    for (const std::string& place : places_)
        combo_->addItem(PathText(place));

    combo_->setCurrentIndex(PlaceHolding(places_, FullFolder("")));
    ConnectGuarded(combo_, &QComboBox::activated, this, [this](int index) { Choose(index); });
}

std::string TDriveComboBox::GetDrive() const
{
    const int index = combo_->currentIndex();
    return index < 0 ? std::string() : places_[static_cast<std::size_t>(index)];
}

void TDriveComboBox::SetDrive(const std::string& Value)
{
    const auto found = std::find(places_.begin(), places_.end(), FullFolder(Value));
    if (found != places_.end())
        combo_->setCurrentIndex(static_cast<int>(found - places_.begin()));
}

void TDriveComboBox::SetDirList(TDirectoryListBox* Value)
{
    if (dirList_ != nullptr)
        dirList_->RemoveFreeNotification(this);
    dirList_ = Value;
    if (dirList_ != nullptr)
        dirList_->FreeNotification(this);
}

void TDriveComboBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == dirList_)
        dirList_ = nullptr;
}

void TDriveComboBox::Choose(int Index)
{
    if (Index < 0 || Index >= static_cast<int>(places_.size()) || dirList_ == nullptr)
        return;
    try {
        dirList_->SetDirectory(places_[static_cast<std::size_t>(Index)]);
    } catch (...) {
        // Show the place the folder list is still in.
        combo_->setCurrentIndex(PlaceHolding(places_, dirList_->GetDirectory()));
        throw;
    }
}

// ---- TFilterComboBox ----------------------------------------------------------------------

TFilterComboBox::TFilterComboBox(TComponent* AOwner) : TWinControl(AOwner), combo_(MakeCombo(this))
{
    SetTabStop(true);
    SetFilter("All files (*.*)|*.*");
    ConnectGuarded(combo_, &QComboBox::activated, this, [this](int) { ApplyMask(); });
}

void TFilterComboBox::SetFilter(const std::string& Value)
{
    filter_ = Value;
    masks_.clear();
    combo_->clear();
    for (const TFilterEntry& entry : ParseFilter(Value)) {
        combo_->addItem(QString::fromUtf8(entry.Description));
        masks_.push_back(entry.Masks);
    }
    SetItemIndex(0);
}

std::string TFilterComboBox::GetMask() const
{
    const int index = GetItemIndex();
    return index < 0 ? std::string("*.*") : masks_[static_cast<std::size_t>(index)];
}

int TFilterComboBox::GetItemIndex() const
{
    return combo_->currentIndex();
}

void TFilterComboBox::SetItemIndex(int Value)
{
    combo_->setCurrentIndex(Value >= 0 && Value < static_cast<int>(masks_.size()) ? Value : -1);
    ApplyMask();
}

void TFilterComboBox::SetFileList(TFileListBox* Value)
{
    if (fileList_ != nullptr)
        fileList_->RemoveFreeNotification(this);
    fileList_ = Value;
    if (fileList_ != nullptr)
        fileList_->FreeNotification(this);
    ApplyMask();
}

void TFilterComboBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileList_)
        fileList_ = nullptr;
}

void TFilterComboBox::ApplyMask()
{
    if (fileList_ != nullptr)
        fileList_->SetMask(GetMask());
}
