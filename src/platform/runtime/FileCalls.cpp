#include "platform/runtime/FileCalls.h"

#include <fcntl.h>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// A "Key:  123 kB" line of a /proc file, in bytes; false when there is none.
bool ProcValue(const std::string& File, const std::string& Key, std::uint64_t& Bytes)
{
    std::ifstream in(File);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, Key.size(), Key) != 0 || line.size() <= Key.size() || line[Key.size()] != ':')
            continue;
        std::istringstream fields(line.substr(Key.size() + 1));
        std::uint64_t value = 0;
        std::string unit;
        if (!(fields >> value))
            return false;
        fields >> unit;
        Bytes = unit == "kB" ? value * 1024 : value;
        return true;
    }
    return false;
}

// A file holding one number (a control group's memory file); false for "max" or none.
bool NumberIn(const std::string& File, std::uint64_t& Value)
{
    std::ifstream in(File);
    return static_cast<bool>(in >> Value);
}

// The folder of this process's control group (version 2), "" when there is none.
std::string ControlGroupFolder()
{
    std::ifstream in("/proc/self/cgroup");
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 3, "0::") == 0)
            return "/sys/fs/cgroup" + line.substr(3);
    }
    return {};
}

TFileCalls RealCalls()
{
    TFileCalls calls;
    calls.FStatAt = [](int Folder, const char* Name, struct stat* Info, int Flags) {
        return ::fstatat(Folder, Name, Info, Flags);
    };
    calls.FStat = [](int Fd, struct stat* Info) { return ::fstat(Fd, Info); };
    calls.OpenAt = [](int Folder, const char* Name, int Flags, mode_t Mode) {
        return ::openat(Folder, Name, Flags, Mode);
    };
    calls.FChown = [](int Fd, uid_t Owner, gid_t Group) { return ::fchown(Fd, Owner, Group); };
    calls.FTruncate = [](int Fd, off_t Length) { return ::ftruncate(Fd, Length); };
    calls.FSync = [](int Fd) { return ::fsync(Fd); };
    calls.Close = [](int Fd) { return ::close(Fd); };
    calls.Read = [](int Fd, void* Buffer, std::size_t Count) { return ::read(Fd, Buffer, Count); };
    calls.PWrite = [](int Fd, const void* Buffer, std::size_t Count, off_t Offset) {
        return ::pwrite(Fd, Buffer, Count, Offset);
    };
    calls.AvailableMemory = SystemAvailableMemory;
    return calls;
}

TFileCalls& Table()
{
    static TFileCalls table = RealCalls();
    return table;
}

}  // namespace

bool NameHoldsNul(std::string_view Name)
{
    return Name.find('\0') != std::string_view::npos;
}

std::string ShownFileName(std::string_view Name)
{
    std::string shown;
    shown.reserve(Name.size());
    for (const char c : Name) {
        if (c == '\0')
            shown += "\\0";
        else
            shown += c;
    }
    return shown;
}

const TFileCalls& FileCalls()
{
    return Table();
}

std::uint64_t SystemAvailableMemory()
{
    std::uint64_t available = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    if (ProcValue("/proc/meminfo", "MemAvailable", value))
        available = value;
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        std::uint64_t used = 0;
        ProcValue("/proc/self/status", "VmSize", used);
        available = std::min<std::uint64_t>(available, limit.rlim_cur > used ? limit.rlim_cur - used : 0);
    }
    const std::string group = ControlGroupFolder();
    std::uint64_t most = 0;
    std::uint64_t current = 0;
    if (!group.empty() && NumberIn(group + "/memory.max", most) && NumberIn(group + "/memory.current", current))
        available = std::min<std::uint64_t>(available, most > current ? most - current : 0);
    return available;
}

TFileCallsOverride::TFileCallsOverride() : saved_(Table()) {}

TFileCallsOverride::~TFileCallsOverride()
{
    Table() = saved_;
}

TFileCalls& TFileCallsOverride::Calls()
{
    return Table();
}
