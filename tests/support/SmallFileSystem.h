// A small file system of its own for a test that fills a disk: a tmpfs of a given size
// mounted on a new folder for the object's life. Only the super-user may mount; where the
// mount fails, Mounted() is false and Why() says why, for the test's skip message.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace QvTest {

class TSmallFileSystem {
public:
    explicit TSmallFileSystem(std::size_t Bytes)
    {
        if (::geteuid() != 0) {
            why_ = "mounting a small file system needs the super-user";
            return;
        }
        std::string pattern = ::testing::TempDir() + "smallfs_XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            why_ = std::string("cannot make a mount point: ") + std::strerror(errno);
            return;
        }
        folder_ = pattern;
        const std::string options = "size=" + std::to_string(Bytes) + ",mode=0755";
        if (::mount("quorvel-test", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
            why_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~TSmallFileSystem()
    {
        if (mounted_)
            ::umount2(folder_.c_str(), MNT_DETACH);
        if (!folder_.empty())
            ::rmdir(folder_.c_str());
    }
    TSmallFileSystem(const TSmallFileSystem&) = delete;
    TSmallFileSystem& operator=(const TSmallFileSystem&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Why() const { return why_; }
    std::string Path(const std::string& Name) const { return folder_ + "/" + Name; }

    std::size_t FreeBytes() const
    {
        struct statvfs info {};
        return ::statvfs(folder_.c_str(), &info) == 0 ? info.f_bavail * info.f_frsize : 0;
    }

    // Takes all free space but Leave bytes (a multiple of the page size) with a file of its
    // own, named Name. Returns false when it cannot.
    bool Fill(std::size_t Leave, const std::string& Name = "filler")
    {
        const std::size_t free = FreeBytes();
        if (free < Leave)
            return false;
        const int fd = ::open(Path(Name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        const std::vector<char> block(4096, 'f');
        std::size_t left = free - Leave;
        bool ok = true;
        while (left > 0 && ok) {
            const std::size_t n = std::min(left, block.size());
            ok = ::write(fd, block.data(), n) == static_cast<ssize_t>(n);
            left -= n;
        }
        return ::close(fd) == 0 && ok && FreeBytes() == Leave;
    }

private:
    std::string folder_;
    std::string why_;
    bool mounted_ = false;
};

}  // namespace QvTest
