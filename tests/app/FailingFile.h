// One file whose status or read fails once, at a chosen call, while the object lives: the
// disk or network file system answering with an error part way through a use of the file.
// Calls on other files go through unchanged; the calls on the file are counted.
#pragma once

#include "platform/runtime/FileCalls.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

class TFailingFile {
public:
    enum class TCall { Status, Read };

    // Fails the FailAt-th call of the kind on Path (from 1) with Error; 0 fails none.
    TFailingFile(const std::string& Path, TCall Call, int FailAt, int Error = EIO)
        : path_(std::filesystem::weakly_canonical(Path).string()), failAt_(FailAt), error_(Error)
    {
        TFileCalls& calls = override_.Calls();
        if (Call == TCall::Status) {
            const auto real = calls.FStatAt;
            calls.FStatAt = [this, real](int Folder, const char* Name, struct stat* Info, int Flags) {
                if (Folder == AT_FDCWD && IsTheFile(Name) && Fails())
                    return -1;
                return real(Folder, Name, Info, Flags);
            };
        } else {
            const auto real = calls.Read;
            calls.Read = [this, real](int Fd, void* Buffer, std::size_t Count) -> ssize_t {
                if (IsTheFile("/proc/self/fd/" + std::to_string(Fd)) && Fails())
                    return -1;
                return real(Fd, Buffer, Count);
            };
        }
    }

    // How many calls of the kind were made on the file so far.
    int Calls() const { return calls_; }

private:
    bool IsTheFile(const std::string& Name) const
    {
        std::error_code error;
        return std::filesystem::weakly_canonical(Name, error).string() == path_ && !error;
    }

    bool Fails()
    {
        if (++calls_ != failAt_)
            return false;
        errno = error_;
        return true;
    }

    TFileCallsOverride override_;
    std::string path_;
    int failAt_;
    int error_;
    int calls_ = 0;
};
