// Writing whole files safely: the bytes go to a temporary file in the target's folder,
// which is flushed, synced and renamed over the target. On any failure the temporary
// file is removed, the old file is left as it was, and an error names the file and the
// reason (EFCreateError when the file cannot be made, EWriteError when writing fails).
// Every megabyte written is started on its way to the disk at once, so that the sync
// before the rename waits for little more than the last.
//
// The temporary file is made with no access for anyone but its maker and gets the old
// file's owner, group and mode before its first byte, so nobody reads the new text who
// could not read the old. Where the saving user may not give it the old owner or group
// (only the super-user may give a file away), it keeps the user's, and a group that is
// not the old one gets no access. Replacing the file gives the saved name a new file:
// other hard links to the old one keep the old bytes.
//
// A symbolic link is written through: its target gets the new bytes and the link stays.
// In a sticky folder that anyone may write (like /tmp) a link is followed only when it
// belongs to the saving user or to the folder's owner, as the kernel's own protection of
// such folders does; another user's link there is refused.
//
// When the folder does not let the user create the temporary file but the existing
// file may be written, the file is written in place instead: the whole text is made
// first, the space it needs is taken, and only then is it written over the old bytes,
// cut to length and synced. Hard links, owner and mode stay. A full disk then fails with
// the file untouched; a write that fails after the first old byte (an I/O error, a file
// system that cannot take space ahead) leaves it damaged, and the error says so.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <sys/stat.h>

// One file being replaced. The constructor checks that the file may be written and
// makes the temporary file (raises EFCreateError naming the file); Write adds bytes
// (raises EWriteError); Commit puts them in place. A writer destroyed uncommitted, or
// whose Commit failed, leaves the old file as it was and no temporary file.
class TSafeFileWriter {
public:
    explicit TSafeFileWriter(const std::string& Path);
    ~TSafeFileWriter();
    TSafeFileWriter(const TSafeFileWriter&) = delete;
    TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

    void Write(const void* Data, std::size_t Count);
    void Commit();
    const std::string& Path() const { return path_; }

private:
    void Prepare();
    void TakeOwnerAndMode(const struct stat& Old);
    void Discard() noexcept;

    std::string path_;    // as the caller named it, for messages
    std::string target_;  // the file finally named, links followed
    std::string name_;    // its name in its folder
    int folder_ = -1;     // its folder, open: every name is taken relative to it
    std::string temporary_;  // the temporary file's name in the folder, once made
    int fd_ = -1;
    unsigned long long written_ = 0;
    // Written bytes are sent on to the disk in steps of this size (see Write).
    static constexpr unsigned long long WriteBackBytes = 1ull << 20;
    unsigned long long writtenBack_ = 0;
    bool inPlace_ = false;
    bool restoreSetId_ = false;  // writing may clear set-id bits the mode must keep
    unsigned mode_ = 0;
    std::string text_;  // in place: the whole new text, written by Commit
    std::unique_ptr<struct stat> checked_;  // in place: the file as checked
};

// Receives chunks of the file's bytes in order; each call writes them all or raises.
using TSafeWriteSink = std::function<void(const void* Data, std::size_t Count)>;

// Writes Bytes as the whole new content of Path. A new file gets 0666 less the umask.
void SafeWriteFile(const std::string& Path, const std::string& Bytes);

// The same, for output produced in pieces: Producer is called once and hands its
// bytes to the sink as it makes them. An exception from Producer aborts the write.
void SafeWriteFile(const std::string& Path, const std::function<void(const TSafeWriteSink&)>& Producer);
