// The system calls the file code makes where a failure must be told apart or a race
// guarded against, gathered in one table. The table holds the real calls; a test puts a
// failing or racing call in one entry for the length of a TFileCallsOverride, to see what
// the file code does when the disk, the network file system or another user answers that
// way at that point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <sys/stat.h>
#include <sys/types.h>

struct TFileCalls {
    std::function<int(int Folder, const char* Name, struct stat* Info, int Flags)> FStatAt;
    std::function<int(int Fd, struct stat* Info)> FStat;
    std::function<int(int Folder, const char* Name, int Flags, mode_t Mode)> OpenAt;
    std::function<int(int Fd, uid_t Owner, gid_t Group)> FChown;
    std::function<int(int Fd, off_t Length)> FTruncate;
    std::function<int(int Fd)> FSync;
    std::function<int(int Fd)> Close;
    std::function<ssize_t(int Fd, void* Buffer, std::size_t Count)> Read;
    // How many bytes of memory the program may still take: what the system has
    // available, less for a limit on this process's address space or its control group.
    std::function<std::uint64_t()> AvailableMemory;
};

// The table in use.
const TFileCalls& FileCalls();

// The real table's memory figure: /proc/meminfo's MemAvailable, bounded by RLIMIT_AS
// less the address space in use and by the control group's memory.max less its
// memory.current; the largest value when none of them can be read.
std::uint64_t SystemAvailableMemory();

// For tests: changes entries of the table until it goes, then puts the old table back.
class TFileCallsOverride {
public:
    TFileCallsOverride();
    ~TFileCallsOverride();
    TFileCallsOverride(const TFileCallsOverride&) = delete;
    TFileCallsOverride& operator=(const TFileCallsOverride&) = delete;
    TFileCalls& Calls();

private:
    TFileCalls saved_;
};
