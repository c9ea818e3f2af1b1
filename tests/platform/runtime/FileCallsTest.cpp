// The memory the file code weighs a load against: what the system says is available,
// bounded by a limit on the process's address space.
#include "platform/runtime/FileCalls.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A "Key:  123 kB" line of a /proc file, in bytes; 0 when there is none.
std::uint64_t ProcBytes(const std::string& File, const std::string& Key)
{
    std::ifstream in(File);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(Key + ":", 0) == 0)
            return std::stoull(line.substr(Key.size() + 1)) * 1024;
    }
    return 0;
}

TEST(FileCalls, TheMemoryAvailableIsTheSystemsBoundedByTheAddressSpaceLimit)
{
    const std::uint64_t total = ProcBytes("/proc/meminfo", "MemTotal");
    ASSERT_GT(total, 0u);
    const std::uint64_t available = SystemAvailableMemory();
    EXPECT_GT(available, 0u);
    EXPECT_LE(available, total);

    // In a child whose address space may grow by 256 MB at most, no more is available.
    const std::uint64_t room = std::uint64_t{256} << 20;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::uint64_t used = ProcBytes("/proc/self/status", "VmSize");
        const rlimit limit{used + room, used + room};
        if (used == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0)
            ::_exit(2);
        const std::uint64_t bounded = SystemAvailableMemory();
        ::_exit(bounded > 0 && bounded <= room ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "2: the limit could not be set; 1: it was not applied";
}

}  // namespace
