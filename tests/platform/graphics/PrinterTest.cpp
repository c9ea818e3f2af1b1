// The printer object: no printer, PDF output as a printer, device capabilities of its
// canvas, whole jobs, and jobs that fail or are cancelled without harming the old file.
#include "SmallFileSystem.h"
#include "platform/graphics/Printers.h"
#include "platform/runtime/FileCalls.h"
#include "platform/runtime/Streams.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Counts page objects: "/Type /Page" not followed by "s" (that is the page tree).
int CountPdfPages(const std::string& pdf)
{
    int pages = 0;
    const std::string key = "/Type /Page";
    for (std::size_t at = pdf.find(key); at != std::string::npos; at = pdf.find(key, at + 1)) {
        if (at + key.size() >= pdf.size() || pdf[at + key.size()] != 's')
            ++pages;
    }
    return pages;
}

class PrinterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    std::string PathOf(const char* name) const
    {
        return QFile::encodeName(dir_.filePath(name)).toStdString();
    }
    QStringList FilesInFolder() const
    {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden);
    }

    QTemporaryDir dir_;
};

TEST_F(PrinterTest, WithoutAnyPrinterNothingCanBePrinted)
{
    TPrinter printer;
    if (!printer.GetPrinters().empty())
        GTEST_SKIP() << "this machine has printers installed";
    EXPECT_EQ(printer.GetPrinterIndex(), -1);
    EXPECT_THROW(printer.BeginDoc(), EPrinter);
    EXPECT_FALSE(printer.Printing());
    EXPECT_THROW(printer.NewPage(), EPrinter);
    EXPECT_NO_THROW(printer.EndDoc());
}

// What a print dialog chose on the Qt printer is what prints: its output file, else the
// queue; with neither, starting a job says that there is no printer.
TEST_F(PrinterTest, TheDialogsOutputFileIsWhatPrints)
{
    TPrinter printer;
    const std::string pdf = PathOf("chosen.pdf");
    printer.NativePrinter()->setOutputFormat(QPrinter::PdfFormat);
    printer.NativePrinter()->setOutputFileName(QFile::decodeName(pdf.c_str()));
    printer.TakeDialogChoice();
    EXPECT_EQ(printer.GetPdfOutput(), pdf);
    ASSERT_GE(printer.GetPrinterIndex(), 0);
    printer.BeginDoc();
    printer.GetCanvas()->TextOut(10, 10, "chosen");
    printer.EndDoc();
    EXPECT_EQ(ReadFileBytes(pdf).rfind("%PDF", 0), 0u);

    printer.NativePrinter()->setOutputFileName(QString());
    printer.TakeDialogChoice();
    EXPECT_TRUE(printer.GetPdfOutput().empty());
    if (!printer.GetPrinters().empty())
        return;  // a queue of this machine's would print now
    try {
        printer.BeginDoc();
        ADD_FAILURE() << "a job started without a printer";
    } catch (const EPrinter& e) {
        EXPECT_EQ(e.Message(), "There is no printer to print on");
    }
}

TEST_F(PrinterTest, PdfOutputIsAPrinterWithItsOwnCapabilities)
{
    TPrinter printer;
    const std::size_t installed = printer.GetPrinters().size();
    printer.SetPdfOutput(PathOf("caps.pdf"));
    EXPECT_EQ(printer.GetPrinters().back(), "PDF file");
    EXPECT_EQ(printer.GetPrinterIndex(), static_cast<Integer>(installed));
    HDC dc = printer.GetHandle();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 300);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), printer.GetPageHeight());
    // A sheet of a common paper size at 300 pixels per inch, the printable area inside it.
    EXPECT_GT(GetDeviceCaps(dc, PHYSICALWIDTH), 2000);
    EXPECT_LE(GetDeviceCaps(dc, PHYSICALOFFSETX) + printer.GetPageWidth(),
              GetDeviceCaps(dc, PHYSICALWIDTH));


    printer.SetOrientation(poLandscape);
    EXPECT_GT(printer.GetPageWidth(), printer.GetPageHeight());
    EXPECT_EQ(GetDeviceCaps(printer.GetHandle(), HORZRES), printer.GetPageWidth());
    printer.SetPdfOutput("");
    EXPECT_EQ(printer.GetPrinters().size(), installed);
}

TEST_F(PrinterTest, CanvasFontKeepsItsPointSizeAtThePrinterResolution)
{
    TPrinter printer;
    printer.SetPdfOutput(PathOf("font.pdf"));
    TFont screenFont;
    screenFont.SetPixelsPerInch(96);
    screenFont.SetSize(10);
    printer.GetCanvas()->SetFont(&screenFont);
    EXPECT_EQ(printer.GetCanvas()->GetFont()->GetPixelsPerInch(), 300);
    EXPECT_EQ(printer.GetCanvas()->GetFont()->GetSize(), 10);
    EXPECT_EQ(printer.GetCanvas()->GetFont()->GetHeight(), -42);
}

TEST_F(PrinterTest, TwoPagesGoToThePdfFile)
{
    TPrinter printer;
    const std::string path = PathOf("two.pdf");
    printer.SetPdfOutput(path);
    printer.SetTitle("Two pages");
    printer.BeginDoc();
    EXPECT_TRUE(printer.Printing());
    EXPECT_EQ(printer.GetPageNumber(), 1);
    printer.GetCanvas()->TextOut(100, 100, "first page");
    printer.NewPage();
    EXPECT_EQ(printer.GetPageNumber(), 2);
    printer.GetCanvas()->TextOut(100, 100, "second page");
    EXPECT_THROW(printer.BeginDoc(), EPrinter);
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(printer.GetPageNumber(), 0);

    const std::string pdf = ReadFileBytes(path);
    ASSERT_GE(pdf.size(), 4u);
    EXPECT_EQ(pdf.substr(0, 4), "%PDF");
    EXPECT_EQ(CountPdfPages(pdf), 2);
    EXPECT_EQ(FilesInFolder(), QStringList{"two.pdf"});  // no temporary file left over

    // The printer can print again after a job.
    printer.BeginDoc();
    printer.EndDoc();
    EXPECT_EQ(CountPdfPages(ReadFileBytes(path)), 1);
}

TEST_F(PrinterTest, AbortedJobLeavesTheOldFileAndEndingItIsHarmless)
{
    TPrinter printer;
    const std::string path = PathOf("kept.pdf");
    QFile old(dir_.filePath("kept.pdf"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old content");
    old.close();

    printer.SetPdfOutput(path);
    printer.BeginDoc();
    printer.GetCanvas()->TextOut(10, 10, "never finished");
    printer.Abort();
    EXPECT_TRUE(printer.Aborted());
    EXPECT_FALSE(printer.Printing());
    EXPECT_NO_THROW(printer.EndDoc());
    EXPECT_EQ(ReadFileBytes(path), "old content");
    EXPECT_EQ(FilesInFolder(), QStringList{"kept.pdf"});

    printer.BeginDoc();
    EXPECT_FALSE(printer.Aborted());
    printer.EndDoc();
}

TEST_F(PrinterTest, MissingFolderIsReportedAtTheStart)
{
    TPrinter printer;
    const std::string path = PathOf("no/such/folder/out.pdf");
    printer.SetPdfOutput(path);
    try {
        printer.BeginDoc();
        ADD_FAILURE() << "a job started";
    } catch (const EPrinter& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + path + "\". " + std::strerror(ENOENT));
    }
    EXPECT_FALSE(printer.Printing());
}

// A PDF file whose name is as long as the folder allows prints like any other.
// The old PDF's status cannot be read (an I/O error, a network file system that does not
// answer): the job fails at its start naming the file and the reason, and the file stays.
TEST_F(PrinterTest, AFileWhoseStatusCannotBeReadFailsTheJobAndStays)
{
    const std::string path = PathOf("old.pdf");
    std::ofstream(path, std::ios::binary) << "old";
    TFileCallsOverride override;
    const auto real = override.Calls().FStatAt;
    override.Calls().FStatAt = [real](int Folder, const char* Name, struct stat* Info, int Flags) {
        if (std::strcmp(Name, "old.pdf") == 0) {
            errno = EIO;
            return -1;
        }
        return real(Folder, Name, Info, Flags);
    };
    TPrinter printer;
    printer.SetPdfOutput(path);
    try {
        printer.BeginDoc();
        ADD_FAILURE() << "the job started";
    } catch (const EPrinter& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + path + "\". " + std::strerror(EIO) +
                                   ". Its status could not be read; the file was left as it was.");
    }
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(FilesInFolder(), QStringList{"old.pdf"});
}

// A PDF file whose path is as long as the system allows prints.
TEST_F(PrinterTest, AFileWithTheLongestPathPrints)
{
    constexpr std::size_t pathLength = 4086;
    const std::string name = "a.pdf";
    std::string folder = QFile::encodeName(dir_.path()).toStdString();
    while (folder.size() < pathLength - 1 - name.size()) {
        folder += "/" + std::string(std::min<std::size_t>(200, pathLength - 1 - name.size() - folder.size() - 1), 'd');
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0) << std::strerror(errno);
    }
    const std::string path = folder + "/" + name;
    ASSERT_EQ(path.size(), pathLength);
    TPrinter printer;
    printer.SetPdfOutput(path);
    printer.BeginDoc();
    printer.GetCanvas()->TextOut(100, 100, "deep");
    printer.EndDoc();
    EXPECT_EQ(ReadFileBytes(path).substr(0, 4), "%PDF");
}

TEST_F(PrinterTest, TheLongestFileNamePrints)
{
    const long longest = ::pathconf(QFile::encodeName(dir_.path()).constData(), _PC_NAME_MAX);
    ASSERT_GT(longest, 20);
    const std::string name = std::string(static_cast<std::size_t>(longest) - 4, 'p') + ".pdf";
    TPrinter printer;
    printer.SetPdfOutput(PathOf(name.c_str()));
    printer.BeginDoc();
    printer.GetCanvas()->TextOut(10, 10, "long name");
    printer.EndDoc();
    EXPECT_EQ(ReadFileBytes(PathOf(name.c_str())).rfind("%PDF", 0), 0u);
    EXPECT_EQ(FilesInFolder(), QStringList{QString::fromStdString(name)});
}

// On a full disk the job fails naming the file and the system's reason, and the old file
// stays as it was: no empty or cut PDF is left in its place.
TEST_F(PrinterTest, AFullDiskFailsTheJobNamingTheFileAndKeepsTheOldOne)
{
    QvTest::TSmallFileSystem disk(256 * 1024);
    if (!disk.Mounted())
        GTEST_SKIP() << disk.Why();
    const std::string path = disk.Path("kept.pdf");
    {
        TFileStream old(path, fmCreate);
        old.WriteBuffer("old content", 11);
    }
    ASSERT_TRUE(disk.Fill(0));
    TPrinter printer;
    printer.SetPdfOutput(path);
    std::string message;
    try {
        printer.BeginDoc();
        printer.GetCanvas()->TextOut(10, 10, "first page");
        printer.NewPage();
        printer.GetCanvas()->TextOut(10, 10, "second page");
        printer.EndDoc();
    } catch (const EPrinter& e) {
        message = e.Message();
        printer.Abort();
    }
    EXPECT_EQ(message, "Cannot write file \"" + path + "\". " + std::strerror(ENOSPC));
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(ReadFileBytes(path), "old content");
    EXPECT_EQ(QDir(QString::fromStdString(disk.Path(""))).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"filler", "kept.pdf"}));
}

}  // namespace
