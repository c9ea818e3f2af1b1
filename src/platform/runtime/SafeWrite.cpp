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
#include "platform/runtime/SafeWriteParts.h"

using SafeWriteParts::RaiseCreate;
using SafeWriteParts::RaiseWrite;

namespace SafeWriteParts {

void RaiseCreate(const std::string& Path, int Error)
{
    throw EFCreateError("Cannot create file \"" + Path + "\". " + std::strerror(Error));
}

void RaiseWrite(const std::string& Path, int Error)
{
    throw EWriteError("Cannot write file \"" + Path + "\". " + std::strerror(Error));
}

int WriteAt(int Fd, const char* Data, std::size_t Count, off_t Offset, std::size_t* Written)
{
    std::size_t done = 0;
    int error = 0;
    while (done < Count) {
        const ssize_t n = ::pwrite(Fd, Data + done, Count - done, Offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (Written != nullptr)
        *Written = done;
    return error;
}

}  // namespace SafeWriteParts

namespace {

std::string FolderOf(const std::string& Path)
{
    const auto slash = Path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : Path.substr(0, slash);
}

// Whether the entry Entry, of Owner, may have been put in its folder by another user to
// catch the saving one: the folder is sticky and anyone may write it (like /tmp), and the
// entry belongs neither to the saving user nor to the folder's owner. The kernel
// protects such folders the same way.
bool PlantedInSharedFolder(const std::string& Entry, uid_t Owner, const std::string& Path)
{
    struct stat folder {};
    if (::stat(FolderOf(Entry).c_str(), &folder) != 0)
        RaiseCreate(Path, errno);
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return shared && Owner != ::geteuid() && Owner != folder.st_uid;
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
        // Such a link may point at a file of the saving user's that its owner could not
        // write himself.
        if (PlantedInSharedFolder(current, info.st_uid, Path))
            throw EFCreateError("Cannot create file \"" + Path + "\". " + std::strerror(EACCES) +
                                ": it is a symbolic link another user put in a shared folder");
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

// A new file in Folder that nobody else can have opened: exclusive creation under a
// random name of its own, short enough beside any name the folder allows. Returns -1
// with the reason in Error when the file cannot be made.
int CreateTemporary(const std::string& Folder, mode_t Mode, std::string& Name, int& Error)
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "/.qv%016llx.tmp", static_cast<unsigned long long>(random()));
        Name = Folder + name;
        const int fd = ::open(Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, Mode);
        if (fd >= 0)
            return fd;
        Error = errno;
        if (Error != EEXIST && Error != EINTR)
            return -1;
    }
    Error = EEXIST;
    return -1;
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

}  // namespace

TSafeFileWriter::TSafeFileWriter(const std::string& Path) : path_(Path)
{
    if (Path.empty())
        RaiseCreate(Path, ENOENT);
    target_ = ResolveLinks(Path);

    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        RaiseCreate(Path, EISDIR);
    // A named pipe or a device is never replaced by a regular file: saving onto
    // /dev/null, say, would otherwise take the device away from everyone.
    if (exists && !S_ISREG(existing.st_mode))
        throw EFCreateError("Cannot create file \"" + Path + "\". It is not a regular file");
    // Renaming needs only the folder's permission; a file the user may not write stays
    // as it is, as it would for a plain open for writing.
    if (exists && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
        RaiseCreate(Path, errno);

    // Replacing a file: private until it has the old file's owner, group and mode. A new
    // file: the mode any new file gets, the umask applied.
    int error = 0;
    fd_ = CreateTemporary(FolderOf(target_), exists ? 0600 : 0666, temporary_, error);
    if (fd_ < 0) {
        // The folder refuses new files but the file itself may be written (checked
        // above): other editors save such a file in place, and so does this one.
        if (exists && S_ISREG(existing.st_mode) && (error == EACCES || error == EPERM)) {
            inPlace_ = true;
            return;
        }
        RaiseCreate(Path, error);
    }
    if (!exists)
        return;
    try {
        TakeOwnerAndMode(existing);
    } catch (...) {
        Discard();
        throw;
    }
}

void TSafeFileWriter::TakeOwnerAndMode(const struct stat& Old)
{
    mode_ = Old.st_mode & 07777;
    struct stat made {};
    const bool owned = ::fstat(fd_, &made) == 0 && made.st_uid == Old.st_uid && made.st_gid == Old.st_gid;
    // Only the super-user gives a file to another owner; a user may give it a group of
    // his own. A group that is not the old one gets none of the old group's access. A
    // file another user may have planted in a shared folder gets neither: the new text
    // would be his.
    if (!owned && (PlantedInSharedFolder(target_, Old.st_uid, path_) ||
                   (::fchown(fd_, Old.st_uid, Old.st_gid) != 0 &&
                    ::fchown(fd_, static_cast<uid_t>(-1), Old.st_gid) != 0)))
        mode_ &= ~static_cast<unsigned>(S_IRWXG | S_ISGID);
    // After the owner: changing the owner clears the set-id bits.
    if (::fchmod(fd_, mode_) != 0)
        RaiseCreate(path_, errno);
    restoreSetId_ = (mode_ & (S_ISUID | S_ISGID)) != 0;
}

TSafeFileWriter::~TSafeFileWriter()
{
    Discard();
}

void TSafeFileWriter::Discard() noexcept
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
}

void TSafeFileWriter::Write(const void* Data, std::size_t Count)
{
    if (inPlace_) {
        text_.append(static_cast<const char*>(Data), Count);
        return;
    }
    if (fd_ < 0)
        RaiseWrite(path_, EBADF);
    const int error = SafeWriteParts::WriteAt(fd_, static_cast<const char*>(Data), Count, static_cast<off_t>(written_));
    if (error != 0)
        RaiseWrite(path_, error);
    written_ += Count;
}

void TSafeFileWriter::Commit()
{
    if (inPlace_) {
        SafeWriteParts::WriteInPlace(target_, path_, text_);
        return;
    }
    if (fd_ < 0)
        RaiseWrite(path_, EBADF);
    try {
        // Writing by anyone but the super-user clears set-id bits the old file had.
        if (restoreSetId_ && ::fchmod(fd_, mode_) != 0)
            RaiseWrite(path_, errno);
        if (::fsync(fd_) != 0)
            RaiseWrite(path_, errno);
        const int closed = ::close(fd_);
        fd_ = -1;
        if (closed != 0)
            RaiseWrite(path_, errno);
        if (::rename(temporary_.c_str(), target_.c_str()) != 0)
            RaiseWrite(path_, errno);
    } catch (...) {
        Discard();
        throw;
    }
    temporary_.clear();
    SyncFolder(FolderOf(target_));
}

void SafeWriteFile(const std::string& Path, const std::function<void(const TSafeWriteSink&)>& Producer)
{
    TSafeFileWriter file(Path);
    Producer([&file](const void* Data, std::size_t Count) { file.Write(Data, Count); });
    file.Commit();
}

void SafeWriteFile(const std::string& Path, const std::string& Bytes)
{
    SafeWriteFile(Path, [&Bytes](const TSafeWriteSink& sink) { sink(Bytes.data(), Bytes.size()); });
}
