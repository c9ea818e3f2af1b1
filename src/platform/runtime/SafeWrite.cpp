// Writing a whole file through a temporary file in the same folder.
#include "platform/runtime/SafeWrite.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/runtime/Exceptions.h"

namespace {

std::string Reason(int Error)
{
    return std::strerror(Error);
}

[[noreturn]] void RaiseCreate(const std::string& Path, int Error)
{
    throw EFCreateError("Cannot create file \"" + Path + "\". " + Reason(Error));
}

[[noreturn]] void RaiseWrite(const std::string& Path, int Error)
{
    throw EWriteError("Cannot write file \"" + Path + "\". " + Reason(Error));
}

std::string FolderOf(const std::string& Path)
{
    const auto slash = Path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : Path.substr(0, slash);
}

// Follows symbolic links to the file they finally name, so that the link itself stays
// in place and its target receives the new content.
std::string ResolveLinks(const std::string& Path)
{
    std::string current = Path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n < 0)
            RaiseCreate(Path, errno);
        target.resize(static_cast<std::size_t>(n));
        if (!target.empty() && target[0] != '/')
            target = FolderOf(current) + "/" + target;
        current = target;
    }
    RaiseCreate(Path, ELOOP);
}

// A new file next to Target that nobody else can have opened: exclusive creation under
// a random name. Created with 0666 so the umask applies as for any new file. Returns -1
// with the reason in Error when the file cannot be made.
int CreateTemporary(const std::string& Target, std::string& TempName, int& Error)
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::string base = FolderOf(Target) + "/." + Target.substr(Target.rfind('/') + 1) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[17];
        std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
        TempName = base + suffix + ".tmp";
        const int fd = ::open(TempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        Error = errno;
        if (Error != EEXIST && Error != EINTR)
            return -1;
    }
    Error = EEXIST;
    return -1;
}

void WriteAll(int Fd, const void* Data, std::size_t Count, const std::string& Path)
{
    const auto* bytes = static_cast<const char*>(Data);
    while (Count > 0) {
        const ssize_t n = ::write(Fd, bytes, Count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            RaiseWrite(Path, n < 0 ? errno : ENOSPC);
        bytes += n;
        Count -= static_cast<std::size_t>(n);
    }
}

void SyncFolder(const std::string& Folder)
{
    // The rename has happened; a file system that cannot sync folders still has the
    // new file in place, so a failure here is not reported.
    const int fd = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes the file over its old bytes, for a folder where no temporary file may be made.
// The whole text is made before the file is touched, so a producer that fails leaves it
// as it was; a write that fails part way leaves it damaged, and the error names it.
// Writing over the old bytes before cutting the length needs no new space while the
// text does not grow, which is when a full disk would otherwise stop the write.
void WriteInPlace(const std::string& Target, const std::string& Path,
                  const std::function<void(const TSafeWriteSink&)>& Producer)
{
    std::string text;
    Producer([&text](const void* Data, std::size_t Count) {
        text.append(static_cast<const char*>(Data), Count);
    });
    const int fd = ::open(Target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        RaiseCreate(Path, errno);
    try {
        WriteAll(fd, text.data(), text.size(), Path);
        if (::ftruncate(fd, static_cast<off_t>(text.size())) != 0 || ::fsync(fd) != 0)
            RaiseWrite(Path, errno);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0)
        RaiseWrite(Path, errno);
}

}  // namespace

void SafeWriteFile(const std::string& Path, const std::function<void(const TSafeWriteSink&)>& Producer)
{
    if (Path.empty())
        RaiseCreate(Path, ENOENT);
    const std::string target = ResolveLinks(Path);

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        RaiseCreate(Path, EISDIR);
    // Renaming needs only the folder's permission; a file the user may not write stays
    // as it is, as it would for a plain open for writing.
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        RaiseCreate(Path, errno);

    std::string tempName;
    int error = 0;
    int fd = CreateTemporary(target, tempName, error);
    if (fd < 0) {
        // The folder refuses new files but the file itself may be written (checked
        // above): other editors save such a file in place, and so does this one.
        if (exists && S_ISREG(existing.st_mode) && (error == EACCES || error == EPERM)) {
            WriteInPlace(target, Path, Producer);
            return;
        }
        RaiseCreate(Path, error);
    }
    try {
        const TSafeWriteSink sink = [fd, &Path](const void* Data, std::size_t Count) {
            WriteAll(fd, Data, Count, Path);
        };
        Producer(sink);
        if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0)
            RaiseWrite(Path, errno);
        if (::fsync(fd) != 0)
            RaiseWrite(Path, errno);
        const int closed = ::close(fd);
        fd = -1;
        if (closed != 0)
            RaiseWrite(Path, errno);
        if (::rename(tempName.c_str(), target.c_str()) != 0)
            RaiseWrite(Path, errno);
    } catch (...) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(tempName.c_str());
        throw;
    }
    SyncFolder(FolderOf(target));
}

void SafeWriteFile(const std::string& Path, const std::string& Bytes)
{
    SafeWriteFile(Path, [&Bytes](const TSafeWriteSink& sink) { sink(Bytes.data(), Bytes.size()); });
}
