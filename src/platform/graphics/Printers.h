// The printer object: the current printer's page geometry, a canvas that draws on its
// pages, and the job operations. One printer object serves the whole program (Printer()).
// A PDF file counts as a printer once it is selected, with SetPdfOutput or as the output
// file of the print dialog, so that printing to a file needs no installed printer.
#pragma once

#include "platform/graphics/Gdi.h"
#include "platform/graphics/Graphics.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/System.h"

#include <memory>
#include <string>
#include <vector>

class QPrinter;  // the Qt printer behind the object, for the platform's print dialogs

QV_DECLARE_EXCEPTION(EPrinter, Exception);

enum TPrinterOrientation { poPortrait, poLandscape };

class TPrinter : public TObject {
public:
    TPrinter();
    ~TPrinter() override;

    // The installed printers' names, then "PDF file" while a PDF output is selected; empty
    // when neither exists.
    std::vector<std::string> GetPrinters() const;
    // The position of the current printer in GetPrinters(); -1 when there is none.
    Integer GetPrinterIndex() const;
    // Selects a printer of the list (-1: the system's default printer). Choosing an
    // installed printer leaves PDF output. Raises EPrinter for an index out of range or
    // while printing.
    void SetPrinterIndex(Integer index);

    // Selects PDF output to this file at 300 pixels per inch (the file is written by the
    // next job); an empty path goes back to the installed printers. Raises EPrinter while
    // printing.
    void SetPdfOutput(const std::string& path);
    const std::string& GetPdfOutput() const { return pdfPath_; }

    // The job title the printing system shows.
    const std::string& GetTitle() const { return title_; }
    void SetTitle(const std::string& title);
    Integer GetCopies() const;
    void SetCopies(Integer copies);  // below 1 counts as 1
    TPrinterOrientation GetOrientation() const;
    void SetOrientation(TPrinterOrientation orientation);

    // The printable area in device pixels.
    Integer GetPageWidth() const;
    Integer GetPageHeight() const;
    // The page being printed, 1 for the first; 0 outside a job.
    Integer GetPageNumber() const { return pageNumber_; }

    // Draws on the current page while printing; outside a job it measures at the
    // printer's resolution. Its font keeps the printer's resolution (a font assigned
    // from the screen keeps its point size).
    TCanvas* GetCanvas();
    // The canvas's context: its capabilities are the printer's (TECHNOLOGY answers
    // DT_RASPRINTER). Outside a job it is valid until the printer settings change.
    HDC GetHandle();

    // Starts a job on page 1. Raises EPrinter when printing already, when no printer is
    // selected, or when the printer (or the PDF file) cannot be opened; for a PDF file
    // the message names it and gives the system's reason.
    void BeginDoc();
    // Raises EPrinter outside a job, when the printer refuses the page, or when writing
    // the PDF file failed (naming it and the system's reason).
    void NewPage();
    // Finishes the job. Nothing outside a job (so ending after Abort is harmless). Raises
    // EPrinter when the output could not be completed: a PDF file is then not written at
    // all, the old one stays, and the message names it and the system's reason.
    void EndDoc();
    // Cancels the job in progress; Aborted() then stays true until the next BeginDoc.
    void Abort();
    bool Printing() const { return job_ != nullptr; }
    bool Aborted() const { return aborted_; }

    // The Qt printer, for the print and page set-up dialogs of the platform.
    QPrinter* NativePrinter() { return printer_.get(); }
    // Takes what a confirmed print or set-up dialog chose on the Qt printer: an output
    // file selects PDF output to it, a printer queue leaves PDF output. Raises EPrinter
    // while printing.
    void TakeDialogChoice();

private:
    struct TJob;  // the painter and the canvas binding of a job in progress
    class TPdfOutput;  // where a PDF job's bytes go
    struct TInfoContext;

    void RequireIdle(const char* operation) const;
    void BindInfoContext();
    void CanvasFontChanged(TObject* sender);
    void SelectPdfFile(const std::string& path);

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<TCanvas> canvas_;
    std::unique_ptr<TInfoContext> info_;
    std::unique_ptr<TJob> job_;
    std::string pdfPath_;
    std::string title_;
    Integer pageNumber_ = 0;
    bool aborted_ = false;
};

// The program's printer object, made on first use and freed with the application object.
TPrinter* Printer();
