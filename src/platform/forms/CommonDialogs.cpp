// The common dialogs over Qt's dialogs, each behind the modal gate.
#include "platform/forms/CommonDialogs.h"

#include "platform/files/FindFiles.h"
#include "platform/forms/Dialogs.h"
#include "platform/graphics/FontResolve.h"
#include "platform/graphics/GraphicsQt.h"
#include "platform/graphics/Printers.h"
#include "platform/runtime/CodePages.h"
#include "platform/runtime/FileIconsQt.h"
#include "platform/runtime/SysUtils.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include <utility>

namespace {

TCommonDialog*& Executing()
{
    static TCommonDialog* dialog = nullptr;
    return dialog;
}

QString PathText(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string PathBytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// Qt reads a filter's patterns from the last parenthesised group of its text and splits
// them at blanks; Qt's patterns also know no "name.*" rule, so such a mask brings its
// bare stem along.
QStringList QtNameFilters(const std::vector<TFilterEntry>& entries)
{
    QStringList filters;
    for (const TFilterEntry& entry : entries) {
        QStringList patterns;
        for (const std::string& mask : SplitMaskList(entry.Masks)) {
            patterns << PathText(mask);
            if (mask.size() > 2 && mask.ends_with(".*"))
                patterns << PathText(mask.substr(0, mask.size() - 2));
        }
        filters << QString::fromUtf8(entry.Description) + " (" + patterns.join(' ') + ")";
    }
    return filters;
}

// The extension a default-extension setting names: the text after its last dot, so
// "htm", ".htm" and a mask-like "*.css" all give a plain extension and never put a
// wildcard into a file name.
std::string DefaultExtension(const std::string& setting)
{
    const std::size_t dot = setting.rfind('.');
    const std::string ext = dot == std::string::npos ? setting : setting.substr(dot + 1);
    return ext.find_first_of("*?/") == std::string::npos ? ext : std::string();
}

}  // namespace

// ---- TCommonDialog -------------------------------------------------------------------------

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

bool TCommonDialog::AskScripted(const std::string& Title, const char* ClassName, bool& Confirmed)
{
    TModalRequest request;
    request.Kind = TModalKind::Dialog;
    request.Caption = Title;
    request.Text = ClassName;

    TCommonDialog* const outer = std::exchange(Executing(), this);
    int answer = 0;
    bool asked = false;
    try {
        asked = AskModalHook(request, answer);
    } catch (...) {
        Executing() = outer;
        throw;
    }
    Executing() = outer;
    Confirmed = asked && answer == IDOK;
    return asked;
}

TCommonDialog* ExecutingDialog()
{
    return Executing();
}

// ---- Filters -------------------------------------------------------------------------------

std::vector<TFilterEntry> ParseFilter(const std::string& Filter)
{
    std::vector<TFilterEntry> entries;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= Filter.size() && !Filter.empty()) {
        const std::size_t end = Filter.find('|', start);
        parts.push_back(Filter.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
        if (!Trim(parts[i + 1]).empty())
            entries.push_back({parts[i], parts[i + 1]});
    return entries;
}

// ---- TOpenDialog ---------------------------------------------------------------------------

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

TSaveDialog::TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

bool TOpenDialog::Execute()
{
    const std::string previous = fileName_;
    bool confirmed = false;
    const std::string title = !title_.empty() ? title_ : IsSaveDialog() ? "Save As" : "Open";
    if (!AskScripted(title, IsSaveDialog() ? "TSaveDialog" : "TOpenDialog", confirmed))
        confirmed = ExecuteNative();
    if (confirmed && AcceptChoice())
        return true;
    fileName_ = previous;
    return false;
}

bool TOpenDialog::ExecuteNative()
{
    const std::string folder = initialDir_.empty() ? GetCurrentDir() : initialDir_;
    TNameOnlyIconProvider icons;  // outlives the dialog; reads no file to list a folder
    QFileDialog dialog(QApplication::activeWindow(), QString::fromUtf8(title_), PathText(folder));
    // Qt's own dialog matches masks in either case and can list hidden files.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&icons);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(IsSaveDialog() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    const bool mustExist = !IsSaveDialog() && (options_ & ofFileMustExist) != 0;
    dialog.setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, (options_ & ofOverwritePrompt) == 0);
    QDir::Filters listed = QDir::AllEntries | QDir::AllDirs | QDir::NoDotAndDotDot;
    if (options_ & ofForceShowHidden)
        listed |= QDir::Hidden;
    dialog.setFilter(listed);

    const std::vector<TFilterEntry> entries = ParseFilter(filter_);
    const QStringList nameFilters = QtNameFilters(entries);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
        if (filterIndex_ >= 1 && filterIndex_ <= nameFilters.size())
            dialog.selectNameFilter(nameFilters[filterIndex_ - 1]);
    }
    dialog.setDefaultSuffix(PathText(DefaultExtension(defaultExt_)));
    if (!fileName_.empty())
        dialog.selectFile(PathText(fileName_));

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileName_ = PathBytes(dialog.selectedFiles().front());
    // The dialog names the chosen filter by the text it shows: the description alone.
    const QString shown = dialog.selectedNameFilter();
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (shown == nameFilters[static_cast<qsizetype>(i)] || shown == QString::fromUtf8(entries[i].Description)) {
            filterIndex_ = static_cast<int>(i) + 1;
            break;
        }
    return true;
}

bool TOpenDialog::AcceptChoice()
{
    if (ExtractFileName(fileName_).empty())
        return false;
    if (fileName_.front() != PathDelim) {
        const std::string folder = initialDir_.empty() ? GetCurrentDir() : initialDir_;
        fileName_ = IncludeTrailingPathDelimiter(folder) + fileName_;
    }
    const std::string ext = DefaultExtension(defaultExt_);
    if (!ext.empty() && ExtractFileExt(fileName_).empty())
        fileName_ += "." + ext;
    // A file or folder whose status cannot be read may well be there: the choice stands,
    // and what is done with it fails, if it does, saying why.
    if ((options_ & ofFileMustExist) && !FileExists(fileName_) && !StatusUnreadable(fileName_))
        return false;
    const std::string folder = ExtractFileDir(fileName_);
    if ((options_ & ofPathMustExist) && !DirectoryExists(folder) && !StatusUnreadable(folder))
        return false;
    return true;
}

// ---- TColorDialog --------------------------------------------------------------------------

TColorDialog::TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

bool TColorDialog::Execute()
{
    bool confirmed = false;
    if (AskScripted("Color", "TColorDialog", confirmed)) {
        if (confirmed)
            color_ = ColorToRGB(color_);
        return confirmed;
    }
    QColorDialog dialog(QColorFromColor(color_), QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    color_ = static_cast<TColor>(ColorRefFromQColor(dialog.selectedColor()));
    return true;
}

// ---- TFontDialog ---------------------------------------------------------------------------

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), font_(std::make_unique<TFont>()) {}

TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute()
{
    bool confirmed = false;
    if (AskScripted("Font", "TFontDialog", confirmed))
        return confirmed;

    QFont initial(QString::fromStdString(AnsiToUtf8(font_->GetName())));  // font names are ANSI
    if (font_->GetSize() > 0)
        initial.setPointSize(font_->GetSize());
    const TFontStyles style = font_->GetStyle();
    initial.setBold(style.Contains(fsBold));
    initial.setItalic(style.Contains(fsItalic));
    initial.setUnderline(style.Contains(fsUnderline));
    initial.setStrikeOut(style.Contains(fsStrikeOut));
    QFontDialog dialog(initial, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return false;

    const QFont chosen = dialog.selectedFont();
    font_->SetName(Utf8ToAnsi(PlainFamilyName(chosen.family().toStdString())));
    if (chosen.pointSize() > 0)
        font_->SetSize(chosen.pointSize());
    TFontStyles styles;
    if (chosen.bold())
        styles.Include(fsBold);
    if (chosen.italic())
        styles.Include(fsItalic);
    if (chosen.underline())
        styles.Include(fsUnderline);
    if (chosen.strikeOut())
        styles.Include(fsStrikeOut);
    font_->SetStyle(styles);
    return true;
}

// ---- Printing ------------------------------------------------------------------------------

TPrintDialog::TPrintDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

bool TPrintDialog::Execute()
{
    TPrinter* printer = Printer();
    bool confirmed = false;
    if (!AskScripted("Print", "TPrintDialog", confirmed)) {
        printer->SetCopies(copies_);
        QPrintDialog dialog(printer->NativePrinter(), QApplication::activeWindow());
        confirmed = dialog.exec() == QDialog::Accepted;
        if (confirmed) {
            copies_ = printer->GetCopies();
            printer->TakeDialogChoice();
        }
    }
    // The printer would repeat every page as often again as the caller's loop does.
    printer->SetCopies(1);
    if (confirmed && copies_ < 1)
        copies_ = 1;
    return confirmed;
}

TPrinterSetupDialog::TPrinterSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

bool TPrinterSetupDialog::Execute()
{
    bool confirmed = false;
    if (AskScripted("Print Setup", "TPrinterSetupDialog", confirmed))
        return confirmed;
    TPrinter* printer = Printer();
    QPrintDialog dialog(printer->NativePrinter(), QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    // The printers offered include the file output; the page settings come along.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    // Qt's dialog prints when confirmed; this one only sets the printer up.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
        if (QPushButton* confirm = buttons->button(QDialogButtonBox::Ok))
            confirm->setText(QStringLiteral("OK"));
    confirmed = dialog.exec() == QDialog::Accepted;
    if (confirmed)
        printer->TakeDialogChoice();
    printer->SetCopies(1);
    return confirmed;
}
