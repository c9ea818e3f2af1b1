// Loading a file too big for the memory the system can give: the load is refused with a
// message naming the file and its size before the memory is taken, from the file's size
// or, while it is split, from its lines, and the lines loaded before stay. The memory
// available is played by the file code's call table.
#include "qvedit/core/QvEditTextBuffer.h"

#include "HeapCount.h"
#include "platform/runtime/FileCalls.h"
#include "platform/runtime/Streams.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class TextBufferMemoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = ::testing::TempDir() + "memory_" + std::to_string(::getpid()) + ".txt";
        lines_.Add("the text open before");
        lines_.Add("stays");
    }
    void TearDown() override { std::remove(path_.c_str()); }

    void WriteFile(const std::string& Bytes) const { std::ofstream(path_, std::ios::binary) << Bytes; }

    // Loads the file with Available bytes of memory to be had; what it raised, "" when
    // it loaded. Largest receives the largest allocation this thread made meanwhile.
    std::string Load(std::uint64_t Available, std::size_t& Largest)
    {
        TFileCallsOverride override;
        override.Calls().AvailableMemory = [Available] { return Available; };
        heapcount::TScope heap;
        std::string message;
        try {
            lines_.LoadFromFile(path_);
        } catch (const EOutOfResources& e) {
            message = e.Message();
        }
        Largest = heap.Largest();
        return message;
    }

    void ExpectTheOldLines()
    {
        ASSERT_EQ(lines_.Count(), 2);
        EXPECT_EQ(lines_.Strings(0), "the text open before");
        EXPECT_EQ(lines_.Strings(1), "stays");
    }

    std::string path_;
    TQvEditStringList lines_;
};

TEST_F(TextBufferMemoryTest, AFileLargerThanTheMemoryAvailableIsRefusedBeforeItsBlockIsTaken)
{
    if (!heapcount::Available())
        GTEST_SKIP() << heapcount::Unavailable;
    const std::size_t size = 3 << 20;
    WriteFile(std::string(size, 'x'));
    std::size_t largest = 0;
    EXPECT_EQ(Load(2 << 20, largest), "Cannot open file \"" + path_ + "\" of 3145728 bytes: it needs more "
                                      "memory than the 2097152 bytes available");
    EXPECT_LT(largest, std::size_t{64} << 10);
    ExpectTheOldLines();

    // With room enough the same file loads.
    EXPECT_EQ(Load(64 << 20, largest), "");
    EXPECT_EQ(lines_.Count(), 1);
}

// The same with the memory the system itself gives, in a child whose address space may
// grow by 1 GB at most: a sparse file of 2 GB, which takes no disk, is refused at once.
// Were it not, taking its memory would fail in the child alone.
TEST_F(TextBufferMemoryTest, AFileLargerThanTheAddressSpaceLeftIsRefusedAtOnce)
{
    const std::uint64_t size = std::uint64_t{2} << 30;
    WriteFile("");
    if (::truncate(path_.c_str(), static_cast<off_t>(size)) != 0)
        GTEST_SKIP() << "no sparse file of " << size << " bytes can be made here";
    const std::string start = "Cannot open file \"" + path_ + "\" of " + std::to_string(size) + " bytes: it needs";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::uint64_t used = 0;
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("VmSize:", 0) == 0)
                used = std::stoull(line.substr(7)) * 1024;
        }
        const std::uint64_t room = std::uint64_t{1} << 30;
        const rlimit limit{used + room, used + room};
        if (used == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0)
            ::_exit(2);
        try {
            lines_.LoadFromFile(path_);
        } catch (const EOutOfResources& e) {
            ::_exit(e.Message().rfind(start, 0) == 0 && lines_.Count() == 2 ? 0 : 3);
        } catch (...) {
            ::_exit(4);
        }
        ::_exit(5);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child ended by a signal: the memory was taken";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "2: no limit could be set; 3: another message or lines; 4: another "
                                         "error; 5: the file was loaded";
}

// Every NUL byte ends a line: a file of them needs a record per byte, many times its
// size. The load stops once the records would pass what is available.
TEST_F(TextBufferMemoryTest, AFileOfManyLinesIsRefusedBeforeItsRecordsPassTheMemoryAvailable)
{
    if (!heapcount::Available())
        GTEST_SKIP() << heapcount::Unavailable;
    const std::size_t size = 12 << 20;  // three read chunks
    WriteFile(std::string(size, '\0'));
    const std::uint64_t available = 64 << 20;
    std::size_t largest = 0;
    const std::string message = Load(available, largest);
    const std::string start = "Cannot open file \"" + path_ + "\" of 12582912 bytes: its text and the records of the ";
    EXPECT_EQ(message.substr(0, start.size()), start) << message;
    EXPECT_NE(message.find(" lines read so far need more memory than the 67108864 bytes available"),
              std::string::npos)
        << message;
    EXPECT_LT(largest, available - size);
    ExpectTheOldLines();
}

}  // namespace
