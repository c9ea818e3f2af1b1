// The printer object over QPrinter. Outside a job its canvas measures through a context
// that has the printer's capabilities; a job binds the canvas to a painter on the printer.
// PDF output goes to a temporary file beside the target and replaces the target only when
// the job ends well, so a failed or cancelled job leaves the old file as it was.
#include "platform/graphics/Printers.h"

#include "platform/graphics/GraphicsQt.h"
#include "platform/runtime/CodePages.h"
#include "platform/runtime/SafeWrite.h"
#include "platform/runtime/Streams.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

namespace {

constexpr int PdfResolution = 300;
const char* const PdfPrinterName = "PDF file";

std::vector<std::string> InstalledPrinters()
{
    std::vector<std::string> names;
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        names.push_back(Utf8ToAnsi(name.toStdString()));
    return names;
}

TDeviceCaps PrinterCaps(const QPrinter& printer)
{
    const int resolution = printer.resolution();
    const QPageLayout layout = printer.pageLayout();
    const QRect full = layout.fullRectPixels(resolution);
    const QRect paint = layout.paintRectPixels(resolution);
    TDeviceCaps caps;
    caps.Technology = DT_RASPRINTER;
    caps.PixelsPerInchX = resolution;
    caps.PixelsPerInchY = resolution;
    caps.Width = paint.width();
    caps.Height = paint.height();
    caps.PhysicalWidth = full.width();
    caps.PhysicalHeight = full.height();
    caps.PhysicalOffsetX = paint.left();
    caps.PhysicalOffsetY = paint.top();
    return caps;
}

bool SameCaps(const TDeviceCaps& a, const TDeviceCaps& b)
{
    return a.Technology == b.Technology && a.PixelsPerInchX == b.PixelsPerInchX &&
           a.PixelsPerInchY == b.PixelsPerInchY && a.Width == b.Width && a.Height == b.Height &&
           a.PhysicalWidth == b.PhysicalWidth && a.PhysicalHeight == b.PhysicalHeight &&
           a.PhysicalOffsetX == b.PhysicalOffsetX && a.PhysicalOffsetY == b.PhysicalOffsetY;
}

TPrinter* globalPrinter = nullptr;

void FreeGlobalPrinter()
{
    delete globalPrinter;
    globalPrinter = nullptr;
}

}  // namespace

// A measuring context with the printer's capabilities, remade when they change.
struct TPrinter::TInfoContext {
    explicit TInfoContext(const TDeviceCaps& caps) : Caps(caps), Context(caps) {}
    TDeviceCaps Caps;
    TDeviceContext Context;
};

struct TPrinter::TJob {
    QPainter Painter;
    std::unique_ptr<TPainterCanvasScope> Scope;
    std::unique_ptr<QTemporaryFile> PdfFile;  // the PDF being written, when printing to one
};

TPrinter::TPrinter() : printer_(std::make_unique<QPrinter>()), canvas_(std::make_unique<TCanvas>())
{
    canvas_->GetFont()->OnChange = TNotifyEvent(this, &TPrinter::CanvasFontChanged);
}

TPrinter::~TPrinter()
{
    if (Printing())
        Abort();
    canvas_->SetHandle(nullptr);
}

std::vector<std::string> TPrinter::GetPrinters() const
{
    std::vector<std::string> names = InstalledPrinters();
    if (!pdfPath_.empty())
        names.emplace_back(PdfPrinterName);
    return names;
}

Integer TPrinter::GetPrinterIndex() const
{
    const std::vector<std::string> names = GetPrinters();
    if (!pdfPath_.empty())
        return static_cast<Integer>(names.size()) - 1;
    if (names.empty())
        return -1;
    const std::string current = Utf8ToAnsi(printer_->printerName().toStdString());
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == current)
            return static_cast<Integer>(i);
    }
    const std::string fallback = Utf8ToAnsi(QPrinterInfo::defaultPrinterName().toStdString());
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == fallback)
            return static_cast<Integer>(i);
    }
    return 0;
}

void TPrinter::SetPrinterIndex(Integer index)
{
    RequireIdle("change the printer");
    const std::vector<std::string> names = GetPrinters();
    if (index < -1 || index >= static_cast<Integer>(names.size()))
        throw EPrinter("Printer index out of range");
    if (!pdfPath_.empty() && index == static_cast<Integer>(names.size()) - 1)
        return;  // the PDF file stays selected
    pdfPath_.clear();
    printer_->setOutputFileName(QString());
    printer_->setOutputFormat(QPrinter::NativeFormat);
    const QString name = index < 0 ? QPrinterInfo::defaultPrinterName()
                                   : QString::fromStdString(AnsiToUtf8(names[index]));
    printer_->setPrinterName(name);
}

void TPrinter::SetPdfOutput(const std::string& path)
{
    RequireIdle("change the printer");
    pdfPath_ = path;
    if (path.empty()) {
        printer_->setOutputFileName(QString());
        printer_->setOutputFormat(QPrinter::NativeFormat);
        return;
    }
    SelectPdfFile(path);
}

void TPrinter::TakeDialogChoice()
{
    const QString file = printer_->outputFileName();
    if (printer_->outputFormat() == QPrinter::PdfFormat && !file.isEmpty())
        SetPdfOutput(QFile::encodeName(file).toStdString());
    else
        SetPdfOutput("");
}

void TPrinter::SetTitle(const std::string& title)
{
    title_ = title;
    printer_->setDocName(QString::fromStdString(AnsiToUtf8(title)));
}

Integer TPrinter::GetCopies() const
{
    return printer_->copyCount();
}

void TPrinter::SetCopies(Integer copies)
{
    printer_->setCopyCount(copies < 1 ? 1 : copies);
}

TPrinterOrientation TPrinter::GetOrientation() const
{
    return printer_->pageLayout().orientation() == QPageLayout::Landscape ? poLandscape
                                                                          : poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation orientation)
{
    RequireIdle("change the orientation");
    printer_->setPageOrientation(orientation == poLandscape ? QPageLayout::Landscape
                                                            : QPageLayout::Portrait);
}

Integer TPrinter::GetPageWidth() const
{
    return PrinterCaps(*printer_).Width;
}

Integer TPrinter::GetPageHeight() const
{
    return PrinterCaps(*printer_).Height;
}

TCanvas* TPrinter::GetCanvas()
{
    if (!Printing())
        BindInfoContext();
    return canvas_.get();
}

HDC TPrinter::GetHandle()
{
    return GetCanvas()->GetHandle();
}

void TPrinter::BeginDoc()
{
    RequireIdle("start a new job");
    if (GetPrinterIndex() < 0)
        throw EPrinter("There is no printer to print on");
    auto job = std::make_unique<TJob>();
    if (!pdfPath_.empty()) {
        const QString target = QFile::decodeName(pdfPath_.c_str());
        const QFileInfo info(target);
        job->PdfFile = std::make_unique<QTemporaryFile>(info.absolutePath() + "/." +
                                                        info.fileName() + ".XXXXXX");
        if (!job->PdfFile->open())
            throw EPrinter("Cannot create file \"" + pdfPath_ + "\". " +
                           Utf8ToAnsi(job->PdfFile->errorString().toStdString()));
        job->PdfFile->close();
        SelectPdfFile(QFile::encodeName(job->PdfFile->fileName()).toStdString());
    }
    printer_->setDocName(QString::fromStdString(AnsiToUtf8(title_)));
    if (!job->Painter.begin(printer_.get())) {
        if (job->PdfFile != nullptr) {
            SelectPdfFile(pdfPath_);
            throw EPrinter("Cannot create file \"" + pdfPath_ + "\"");
        }
        throw EPrinter("Cannot start printing on \"" + GetPrinters()[GetPrinterIndex()] + "\"");
    }
    const TDeviceCaps caps = PrinterCaps(*printer_);
    job->Scope = std::make_unique<TPainterCanvasScope>(canvas_.get(), &job->Painter, caps,
                                                       QRect(0, 0, caps.Width, caps.Height));
    job_ = std::move(job);
    pageNumber_ = 1;
    aborted_ = false;
    CanvasFontChanged(canvas_->GetFont());
}

void TPrinter::NewPage()
{
    if (!Printing())
        throw EPrinter("Printer is not printing");
    if (!printer_->newPage())
        throw EPrinter("The printer refused a new page");
    ++pageNumber_;
}

void TPrinter::EndDoc()
{
    if (!Printing())
        return;
    std::unique_ptr<TJob> job = std::move(job_);
    job->Scope.reset();
    const bool ended = job->Painter.end();
    pageNumber_ = 0;
    if (job->PdfFile != nullptr) {
        SelectPdfFile(pdfPath_);
        if (!ended)
            throw EPrinter("Cannot write file \"" + pdfPath_ + "\"");
        const std::string bytes =
            ReadFileBytes(QFile::encodeName(job->PdfFile->fileName()).toStdString());
        SafeWriteFile(pdfPath_, bytes);
    } else if (!ended) {
        throw EPrinter("The printer could not finish the job");
    }
}

void TPrinter::Abort()
{
    if (!Printing())
        return;
    std::unique_ptr<TJob> job = std::move(job_);
    printer_->abort();
    job->Scope.reset();
    job->Painter.end();
    if (job->PdfFile != nullptr)
        SelectPdfFile(pdfPath_);
    pageNumber_ = 0;
    aborted_ = true;
}

void TPrinter::RequireIdle(const char* operation) const
{
    if (Printing())
        throw EPrinter(std::string("Cannot ") + operation + " while printing");
}

void TPrinter::BindInfoContext()
{
    const TDeviceCaps caps = PrinterCaps(*printer_);
    if (info_ == nullptr || !SameCaps(info_->Caps, caps)) {
        canvas_->SetHandle(nullptr);
        info_ = std::make_unique<TInfoContext>(caps);
    }
    canvas_->SetHandle(&info_->Context);
    CanvasFontChanged(canvas_->GetFont());
}

void TPrinter::SelectPdfFile(const std::string& path)
{
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(QFile::decodeName(path.c_str()));
    printer_->setResolution(PdfResolution);
}

void TPrinter::CanvasFontChanged(TObject*)
{
    // A font assigned from elsewhere (the screen, most often) keeps its point size on paper.
    canvas_->GetFont()->SetPixelsPerInch(printer_->resolution());
}

TPrinter* Printer()
{
    if (globalPrinter == nullptr) {
        globalPrinter = new TPrinter();
        qAddPostRoutine(FreeGlobalPrinter);
    }
    return globalPrinter;
}
