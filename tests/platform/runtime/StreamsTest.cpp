// Streams: checked transfers, file open errors, memory stream positions, copying and
// the little-endian and length-prefixed helpers.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <future>
#include <iterator>
#include <string>

#include "platform/runtime/Classes.h"
#include "platform/runtime/FileCalls.h"
#include "platform/runtime/Streams.h"

namespace {

std::string TempPath(const std::string& Name)
{
    return ::testing::TempDir() + "streams_" + Name;
}

void WriteRaw(const std::string& Path, const std::string& Bytes)
{
    std::ofstream(Path, std::ios::binary) << Bytes;
}

}  // namespace

TEST(StreamsTest, ShortReadsAndWritesRaise)
{
    TStringStream stream("abc");
    char buffer[8] = {};
    EXPECT_EQ(stream.Read(buffer, 8), 3);  // Read reports what it got
    stream.SetPosition(1);
    try {
        stream.ReadBuffer(buffer, 3);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    stream.SetPosition(0);
    EXPECT_NO_THROW(stream.ReadBuffer(buffer, 3));
    EXPECT_EQ(std::string(buffer, 3), "abc");

    const std::string path = TempPath("readonly.bin");
    WriteRaw(path, "xyz");
    TFileStream readOnly(path, fmOpenRead);
    try {
        readOnly.WriteBuffer("q", 1);
        FAIL() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_NE(e.Message().find(path), std::string::npos);
    }
    std::remove(path.c_str());
}

// A file cut short after it was measured: the whole read fails naming the file and what
// happened, where a memory stream has no name to give.
TEST(StreamsTest, AFileThatEndsEarlyIsNamedInTheReadError)
{
    const std::string path = TempPath("shrinks.bin");
    WriteRaw(path, std::string(1000, 'x'));
    TFileStream stream(path, fmOpenRead | fmShareDenyNone);
    const Int64 size = stream.Size();
    ASSERT_EQ(::truncate(path.c_str(), 400), 0);
    std::string buffer(static_cast<std::size_t>(size), '\0');
    try {
        stream.ReadBuffer(buffer.data(), size);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Cannot read file \"" + path +
                                   "\". It ended after 400 bytes where 1000 were expected: it was changed while it was read");
    }
    std::remove(path.c_str());
}

TEST(StreamsTest, FileOpenErrorsNameTheFileAndReason)
{
    const std::string missing = TempPath("no/such/file.bin");
    try {
        TFileStream stream(missing, fmOpenRead | fmShareDenyNone);
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + missing + "\". " + std::strerror(ENOENT));
    }
    try {
        TFileStream stream(missing, fmCreate);
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + missing + "\". " + std::strerror(ENOENT));
    }
    EXPECT_THROW(TFileStream(::testing::TempDir(), fmOpenRead), EFOpenError);
}

// A named pipe without a writer would block open() until one appears; such a file, like a
// device, is refused at once with its name, in every mode.
TEST(StreamsTest, FilesThatAreNotRegularAreRefusedWithoutWaiting)
{
    const std::string pipe = TempPath("pipe");
    std::remove(pipe.c_str());
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0) << std::strerror(errno);
    for (const Word mode : {Word(fmOpenRead | fmShareDenyNone), Word(fmOpenWrite), Word(fmCreate)}) {
        auto opening = std::async(std::launch::async, [&] {
            try {
                TFileStream stream(pipe, mode);
                return std::string("opened");
            } catch (const Exception& e) {
                return e.Message();
            }
        });
        if (opening.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            // Let the blocked open() go on so that the test can end.
            const int other = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
            opening.wait();
            ::close(other);
            FAIL() << "opening a named pipe blocked, mode " << mode;
        }
        const std::string message = opening.get();
        EXPECT_NE(message.find("\"" + pipe + "\""), std::string::npos) << message;
        EXPECT_NE(message.find("not a regular file"), std::string::npos) << message;
    }
    std::remove(pipe.c_str());
    EXPECT_THROW(TFileStream("/dev/null", fmOpenRead | fmShareDenyNone), EFOpenError);
    EXPECT_THROW(ReadFileBytes("/dev/zero"), EFOpenError);
}

TEST(StreamsTest, FileStreamCreateTruncatesAndSeeks)
{
    const std::string path = TempPath("create.bin");
    WriteRaw(path, "old content that is long");
    {
        TFileStream stream(path, fmCreate);
        EXPECT_EQ(stream.Size(), 0);
        stream.WriteBuffer("hello world", 11);
        EXPECT_EQ(stream.Position(), 11);
        EXPECT_EQ(stream.Seek(-5, soFromEnd), 6);
        char word[5];
        stream.ReadBuffer(word, 5);
        EXPECT_EQ(std::string(word, 5), "world");
        stream.SetSize(5);
        EXPECT_EQ(stream.Position(), 5);
        EXPECT_THROW(stream.Seek(-1, soFromBeginning), EStreamError);
    }
    TFileStream again(path, fmOpenReadWrite);
    EXPECT_EQ(again.Size(), 5);
    std::remove(path.c_str());
}

TEST(StreamsTest, CopyFromCountZeroCopiesTheWholeSource)
{
    TStringStream source("0123456789");
    source.SetPosition(7);
    TMemoryStream target;
    EXPECT_EQ(target.CopyFrom(&source, 0), 10);
    EXPECT_EQ(std::string(target.Bytes().begin(), target.Bytes().end()), "0123456789");

    source.SetPosition(2);
    TStringStream part;
    EXPECT_EQ(part.CopyFrom(&source, 3), 3);
    EXPECT_EQ(part.DataString(), "234");
    source.SetPosition(8);
    EXPECT_THROW(part.CopyFrom(&source, 3), EReadError);
}

TEST(StreamsTest, MemoryStreamFileRoundTripAndLoadFromStream)
{
    const std::string path = TempPath("memory.bin");
    TStringStream original(std::string("bin\0ary\r\n", 9));
    original.SaveToFile(path);
    TMemoryStream loaded;
    loaded.LoadFromFile(path);
    EXPECT_EQ(loaded.Bytes(), original.Bytes());
    EXPECT_EQ(loaded.Position(), 0);
    std::remove(path.c_str());
    EXPECT_THROW(loaded.LoadFromFile(path), EFOpenError);
    EXPECT_EQ(loaded.Bytes(), original.Bytes());  // a failed load keeps the old bytes
}

// A file in /proc reports a size of 0 and cannot seek to its end: whatever reads it whole
// reads it to its end, as far as the memory available allows, without waiting.
TEST(StreamsTest, AFileWhoseEndCannotBeSoughtIsReadToItsEnd)
{
    const std::string path = "/proc/version";
    std::ifstream in(path, std::ios::binary);
    const std::string expected{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ReadFileBytes(path), expected);
    TStringList lines;
    lines.LoadFromFile(path);
    EXPECT_EQ(lines.Strings(0) + "\n", expected);

    // A file in /proc may wait for more instead of ending (the kernel's log): no read of
    // it may wait.
    TFileCallsOverride override;
    bool couldWait = false;
    override.Calls().Read = [&couldWait](int Fd, void* Buffer, std::size_t Count) {
        couldWait = couldWait || (::fcntl(Fd, F_GETFL) & O_NONBLOCK) == 0;
        return ::read(Fd, Buffer, Count);
    };
    EXPECT_EQ(ReadFileBytes(path), expected);
    EXPECT_FALSE(couldWait);
    override.Calls().AvailableMemory = [] { return std::uint64_t{16}; };
    try {
        ReadFileBytes(path);
        ADD_FAILURE() << "read past the memory available";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Message(),
                  "Cannot read file \"" + path + "\". It holds more than the 16 bytes of memory available");
    }
}

TEST(StreamsTest, LittleEndianIntegersHaveAFixedByteOrder)
{
    TStringStream stream;
    WriteByte(stream, 0xAB);
    WriteLE16(stream, 0x1234);
    WriteLE32(stream, 0x89ABCDEFu);
    WriteLE64(stream, -2);
    EXPECT_EQ(stream.DataString(), std::string("\xAB\x34\x12\xEF\xCD\xAB\x89"
                                               "\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF",
                                               15));
    stream.SetPosition(0);
    EXPECT_EQ(ReadByte(stream), 0xAB);
    EXPECT_EQ(ReadLE16(stream), 0x1234);
    EXPECT_EQ(ReadLE32(stream), 0x89ABCDEFu);
    EXPECT_EQ(ReadLE64(stream), -2);
    EXPECT_THROW(ReadLE16(stream), EReadError);
}

TEST(StreamsTest, SizedStringsCheckTheirLengthAgainstTheStream)
{
    TStringStream stream;
    WriteSizedString(stream, "");
    WriteSizedString(stream, std::string("a\0b", 3));
    stream.SetPosition(0);
    EXPECT_EQ(ReadSizedString(stream), "");
    EXPECT_EQ(ReadSizedString(stream), std::string("a\0b", 3));

    // A length larger than what follows, including one that is negative as a signed
    // value, raises before anything is allocated.
    for (const std::string& forged : {std::string("\x05\0\0\0abc", 7), std::string("\xFF\xFF\xFF\xFF", 4)}) {
        TStringStream bad(forged);
        EXPECT_THROW(ReadSizedString(bad), EReadError);
    }
    TStringStream truncated(std::string("\x01\0", 2));
    EXPECT_THROW(ReadSizedString(truncated), EReadError);
}
