// The files opened in one folder while it lives, seen through inotify: for tests that a
// listing reads no file. The folder's own opening (to list it) is left out.
#pragma once

#include <sys/inotify.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace QvTest {

class TFolderOpens {
public:
    explicit TFolderOpens(const std::string& Folder) : watch_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (watch_ >= 0 && ::inotify_add_watch(watch_, Folder.c_str(), IN_OPEN) < 0) {
            ::close(watch_);
            watch_ = -1;
        }
    }
    ~TFolderOpens()
    {
        if (watch_ >= 0)
            ::close(watch_);
    }
    TFolderOpens(const TFolderOpens&) = delete;
    TFolderOpens& operator=(const TFolderOpens&) = delete;

    bool Watching() const { return watch_ >= 0; }

    // The names of the files opened since the last call, in their order, once per open.
    std::vector<std::string> Files()
    {
        std::vector<std::string> names;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t n; watch_ >= 0 && (n = ::read(watch_, buffer, sizeof buffer)) > 0;)
            for (const char* at = buffer; at < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->len > 0 && (event->mask & IN_ISDIR) == 0)
                    names.emplace_back(event->name);
                at += sizeof(inotify_event) + event->len;
            }
        return names;
    }

private:
    int watch_;
};

}  // namespace QvTest
