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
#include "platform/runtime/FileCalls.h"
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
        const ssize_t n = FileCalls().PWrite(Fd, Data + done, Count - done, Offset + static_cast<off_t>(done));
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

std::string NameOf(const std::string& Path)
{
    const auto slash = Path.rfind('/');
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

// Whether a folder with the status Folder lets an entry of Owner in it have been put
// there by another user to catch the saving one: the folder is sticky and anyone may
// write it (like /tmp), and the entry belongs neither to the saving user nor to the
// folder's owner. The kernel protects such folders the same way.
bool PlantedInSharedFolder(const struct stat& Folder, uid_t Owner)
{
    const bool shared = (Folder.st_mode & S_ISVTX) != 0 && (Folder.st_mode & S_IWOTH) != 0;
    return shared && Owner != ::geteuid() && Owner != Folder.st_uid;
}

bool PlantedInSharedFolder(const std::string& Entry, uid_t Owner, const std::string& Path)
{
    struct stat folder {};
    if (FileCalls().FStatAt(AT_FDCWD, FolderOf(Entry).c_str(), &folder, 0) != 0)
        RaiseCreate(Path, errno);
    return PlantedInSharedFolder(folder, Owner);
}

// Follows symbolic links to the file they finally name, so that the link itself stays
// in place and its target receives the new content. Only a name that does not exist
// ends the search; a name whose status cannot be read fails the save.
std::string ResolveLinks(const std::string& Path)
{
    std::string current = Path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (FileCalls().FStatAt(AT_FDCWD, current.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                return current;
            RaiseCreate(Path, errno);
        }
        if (!S_ISLNK(info.st_mode))
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

// A new file in the folder open as Folder that nobody else can have opened: exclusive
// creation under a random name of its own, made relative to the folder so that its
// length never depends on the folder's path. Name receives the name only once the file
// exists. Returns -1 with the reason in Error when the file cannot be made.
int CreateTemporary(int Folder, mode_t Mode, std::string& Name, int& Error)
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, ".qv%016llx.tmp", static_cast<unsigned long long>(random()));
        const int fd = FileCalls().OpenAt(Folder, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, Mode);
        if (fd >= 0) {
            Name = name;
            return fd;
        }
        Error = errno;
        if (Error != EEXIST && Error != EINTR)
            return -1;
    }
    Error = EEXIST;
    return -1;
}

}  // namespace

TSafeFileWriter::TSafeFileWriter(const std::string& Path) : path_(Path)
{
    if (Path.empty())
        RaiseCreate(Path, ENOENT);
    if (NameHoldsNul(Path))
        throw EFCreateError("Cannot create file \"" + ShownFileName(Path) + "\". " + std::string(NulInNameReason));
    target_ = ResolveLinks(Path);
    name_ = NameOf(target_);
    if (name_.empty() || name_ == "." || name_ == "..")
        RaiseCreate(Path, EISDIR);  // a path that ends in a folder
    folder_ = FileCalls().OpenAt(AT_FDCWD, FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (folder_ < 0)
        RaiseCreate(Path, errno);
    try {
        Prepare();
    } catch (...) {
        Discard();
        throw;
    }
}

void TSafeFileWriter::Prepare()
{
    // Only a file that is not there is made anew. A file whose status cannot be read
    // (an I/O error, a network file system that does not answer) may well exist, with an
    // owner and a mode a new file would not get: the save fails and leaves it alone.
    struct stat existing {};
    bool exists = true;
    if (FileCalls().FStatAt(folder_, name_.c_str(), &existing, 0) != 0) {
        if (errno != ENOENT)
            throw EFCreateError("Cannot create file \"" + path_ + "\". " + std::strerror(errno) +
                                ". Its status could not be read; the file was left as it was.");
        exists = false;
    }
    if (exists && S_ISDIR(existing.st_mode))
        RaiseCreate(path_, EISDIR);
    // A named pipe or a device is never replaced by a regular file: saving onto
    // /dev/null, say, would otherwise take the device away from everyone.
    if (exists && !S_ISREG(existing.st_mode))
        throw EFCreateError("Cannot create file \"" + path_ + "\". It is not a regular file");
    // Renaming needs only the folder's permission; a file the user may not write stays
    // as it is, as it would for a plain open for writing.
    if (exists && ::faccessat(folder_, name_.c_str(), W_OK, AT_EACCESS) != 0)
        RaiseCreate(path_, errno);

    // Replacing a file: private until it has the old file's owner, group and mode. A new
    // file: the mode any new file gets, the umask applied.
    int error = 0;
    fd_ = CreateTemporary(folder_, exists ? 0600 : 0666, temporary_, error);
    if (fd_ < 0) {
        // The folder refuses new files but the file itself may be written (checked
        // above): other editors save such a file in place, and so does this one.
        if (exists && (error == EACCES || error == EPERM)) {
            inPlace_ = true;
            checked_ = std::make_unique<struct stat>(existing);
            return;
        }
        RaiseCreate(path_, error);
    }
    if (exists)
        TakeOwnerAndMode(existing);
}

void TSafeFileWriter::TakeOwnerAndMode(const struct stat& Old)
{
    mode_ = Old.st_mode & 07777;
    struct stat made {};
    struct stat folder {};
    if (FileCalls().FStat(fd_, &made) != 0 || FileCalls().FStat(folder_, &folder) != 0)
        RaiseCreate(path_, errno);
    const bool owned = made.st_uid == Old.st_uid && made.st_gid == Old.st_gid;
    if (!owned && PlantedInSharedFolder(folder, Old.st_uid)) {
        // A file another user may have planted in a shared folder is not given to him:
        // the new text would be his. The old group gets none of its access either.
        mode_ &= ~static_cast<unsigned>(S_IRWXG | S_ISGID);
    } else if (!owned && FileCalls().FChown(fd_, Old.st_uid, Old.st_gid) != 0) {
        const int error = errno;
        // The super-user may give any file away: when that fails, the new file would be
        // his, readable by whom the old one was not, so the save fails instead.
        if (::geteuid() == 0)
            throw EFCreateError("Cannot create file \"" + path_ + "\". " + std::strerror(error) +
                                ": the new file could not be given the old one's owner and group; "
                                "the file was left as it was.");
        // Anyone else may give a file only a group of his own. A group that is not the
        // old one gets none of the old group's access.
        if (FileCalls().FChown(fd_, static_cast<uid_t>(-1), Old.st_gid) != 0)
            mode_ &= ~static_cast<unsigned>(S_IRWXG | S_ISGID);
    }
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
    // Only a name this writer made is removed.
    if (!temporary_.empty() && folder_ >= 0)
        ::unlinkat(folder_, temporary_.c_str(), 0);
    temporary_.clear();
    if (folder_ >= 0)
        ::close(folder_);
    folder_ = -1;
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
    // The bytes written so far start on their way to the disk while the rest is made, so
    // that the sync in Commit waits for little more than the last of them. Only a hint:
    // it waits for nothing, and the sync reports whatever fails to be stored.
    if (written_ - writtenBack_ >= WriteBackBytes) {
        ::sync_file_range(fd_, static_cast<off_t>(writtenBack_), static_cast<off_t>(written_ - writtenBack_),
                          SYNC_FILE_RANGE_WRITE);
        writtenBack_ = written_;
    }
}

void TSafeFileWriter::Commit()
{
    if (inPlace_) {
        SafeWriteParts::WriteInPlace(folder_, name_, *checked_, path_, text_);
        return;
    }
    if (fd_ < 0)
        RaiseWrite(path_, EBADF);
    try {
        // Writing by anyone but the super-user clears set-id bits the old file had.
        if (restoreSetId_ && ::fchmod(fd_, mode_) != 0)
            RaiseWrite(path_, errno);
        if (FileCalls().FSync(fd_) != 0)
            RaiseWrite(path_, errno);
        const int closed = FileCalls().Close(fd_);
        fd_ = -1;
        if (closed != 0)
            RaiseWrite(path_, errno);
        if (::renameat(folder_, temporary_.c_str(), folder_, name_.c_str()) != 0)
            RaiseWrite(path_, errno);
    } catch (...) {
        Discard();
        throw;
    }
    temporary_.clear();
    // The rename has happened; a file system that cannot sync folders still has the new
    // file in place, so a failure here is not reported.
    FileCalls().FSync(folder_);
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
