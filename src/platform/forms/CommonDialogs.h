// The common dialogs: open, save, colour, font, print and printer set-up.
//
// Execute shows the dialog modally and returns true when the user confirmed it; the
// choice is then in the dialog's properties. Every Execute passes the modal gate of
// Dialogs.h first: when a modal hook is set, no dialog is shown. The hook gets a request
// of kind Dialog (Caption: the dialog's title, UTF-8; Text: the dialog's class name),
// reads the dialog's settings through ExecutingDialog() and, to confirm a choice, stores
// it there (SetFileName, SetColor, Font()->SetName, SetCopies) and answers IDOK; any
// other answer cancels. The scripted choice then goes through what the real dialog
// would do with a typed one (default extension, must-exist checks); its IDOK also
// stands for the confirmation a real save dialog asks before replacing a file.
//
// Titles and filter texts are UTF-8 like every caption; file names are the bytes the
// file system holds.
#pragma once

#include "platform/graphics/Colors.h"
#include "platform/graphics/Graphics.h"
#include "platform/runtime/Classes.h"

#include <memory>
#include <string>
#include <vector>

class TCommonDialog : public TComponent {
public:
    explicit TCommonDialog(TComponent* AOwner);

    // Shows the dialog; true when the user confirmed it.
    virtual bool Execute() = 0;

protected:
    // When a modal hook is set: asks it with this dialog as ExecutingDialog(), sets
    // Confirmed to whether it answered IDOK and returns true. Otherwise returns false and
    // the caller shows the real dialog.
    bool AskScripted(const std::string& Title, const char* ClassName, bool& Confirmed);
};

// The dialog whose Execute is asking the modal hook right now; nullptr at other times.
TCommonDialog* ExecutingDialog();

// ---- Open and save ---------------------------------------------------------------------

using TOpenOptions = unsigned;
inline constexpr TOpenOptions ofOverwritePrompt = 0x01;  // a save asks before replacing a file
inline constexpr TOpenOptions ofFileMustExist = 0x02;    // only an existing file is accepted
inline constexpr TOpenOptions ofPathMustExist = 0x04;    // only an existing folder is accepted
inline constexpr TOpenOptions ofForceShowHidden = 0x08;  // hidden files are listed too
// The dialog never offers a read-only box or a network button and can always be resized;
// these are accepted so that a form can state them.
inline constexpr TOpenOptions ofHideReadOnly = 0x10;
inline constexpr TOpenOptions ofNoNetworkButton = 0x20;
inline constexpr TOpenOptions ofEnableSizing = 0x40;

// One entry of a filter string "description|masks|description|masks".
struct TFilterEntry {
    std::string Description;
    std::string Masks;  // ';'-separated
};
// The entries of a filter string; a description without masks is dropped.
std::vector<TFilterEntry> ParseFilter(const std::string& Filter);

class TOpenDialog : public TCommonDialog {
public:
    explicit TOpenDialog(TComponent* AOwner);

    bool Execute() override;

    // The chosen file's full name; before Execute, the name the dialog starts with.
    const std::string& GetFileName() const { return fileName_; }
    void SetFileName(const std::string& Value) { fileName_ = Value; }
    const std::string& GetFilter() const { return filter_; }
    void SetFilter(const std::string& Value) { filter_ = Value; }
    // The filter entry shown (1 = the first); after a confirmed Execute, the one chosen.
    int GetFilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int Value) { filterIndex_ = Value; }
    // Added, after a dot, to a chosen name that has no extension ("htm" or ".htm"; of
    // "*.css" only "css" counts).
    const std::string& GetDefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& Value) { defaultExt_ = Value; }
    // The folder the dialog opens in; "" = the current folder.
    const std::string& GetInitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& Value) { initialDir_ = Value; }
    TOpenOptions GetOptions() const { return options_; }
    void SetOptions(TOpenOptions Value) { options_ = Value; }
    // "" = the dialog's standard title.
    const std::string& GetTitle() const { return title_; }
    void SetTitle(const std::string& Value) { title_ = Value; }

protected:
    virtual bool IsSaveDialog() const { return false; }

private:
    bool ExecuteNative();
    // Applies the default extension and the must-exist rules to a chosen name; false
    // when the dialog could not accept it.
    bool AcceptChoice();

    std::string fileName_;
    std::string filter_;
    int filterIndex_ = 1;
    std::string defaultExt_;
    std::string initialDir_;
    TOpenOptions options_ = ofHideReadOnly | ofEnableSizing;
    std::string title_;
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* AOwner);

protected:
    bool IsSaveDialog() const override { return true; }
};

// ---- Colour and font -------------------------------------------------------------------

class TColorDialog : public TCommonDialog {
public:
    explicit TColorDialog(TComponent* AOwner);

    bool Execute() override;

    // The colour shown first and, after a confirmed Execute, the one chosen (always a
    // plain RGB value then).
    TColor GetColor() const { return color_; }
    void SetColor(TColor Value) { color_ = Value; }

private:
    TColor color_ = clBlack;
};

class TFontDialog : public TCommonDialog {
public:
    explicit TFontDialog(TComponent* AOwner);
    ~TFontDialog() override;

    bool Execute() override;

    // The font shown first and, after a confirmed Execute, the one chosen (name, size,
    // bold, italic, underline, strike-out).
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* Value) { font_->Assign(Value); }

private:
    std::unique_ptr<TFont> font_;
};

// ---- Printing --------------------------------------------------------------------------

// Runs on the program's printer object (Printer()): the printer chosen becomes the
// current printer.
class TPrintDialog : public TCommonDialog {
public:
    explicit TPrintDialog(TComponent* AOwner);

    bool Execute() override;

    // The copy count shown first and, after a confirmed Execute, the one chosen (at
    // least 1). The printer itself is left at one copy: whoever prints repeats the
    // pages Copies times.
    int GetCopies() const { return copies_; }
    void SetCopies(int Value) { copies_ = Value; }

private:
    int copies_ = 1;
};

// Chooses the current printer and its page settings on the program's printer object.
class TPrinterSetupDialog : public TCommonDialog {
public:
    explicit TPrinterSetupDialog(TComponent* AOwner);

    bool Execute() override;
};
