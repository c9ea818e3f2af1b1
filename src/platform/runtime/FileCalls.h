// The system calls the file code makes where a failure must be told apart or a race
// guarded against, gathered in one table. The table holds the real calls; a test puts a
// failing or racing call in one entry for the length of a TFileCallsOverride, to see what
// the file code does when the disk, the network file system or another user answers that
// way at that point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
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
    std::function<ssize_t(int Fd, const void* Buffer, std::size_t Count, off_t Offset)> PWrite;
    // How many bytes of memory the program may still take: what the system has
    // available, less for a limit on this process's address space or its control group.
    std::function<std::uint64_t()> AvailableMemory;
};

// A system call takes a name up to its first NUL byte, so a name holding one stands for
// another file: "victim.txt\0.php" for victim.txt. The file streams, the safe writer, INI
// files and the shell refuse such a name before any call, naming it as ShownFileName
// shows it and giving NulInNameReason; a question about it (does it exist? what does the
// folder hold?) is answered no.
bool NameHoldsNul(std::string_view Name);
// Name as a message shows it: each NUL byte as \0.
std::string ShownFileName(std::string_view Name);
inline constexpr std::string_view NulInNameReason =
    "Its name holds a NUL byte (shown as \\0), which the system would take for its end";

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
