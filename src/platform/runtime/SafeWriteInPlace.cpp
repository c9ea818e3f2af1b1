// Writing a file over its old bytes, for a folder where no temporary file may be made.
// Nothing of the old file is overwritten before the space for the whole new text is
// taken, so a full disk fails with the file as it was; a failure after that point leaves
// the file damaged, and the message says so.
#include "platform/runtime/SafeWriteParts.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/runtime/Exceptions.h"

namespace SafeWriteParts {

namespace {

[[noreturn]] void RaiseDamaged(const std::string& Path, int Error)
{
    throw EWriteError("Cannot write file \"" + Path + "\". " + std::strerror(Error) +
                      ". The file is damaged: the new text replaced the old only in part.");
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
        const int result = ::close(fd_);
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

void WriteInPlace(const std::string& Target, const std::string& Path, const std::string& Text)
{
    TOpenFile file(::open(Target.c_str(), O_WRONLY | O_CLOEXEC));
    if (file.Fd() < 0)
        RaiseCreate(Path, errno);
    struct stat old {};
    if (::fstat(file.Fd(), &old) != 0)
        RaiseWrite(Path, errno);
    const off_t head = Reserve(file, Text, old.st_size, Path);

    // From here on the old bytes are being replaced, from the first one written.
    std::size_t written = 0;
    int error = WriteAt(file.Fd(), Text.data(), static_cast<std::size_t>(head), 0, &written);
    if (error != 0 && written == 0) {
        // Nothing old was overwritten: a tail written ahead goes again.
        if (head == static_cast<off_t>(Text.size()) || ::ftruncate(file.Fd(), old.st_size) == 0)
            RaiseWrite(Path, error);
    }
    if (error == 0 && ::ftruncate(file.Fd(), static_cast<off_t>(Text.size())) != 0)
        error = errno;
    if (error == 0 && ::fsync(file.Fd()) != 0)
        error = errno;
    const int closed = file.Close();
    if (error == 0)
        error = closed;
    if (error != 0)
        RaiseDamaged(Path, error);
}

}  // namespace SafeWriteParts
