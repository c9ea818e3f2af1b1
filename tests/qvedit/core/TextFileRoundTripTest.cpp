// Text files loaded into the buffer and saved again, byte for byte, through streams and
// through files.
#include "qvedit/core/QvEditTextBuffer.h"

#include "TroubledWrites.h"
#include "platform/runtime/FileCalls.h"
#include "platform/runtime/Streams.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

struct TRoundTrip {
    const char* name;
    std::string input;
    bool finalLineBreak;
    std::vector<std::string> lines;
    TQvEditFileFormat format;
    std::string saved;
};

using namespace std::string_literals;

const std::vector<TRoundTrip> RoundTrips = {
    {"Dos", "a\r\nb\r\n", true, {"a", "b"}, sffDos, "a\r\nb\r\n"},
    {"Unix", "a\nb\n", true, {"a", "b"}, sffUnix, "a\nb\n"},
    {"Mac", "a\rb\r", true, {"a", "b"}, sffMac, "a\rb\r"},
    {"Empty", "", true, {}, sffDos, ""},
    {"OneLineWithoutEnd", "one line", true, {"one line"}, sffDos, "one line\r\n"},
    {"OneLineUnix", "one line\n", true, {"one line"}, sffUnix, "one line\n"},
    {"OnlyLineEnd", "\n", true, {""}, sffUnix, "\n"},
    {"EmptyDosLines", "\r\n\r\n", true, {"", ""}, sffDos, "\r\n\r\n"},
    {"UnixWithoutFinalEnd", "a\nb", true, {"a", "b"}, sffUnix, "a\nb\n"},
    {"MixedDosAndUnix", "a\r\nb\nc\r\n", true, {"a", "b", "c"}, sffDos, "a\r\nb\r\nc\r\n"},
    {"MixedMacAndUnix", "a\rb\nc", true, {"a", "b", "c"}, sffDos, "a\r\nb\r\nc\r\n"},
    {"LfCrIsTwoEnds", "a\n\rb\n", true, {"a", "", "b"}, sffDos, "a\r\n\r\nb\r\n"},
    {"NulSplitsLine", "a\0b\n"s, true, {"a", "b"}, sffUnix, "a\nb\n"},
    {"NulAfterLineEnd", "a\r\n\0b"s, true, {"a", "b"}, sffDos, "a\r\nb\r\n"},
    {"TwoNuls", "a\0\0b"s, true, {"a", "", "b"}, sffDos, "a\r\n\r\nb\r\n"},
    {"HighBytesAndTabs", "\xE0\xFF\tx\r\n\x80\r\n", true, {"\xE0\xFF\tx", "\x80"}, sffDos,
     "\xE0\xFF\tx\r\n\x80\r\n"},
    {"NoFinalBreakKeepsEndAsEmptyLine", "a\n", false, {"a", ""}, sffUnix, "a\n"},
    {"NoFinalBreakWithoutEnd", "a\r\nb", false, {"a", "b"}, sffDos, "a\r\nb"},
    {"NoFinalBreakMac", "a\rb\r", false, {"a", "b", ""}, sffMac, "a\rb\r"},
    {"NoFinalBreakEmpty", "", false, {}, sffDos, ""},
};

std::vector<std::string> LinesOf(TQvEditStringList& list)
{
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(list.Strings(i));
    return lines;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class TempFolder {
public:
    TempFolder()
    {
        path_ = std::filesystem::temp_directory_path() /
                ("qv-roundtrip-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

}  // namespace

TEST(TextFileRoundTrip, StreamsKeepTheBytesOfEveryStyle)
{
    for (const TRoundTrip& t : RoundTrips) {
        SCOPED_TRACE(t.name);
        TQvEditStringList list;
        list.SetFinalLineBreak(t.finalLineBreak);
        TStringStream in(t.input);
        list.LoadFromStream(&in);
        EXPECT_EQ(LinesOf(list), t.lines);
        EXPECT_EQ(list.GetFileFormat(), t.format);

        TStringStream out;
        list.SaveToStream(&out);
        EXPECT_EQ(out.DataString(), t.saved);
    }
}

TEST(TextFileRoundTrip, FilesKeepTheBytesOfEveryStyle)
{
    TempFolder folder;
    for (const TRoundTrip& t : RoundTrips) {
        SCOPED_TRACE(t.name);
        std::string source = folder.File("in.txt");
        std::string target = folder.File("out.txt");
        WriteFile(source, t.input);
        TQvEditStringList list;
        list.SetFinalLineBreak(t.finalLineBreak);
        list.LoadFromFile(source);
        EXPECT_EQ(LinesOf(list), t.lines);
        EXPECT_EQ(list.GetFileFormat(), t.format);

        list.SaveToFile(target);
        EXPECT_EQ(ReadFile(target), t.saved);
    }
}

TEST(TextFileRoundTrip, LinesLongerThanTheWriteBufferAreWrittenWhole)
{
    TempFolder folder;
    std::string big(40000, 'x');
    big[12345] = '\t';
    std::string input = "short\n" + big + "\n" + big.substr(0, 16383) + "\nend\n";
    WriteFile(folder.File("big.txt"), input);
    TQvEditStringList list;
    list.LoadFromFile(folder.File("big.txt"));
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Strings(1), big);
    list.SaveToFile(folder.File("big-out.txt"));
    EXPECT_EQ(ReadFile(folder.File("big-out.txt")), input);
}

TEST(TextFileRoundTrip, SavingReplacesAnExistingFileWhole)
{
    TempFolder folder;
    std::string path = folder.File("doc.txt");
    WriteFile(path, std::string(100000, 'o'));
    TQvEditStringList list;
    list.Add("new");
    list.SetFileFormat(sffUnix);
    list.SaveToFile(path);
    EXPECT_EQ(ReadFile(path), "new\n");
}

TEST(TextFileRoundTrip, SaveIntoAMissingFolderRaisesNamingTheFile)
{
    TempFolder folder;
    std::string path = folder.File("no-such-folder/doc.txt");
    TQvEditStringList list;
    list.Add("text");
    try {
        list.SaveToFile(path);
        FAIL() << "saving into a missing folder succeeded";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find("doc.txt"), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(TextFileRoundTrip, LoadingAMissingFileRaisesAndKeepsTheLines)
{
    TempFolder folder;
    TQvEditStringList list;
    list.Add("kept");
    EXPECT_THROW(list.LoadFromFile(folder.File("missing.txt")), EFOpenError);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Strings(0), "kept");
}

// A file that another program cuts short between measuring and reading: the load fails
// with a message naming the file and what happened, and the old lines stay.
TEST(TextFileRoundTrip, AFileThatShrinksWhileItIsLoadedIsNamedAndTheLinesKept)
{
    class TShrinkingFile : public TFileStream {
    public:
        using TFileStream::TFileStream;
        Int64 Size() override
        {
            const Int64 size = TFileStream::Size();
            std::filesystem::resize_file(FileName(), static_cast<std::uintmax_t>(size / 2));
            return size;
        }
    };
    TempFolder folder;
    const std::string path = folder.File("shrinking.php");
    WriteFile(path, std::string(1000, 'x') + "\n");
    TQvEditStringList list;
    list.Add("kept");
    TShrinkingFile stream(path, fmOpenRead | fmShareDenyNone);
    try {
        list.LoadFromStream(&stream);
        ADD_FAILURE() << "a short read loaded";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message().rfind("Cannot read file \"" + path + "\". ", 0), 0u) << e.Message();
    }
    EXPECT_EQ(LinesOf(list), std::vector<std::string>{"kept"});
}

namespace {

// Lines of every kind of length: empty, held in the record (up to 11 bytes) or not, and
// one longer than the chunks a save gathers (a megabyte), among many lines that fill
// several chunks.
std::vector<std::string> LinesOfEveryLength()
{
    std::vector<std::string> lines = {"", "a", "elevenbytes", "twelve bytes", std::string(16, 's')};
    std::string huge((std::size_t{5} << 20) / 4, 'x');
    for (std::size_t i = 0; i < huge.size(); i += 4099)
        huge[i] = static_cast<char>('a' + i % 26);
    lines.push_back(huge);
    for (int i = 0; i < 30000; ++i)
        lines.push_back(std::string(static_cast<std::size_t>(i % 90), static_cast<char>('A' + i % 26)));
    lines.push_back(huge);
    lines.push_back("last");
    return lines;
}

std::string Joined(const std::vector<std::string>& lines, const std::string& end, bool finalEnd)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += lines[i] + (i + 1 < lines.size() || finalEnd ? end : "");
    return text;
}

void AddNumberedLines(TQvEditStringList& list, int count, const std::string& before, const std::string& after)
{
    for (int i = 0; i < count; ++i)
        list.Add(before + std::to_string(i) + after);
}

// A list saved to Path: what it raised, "" when it saved.
std::string SaveMessage(TQvEditStringList& list, const std::string& path)
{
    try {
        list.SaveToFile(path);
    } catch (const Exception& e) {
        return e.Message();
    }
    return {};
}

}  // namespace

// The bytes saved are the lines and their ends, whatever the style, the lengths and where
// the lines lie: added one by one, or loaded (borrowing from the file's text) with a line
// inserted in the middle afterwards.
TEST(TextFileSave, TheBytesSavedAreExactForEveryStyleAndLength)
{
    TempFolder folder;
    const std::string path = folder.File("saved.php");
    std::vector<std::string> lines = LinesOfEveryLength();
    TQvEditStringList added;
    for (const std::string& line : lines)
        added.Add(line);
    WriteFile(path, Joined(lines, "\n", true));
    TQvEditStringList loaded;
    loaded.LoadFromFile(path);
    loaded.Insert(loaded.Count() / 2, "inserted");
    std::vector<std::string> loadedLines = lines;
    loadedLines.insert(loadedLines.begin() + static_cast<std::ptrdiff_t>(lines.size() / 2), "inserted");

    const std::pair<TQvEditFileFormat, std::string> styles[] = {{sffDos, "\r\n"}, {sffUnix, "\n"}, {sffMac, "\r"}};
    for (const auto& [format, end] : styles) {
        for (const bool finalEnd : {true, false}) {
            SCOPED_TRACE(end.size() == 2 ? "CR LF" : end == "\n" ? "LF" : "CR");
            SCOPED_TRACE(finalEnd ? "final line end" : "no final line end");
            for (TQvEditStringList* list : {&added, &loaded}) {
                list->SetFileFormat(format);
                list->SetFinalLineBreak(finalEnd);
                const std::string expected = Joined(list == &added ? lines : loadedLines, end, finalEnd);
                list->SaveToFile(path);
                EXPECT_TRUE(ReadFile(path) == expected) << (list == &added ? "added" : "loaded");
                TStringStream stream;
                list->SaveToStream(&stream);
                EXPECT_TRUE(stream.DataString() == expected) << (list == &added ? "added" : "loaded");
            }
            TQvEditStringList empty;
            empty.SetFinalLineBreak(finalEnd);
            empty.SaveToFile(path);
            EXPECT_EQ(ReadFile(path), "");
        }
    }
}

// A save writes in few, large pieces: a megabyte or more a call, not a call for every
// small buffer of lines.
TEST(TextFileSave, SavingWritesAMegabyteOrMoreACall)
{
    TempFolder folder;
    const std::string path = folder.File("big.php");
    TQvEditStringList list;
    AddNumberedLines(list, 200000, "    $value = $this->table[", "] ?? null;");
    std::size_t calls = 0;
    std::size_t bytes = 0;
    {
        TFileCallsOverride override;
        const auto real = override.Calls().PWrite;
        override.Calls().PWrite = [&, real](int Fd, const void* Data, std::size_t Count, off_t Offset) {
            const ssize_t n = real(Fd, Data, Count, Offset);
            ++calls;
            bytes += n > 0 ? static_cast<std::size_t>(n) : 0;
            return n;
        };
        list.SaveToFile(path);
    }
    ASSERT_EQ(bytes, std::filesystem::file_size(path));
    ASSERT_GT(bytes, std::size_t{8} << 20);
    EXPECT_LE(calls, bytes / (std::size_t{1} << 20) + 1) << bytes << " bytes";
}

// The chunks are written beside the making of the next: a write that fails part way
// (a full disk, an I/O error, a write of nothing) still fails the save naming the file and
// the reason, the old file untouched and no temporary file left; writes cut short or
// interrupted go on where they stopped.
TEST(TextFileSave, AWriteThatFailsPartWayLeavesTheOldFile)
{
    TempFolder folder;
    const std::string path = folder.File("notes.php");
    TQvEditStringList list;
    AddNumberedLines(list, 100000, "echo ", "; // a line of the new text");
    list.SetFileFormat(sffUnix);
    for (const int error : {ENOSPC, EIO, 0}) {
        WriteFile(path, "old text");
        TFileCallsOverride override;
        QvTest::FailWrite(override.Calls(), 2, error);
        EXPECT_EQ(SaveMessage(list, path),
                  "Cannot write file \"" + path + "\". " + std::strerror(error == 0 ? ENOSPC : error));
        EXPECT_EQ(ReadFile(path), "old text");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()),
                                std::filesystem::directory_iterator()),
                  1);
    }

    TFileCallsOverride override;
    QvTest::CutAndInterruptWrites(override.Calls(), 100000);
    EXPECT_EQ(SaveMessage(list, path), "");
    std::string expected;
    for (int i = 0; i < list.Count(); ++i)
        expected += list.Strings(i) + "\n";
    EXPECT_TRUE(ReadFile(path) == expected);
}
