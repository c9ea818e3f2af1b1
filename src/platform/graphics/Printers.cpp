// The printer object over QPrinter. Outside a job its canvas measures through a context
// that has the printer's capabilities; a job binds the canvas to a painter on the printer,
// or, for PDF output, on a PDF writer with the printer's page layout and resolution whose
// bytes go to the safe writer: the target is replaced only when the job ends well, so a
// failed or cancelled job leaves the old file as it was.
#include "platform/graphics/Printers.h"

#include "platform/graphics/GraphicsQt.h"
#include "platform/runtime/CodePages.h"
#include "platform/runtime/SafeWrite.h"

#include <QCoreApplication>
#include <QFile>
#include <QIODevice>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

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

// Where a PDF job's bytes go: the safe writer's temporary file. Qt's PDF writer does not
// check its writes, so the first failure is kept here and raised by the job's next step,
// with the file's name and the system's reason.
class TPrinter::TPdfOutput : public QIODevice {
public:
    explicit TPdfOutput(const std::string& path) : file_(path) { open(QIODevice::WriteOnly); }

    // Raises EPrinter when a write failed.
    void Check() const
    {
        if (!failure_.empty())
            throw EPrinter(failure_);
    }
    // Puts the PDF in place of the target; raises EPrinter when it cannot.
    void Commit()
    {
        Check();
        try {
            file_.Commit();
        } catch (const Exception& e) {
            throw EPrinter(e.Message());
        }
    }
    const std::string& Path() const { return file_.Path(); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 count) override
    {
        if (!failure_.empty())
            return -1;
        try {
            file_.Write(data, static_cast<std::size_t>(count));
        } catch (const Exception& e) {
            failure_ = e.Message();
            return -1;
        }
        return count;
    }

private:
    TSafeFileWriter file_;
    std::string failure_;
};

// Destroyed in reverse order: the painter ends before its device goes, and the PDF
// output last, removing its temporary file unless the job committed it.
struct TPrinter::TJob {
    std::unique_ptr<TPdfOutput> PdfOutput;
    std::unique_ptr<QPdfWriter> PdfWriter;
    QPainter Painter;
    std::unique_ptr<TPainterCanvasScope> Scope;
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
    const QString docName = QString::fromStdString(AnsiToUtf8(title_));
    printer_->setDocName(docName);
    QPaintDevice* device = printer_.get();
    if (!pdfPath_.empty()) {
        try {
            job->PdfOutput = std::make_unique<TPdfOutput>(pdfPath_);
        } catch (const Exception& e) {
            throw EPrinter(e.Message());
        }
        job->PdfWriter = std::make_unique<QPdfWriter>(job->PdfOutput.get());
        job->PdfWriter->setPageLayout(printer_->pageLayout());
        job->PdfWriter->setResolution(printer_->resolution());
        job->PdfWriter->setTitle(docName);
        job->PdfWriter->setCreator(printer_->creator());
        device = job->PdfWriter.get();
    }
    if (!job->Painter.begin(device)) {
        if (job->PdfOutput != nullptr)
            throw EPrinter("Cannot create file \"" + pdfPath_ + "\". The PDF writer did not start");
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
    if (job_->PdfOutput != nullptr) {
        job_->PdfOutput->Check();
        job_->PdfWriter->newPage();
        job_->PdfOutput->Check();
    } else if (!printer_->newPage()) {
        throw EPrinter("The printer refused a new page");
    }
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
    if (job->PdfOutput != nullptr) {
        job->PdfOutput->Check();
        if (!ended)
            throw EPrinter("Cannot write file \"" + job->PdfOutput->Path() + "\". The PDF writer did not finish it");
        job->PdfOutput->Commit();
    } else if (!ended) {
        throw EPrinter("The printer could not finish the job");
    }
}

void TPrinter::Abort()
{
    if (!Printing())
        return;
    std::unique_ptr<TJob> job = std::move(job_);
    if (job->PdfOutput == nullptr)
        printer_->abort();
    job->Scope.reset();
    job->Painter.end();
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
