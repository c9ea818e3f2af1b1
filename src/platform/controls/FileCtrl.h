// The file-system controls: a list of places (drive combo), a folder list, a file list
// and a filter combo, linked so that a choice in one updates the next:
//
//     TDriveComboBox --DirList--> TDirectoryListBox --FileList--> TFileListBox
//     TFilterComboBox --FileList--> TFileListBox
//
// A link is cleared when the linked control dies. Folders are full paths without a
// trailing separator (the root is "/"); file names are the bytes the file system holds.
// Masks follow FindFiles.h.
//
// The two lists read their folder when their rows are first asked for, or just after the
// list is first painted (a posted task), once for all the changes made before then: a
// window that shows them is drawn first and filled a moment later, and a folder of many
// entries (or the first look-up of the file icons) does not hold up its first paint.
// Once painted, a change is read by a posted task too.
#pragma once

#include "platform/window/Controls.h"

#include <string>
#include <vector>

class QComboBox;
class QListWidget;

// ---- TFileListBox -----------------------------------------------------------------------

// The plain files of a folder that match Mask, hidden ones left out, in name order.
// OnDblClick follows a double click.
class TFileListBox : public TWinControl {
public:
    explicit TFileListBox(TComponent* AOwner);

    // The folder listed; at first the current folder. Setting it (even to the same
    // folder) reads the folder again and leaves no file selected.
    const std::string& GetDirectory() const { return directory_; }
    void SetDirectory(const std::string& Value);
    // ';'-separated masks; "*.*" (the default) lists every file.
    const std::string& GetMask() const { return mask_; }
    void SetMask(const std::string& Value);
    // Each file shown with its icon.
    bool GetShowGlyphs() const { return showGlyphs_; }
    void SetShowGlyphs(bool Value);

    // The names listed, in their order.
    const std::vector<std::string>& Items() const;
    // The selected row, -1 when none.
    int GetItemIndex() const;
    void SetItemIndex(int Value);
    // The full path of the selected file; "" when none is selected.
    std::string GetFileName() const;

private:
    void ReadFileNames();

    QListWidget* list_;
    std::string directory_;
    std::string mask_ = "*.*";
    bool showGlyphs_ = false;
    std::vector<std::string> names_;
};

// ---- TDirectoryListBox ------------------------------------------------------------------

// The ancestors of Directory from the root down to it, then its subfolders (hidden ones
// left out, in name order). A double click opens the folder of the row.
class TDirectoryListBox : public TWinControl {
public:
    explicit TDirectoryListBox(TComponent* AOwner);

    // The folder shown; at first the current folder. Setting it (a relative path counts
    // from the current folder) makes it the process's current folder and the linked file
    // list's folder. A folder that cannot be entered raises EInOutError and changes
    // nothing.
    const std::string& GetDirectory() const { return directory_; }
    void SetDirectory(const std::string& Value);
    TFileListBox* GetFileList() const { return fileList_; }
    void SetFileList(TFileListBox* Value);

    // The folder names of the rows ("/" for the root), in their order.
    const std::vector<std::string>& Items() const;
    int GetItemIndex() const;
    void SetItemIndex(int Value);
    // The full path of a row's folder.
    std::string GetItemPath(int Index) const;

protected:
    // Opens the selected row's folder, then runs OnDblClick.
    void DblClick() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ReadFolders();

    QListWidget* list_;
    std::string directory_;
    std::vector<std::string> names_;
    int ancestorCount_ = 0;  // rows from the root to Directory
    TFileListBox* fileList_ = nullptr;
};

// ---- TDriveComboBox ---------------------------------------------------------------------

// The places to start from: the root, the home folder and the mounted volumes. The
// user's choice becomes the linked folder list's Directory.
class TDriveComboBox : public TWinControl {
public:
    explicit TDriveComboBox(TComponent* AOwner);

    // The places, in their order.
    const std::vector<std::string>& Items() const { return places_; }
    // The place chosen: at first the one that holds the current folder. Setting it
    // from code selects it without touching the folder list; a path that is not in the
    // list is ignored.
    std::string GetDrive() const;
    void SetDrive(const std::string& Value);
    TDirectoryListBox* GetDirList() const { return dirList_; }
    void SetDirList(TDirectoryListBox* Value);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void Choose(int Index);

    QComboBox* combo_;
    std::vector<std::string> places_;
    TDirectoryListBox* dirList_ = nullptr;
};

// ---- TFilterComboBox --------------------------------------------------------------------

// The entries of Filter ("description|masks|description|masks"); the user's choice
// becomes the linked file list's Mask.
class TFilterComboBox : public TWinControl {
public:
    explicit TFilterComboBox(TComponent* AOwner);

    // Setting it selects the first entry and applies its masks to the file list.
    const std::string& GetFilter() const { return filter_; }
    void SetFilter(const std::string& Value);
    // The masks of the selected entry; "*.*" when there is none.
    std::string GetMask() const;
    int GetItemIndex() const;
    // Selects an entry from code and applies its masks to the file list.
    void SetItemIndex(int Value);
    TFileListBox* GetFileList() const { return fileList_; }
    // Linking applies the selected entry's masks to the file list at once.
    void SetFileList(TFileListBox* Value);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ApplyMask();

    QComboBox* combo_;
    std::string filter_;
    std::vector<std::string> masks_;
    TFileListBox* fileList_ = nullptr;
};
