// Saving PHP files of 10 MB and 100 MB (TextBufferBench's file made of the corpus, without
// its few carriage returns so that each side writes the bytes it read, and its first 10 MB)
// in real windows, each side replacing a file of the same text, durably:
//   ours: the main window's File Save command on the file it opened through File Open
//         (temporary file, checked writes, sync, rename, the folder's sync);
//   peer: the Qt port of an open editor component, its PHP lexer attached before its text
//         (read from the file with its own read), saving as a program using it does: the
//         file opened for writing, the text written with its own write, then synced;
//   cp:   `cp` of the same bytes followed by `sync` of the copy, as a second reference.
// The sides take turns, 11 times each after a warm-up; medians, ranges, ratios, the time
// each side spent in fsync (ours: the file's and the folder's), our write calls, and the
// load average are printed; the files saved are checked against the file read.
#include "BenchCorpus.h"
#include "EditorBenchSupport.h"

#include "app/FormGoTo.h"
#include "app/FormSearch.h"
#include "app/MainForm.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/forms/Dialogs.h"
#include "platform/runtime/FileCalls.h"
#include "qvedit/editor/QvEdit.h"

#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int Runs = 11;
constexpr std::uintmax_t BigFileBytes = 100u * 1024u * 1024u;
constexpr std::size_t SmallFileBytes = 10u * 1024u * 1024u;
const std::string Folder = "/tmp/qv-save-bench-" + std::to_string(::getpid()) + "/";

double Elapsed(const QElapsedTimer& Timer)
{
    return static_cast<double>(Timer.nsecsElapsed()) / 1e6;
}

std::string ReadAll(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& Path, const std::string& Bytes)
{
    std::ofstream(Path, std::ios::binary).write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

std::string LoadAverage()
{
    std::string line = ReadAll("/proc/loadavg");
    return line.substr(0, line.find(' ', line.find(' ', line.find(' ') + 1) + 1));
}

// One save's time, the part of it spent in fsync, and its write calls (ours).
struct TSaveTime {
    double Ms = 0;
    double SyncMs = 0;
    int Writes = 0;
};

// Our main window with the forms the program makes at its start, holding Path opened
// through File Open.
class TOurs {
public:
    explicit TOurs(const std::string& Path)
    {
        frmEdit = new TfrmEdit(nullptr);
        frmEdit->SetProgramFolder(Folder + "program/");
        frmSearch = new TfrmSearch(nullptr);
        frmGoTo = new TfrmGoTo(nullptr);
        frmEdit->Show();
        WaitUntilShown();
        const TModalHook previous = SetModalHook([&](const TModalRequest&) {
            static_cast<TOpenDialog*>(ExecutingDialog())->SetFileName(Path);
            return IDOK;
        });
        frmEdit->mnuFileOpenClick(nullptr);
        SetModalHook(previous);
        QApplication::processEvents();
    }
    ~TOurs()
    {
        delete frmGoTo;
        delete frmSearch;
        delete frmEdit;
        frmEdit = nullptr;
    }
    TOurs(const TOurs&) = delete;
    TOurs& operator=(const TOurs&) = delete;

    // File Save, until the window has handled what it asked for; its fsync calls timed,
    // its writes counted.
    TSaveTime Save()
    {
        TSaveTime time;
        TFileCallsOverride override;
        const auto write = override.Calls().PWrite;
        override.Calls().PWrite = [&time, write](int Fd, const void* Data, std::size_t Count, off_t Offset) {
            ++time.Writes;
            return write(Fd, Data, Count, Offset);
        };
        const auto sync = override.Calls().FSync;
        override.Calls().FSync = [&time, sync](int Fd) {
            QElapsedTimer timer;
            timer.start();
            const int result = sync(Fd);
            time.SyncMs += Elapsed(timer);
            return result;
        };
        QElapsedTimer timer;
        timer.start();
        frmEdit->mnuFileSaveClick(nullptr);
        QApplication::processEvents();
        time.Ms = Elapsed(timer);
        return time;
    }
};

// The peer's editor in a window of our editor's size, its text read from Path.
class TPeer {
public:
    explicit TPeer(const std::string& Path) : path_(QString::fromStdString(Path))
    {
        KeepFromAccessibilityUpdates(editor_);
        editor_.setUtf8(false);
        editor_.setLexer(&lexer_);
        editor_.resize(frmEdit->Editor->Width(), frmEdit->Editor->Height());
        editor_.show();
        WaitUntilShown();
        QFile file(path_);
        if (!file.open(QIODevice::ReadOnly) || !editor_.read(&file))
            Fail("read");
        editor_.SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
        QApplication::processEvents();
    }

    TSaveTime Save()
    {
        TSaveTime time;
        QElapsedTimer timer;
        timer.start();
        QFile file(path_);
        if (!file.open(QIODevice::WriteOnly) || !editor_.write(&file) || !file.flush())
            Fail("write");
        QElapsedTimer sync;
        sync.start();
        if (::fsync(file.handle()) != 0)
            Fail("sync");
        time.SyncMs = Elapsed(sync);
        file.close();
        QApplication::processEvents();
        time.Ms = Elapsed(timer);
        return time;
    }

private:
    [[noreturn]] void Fail(const char* What) const
    {
        std::cerr << "the peer could not " << What << " " << path_.toStdString() << "\n";
        std::exit(1);
    }

    QString path_;
    TPeerPhpLexer lexer_;
    QsciScintilla editor_;
};

TSaveTime CopyAndSync(const std::string& Source, const std::string& Target)
{
    const std::string command = "cp '" + Source + "' '" + Target + "' && sync '" + Target + "'";
    QElapsedTimer timer;
    timer.start();
    if (std::system(command.c_str()) != 0) {
        std::cerr << "failed: " << command << "\n";
        std::exit(1);
    }
    return {Elapsed(timer), 0};
}

struct TSeries {
    std::vector<double> Ms;
    std::vector<double> SyncMs;
    int Writes = 0;
    void Add(const TSaveTime& Time)
    {
        Ms.push_back(Time.Ms);
        SyncMs.push_back(Time.SyncMs);
        Writes = Time.Writes;
    }
};

double Median(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

void Print(const char* Side, const TSeries& Series, bool WithSync)
{
    std::cout << "  " << std::left << std::setw(5) << Side << std::right << std::fixed << std::setprecision(1)
              << Median(Series.Ms) << " ms (" << *std::min_element(Series.Ms.begin(), Series.Ms.end()) << "-"
              << *std::max_element(Series.Ms.begin(), Series.Ms.end()) << ")";
    if (WithSync)
        std::cout << ", of which fsync " << Median(Series.SyncMs) << " ms";
    if (Series.Writes > 0)
        std::cout << ", " << Series.Writes << " write calls";
    std::cout << "\n";
}

// The sides take turns on copies of Source in the bench's folder; prints what each took.
void Compare(const std::string& Name, const std::string& Source)
{
    const std::string ourFile = Folder + "ours-" + Name + ".php";
    const std::string peerFile = Folder + "peer-" + Name + ".php";
    const std::string copyFile = Folder + "cp-" + Name + ".php";
    for (const std::string& file : {ourFile, peerFile, copyFile})
        fs::copy_file(Source, file, fs::copy_options::overwrite_existing);
    TOurs ours(ourFile);
    TPeer peer(peerFile);
    std::cout << Name << " (" << fs::file_size(Source) << " bytes), load average " << LoadAverage() << ":\n";
    ours.Save();
    peer.Save();
    CopyAndSync(Source, copyFile);
    TSeries our;
    TSeries their;
    TSeries copy;
    for (int i = 0; i < Runs; ++i) {
        our.Add(ours.Save());
        their.Add(peer.Save());
        copy.Add(CopyAndSync(Source, copyFile));
    }
    Print("ours", our, true);
    Print("peer", their, true);
    Print("cp", copy, false);
    std::cout << std::setprecision(2) << "  ours / peer " << Median(our.Ms) / Median(their.Ms) << ", ours / cp "
              << Median(our.Ms) / Median(copy.Ms) << "; load average now " << LoadAverage() << "\n";
    const std::string read = ReadAll(Source);
    const auto same = [&read](const std::string& File) { return ReadAll(File) == read ? "the bytes read" : "OTHER BYTES"; };
    std::cout << "  saved: ours " << same(ourFile) << ", the peer " << same(peerFile) << "\n";
}

// The sources in the bench's folder: the corpus's few carriage returns taken out, so
// that both sides write the bytes they read (ours would write a file mixing line-end
// styles with CR LF throughout); the small file the big one's first 10 MB, to the end of
// a line. Also the folder of our program, with its language file.
std::pair<std::string, std::string> MakeFiles()
{
    const std::string languages = Folder + "program/languages/";
    fs::create_directories(languages);
    fs::copy_file(std::string(QV_SOURCE_DIR) + "/languages/English_lang.dat", languages + "English_lang.dat");
    MakeCorpusFile(BenchPhpFile, BigFileBytes);
    std::string text = ReadAll(BenchPhpFile);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    const std::string big = Folder + "source-100mb.php";
    WriteAll(big, text);
    text.resize(text.rfind('\n', SmallFileBytes) + 1);
    const std::string small = Folder + "source-10mb.php";
    WriteAll(small, text);
    return {small, big};
}

}  // namespace

int main(int argc, char** argv)
{
    const auto [smallFile, bigFile] = MakeFiles();
    TBenchDisplay display;
    QApplication app(argc, argv);
    RunPeerWithoutAccessibilityUpdates();
    Application->Initialize();
    Application->SetTitle("Quorvel");
    std::cout << "each side replaces a file of the same text and syncs it; " << Runs
              << " turns each after a warm-up\n";
    Compare("10mb", smallFile);
    Compare("100mb", bigFile);
    Application->FreeForms();
    fs::remove_all(Folder);
    return 0;
}
