// Writing a file over its old bytes, for a folder where no temporary file may be made.
// Nothing of the old file is overwritten before the space for the whole new text is
// taken, so a full disk fails with the file as it was; a failure after that point says
// what the file holds: part of the new text, or all of it but perhaps not on the disk.
#include "platform/runtime/SafeWriteParts.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/FileCalls.h"

namespace SafeWriteParts {

namespace {

[[noreturn]] void RaiseDamaged(const std::string& Path, int Error)
{
    throw EWriteError("Cannot write file \"" + Path + "\". " + std::strerror(Error) +
                      ". The file is damaged: the new text replaced the old only in part.");
}

// The whole new text was written over the old; what failed after that.
[[noreturn]] void RaiseWrittenButUnsure(const std::string& Path, int Error)
{
    throw EWriteError("Cannot write file \"" + Path + "\". " + std::strerror(Error) +
                      ". The file holds the whole new text, but it may not be on the disk.");
}

[[noreturn]] void RaiseNotCut(const std::string& Path, int Error, off_t Left)
{
    throw EWriteError("Cannot write file \"" + Path + "\". " + std::strerror(Error) +
                      ". The file is damaged: it holds the whole new text followed by the last " +
                      std::to_string(Left) + " bytes of the old one.");
}

[[noreturn]] void RaiseSwapped(const std::string& Path, const std::string& What)
{
    throw EFCreateError("Cannot write file \"" + Path + "\". " + What +
                        " after it was checked; nothing was written.");
}
// Closes the file when the writing ends, however it ends.
class TOpenFile {
public:
    explicit TOpenFile(int Fd) : fd_(Fd) {}
    ~TOpenFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TOpenFile(const TOpenFile&) = delete;
    TOpenFile& operator=(const TOpenFile&) = delete;
    int Fd() const { return fd_; }
    int Close()
    {
        const int result = FileCalls().Close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

int Allocate(int Fd, off_t Length)
{
    int result;
    do {
        result = ::fallocate(Fd, FALLOC_FL_KEEP_SIZE, 0, Length);
    } while (result != 0 && errno == EINTR);
    return result == 0 ? 0 : errno;
}

// Takes the blocks the new text needs, holes of the old file included. Where the file
// system cannot take space ahead, the part of a longer text beyond the old end is
// written first instead: it needs the new space and overwrites nothing. Returns how
// many bytes from the start are still to be written over the old ones. A failure
// raises, with the old bytes untouched.
off_t Reserve(const TOpenFile& File, const std::string& Text, off_t OldSize, const std::string& Path)
{
    const auto newSize = static_cast<off_t>(Text.size());
    if (newSize == 0)
        return 0;
    const int error = Allocate(File.Fd(), newSize);
    if (error == 0)
        return newSize;
    if (error != EOPNOTSUPP && error != ENOSYS)
        RaiseWrite(Path, error);
    if (newSize <= OldSize)
        return newSize;
    const int tail = WriteAt(File.Fd(), Text.data() + OldSize, static_cast<std::size_t>(newSize - OldSize), OldSize);
    if (tail != 0) {
        // The bytes added go again; without that the file would end in part of the new text.
        if (::ftruncate(File.Fd(), OldSize) != 0)
            RaiseDamaged(Path, tail);
        RaiseWrite(Path, tail);
    }
    return OldSize;
}

}  // namespace

void WriteInPlace(int Folder, const std::string& Name, const struct stat& Checked, const std::string& Path,
                  const std::string& Text)
{
    // The name is opened again, and another user who may write the folder could have put
    // something else under it since it was checked: a link is not followed, a named pipe
    // or a device does not block the open, and the file must be the one checked.
    TOpenFile file(FileCalls().OpenAt(Folder, Name.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0));
    if (file.Fd() < 0) {
        if (errno == ELOOP)
            RaiseSwapped(Path, "It was replaced by a symbolic link");
        // What a named pipe with no reader, or a device that is not there, answers.
        if (errno == ENXIO)
            RaiseSwapped(Path, "It was replaced by something that is not a regular file");
        RaiseCreate(Path, errno);
    }
    struct stat old {};
    if (FileCalls().FStat(file.Fd(), &old) != 0)
        RaiseWrite(Path, errno);
    if (!S_ISREG(old.st_mode))
        RaiseSwapped(Path, "It was replaced by something that is not a regular file");
    if (old.st_dev != Checked.st_dev || old.st_ino != Checked.st_ino)
        RaiseSwapped(Path, "It was replaced by another file");
    if (::fcntl(file.Fd(), F_SETFL, ::fcntl(file.Fd(), F_GETFL) & ~O_NONBLOCK) != 0)
        RaiseWrite(Path, errno);
    const off_t head = Reserve(file, Text, old.st_size, Path);

    // From here on the old bytes are being replaced, from the first one written.
    std::size_t written = 0;
    const int error = WriteAt(file.Fd(), Text.data(), static_cast<std::size_t>(head), 0, &written);
    if (error != 0 && written == 0) {
        // Nothing old was overwritten: a tail written ahead goes again.
        if (head == static_cast<off_t>(Text.size()) || ::ftruncate(file.Fd(), old.st_size) == 0)
            RaiseWrite(Path, error);
    }
    if (error != 0)
        RaiseDamaged(Path, error);
    // The whole new text is in the file. A longer old one is cut to it.
    const auto length = static_cast<off_t>(Text.size());
    const off_t size = std::max(length, old.st_size);
    if (FileCalls().FTruncate(file.Fd(), length) != 0 && size > length)
        RaiseNotCut(Path, errno, size - length);
    if (FileCalls().FSync(file.Fd()) != 0)
        RaiseWrittenButUnsure(Path, errno);
    const int closed = file.Close();
    if (closed != 0)
        RaiseWrittenButUnsure(Path, closed);
}

}  // namespace SafeWriteParts
