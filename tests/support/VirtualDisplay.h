// A virtual X server (Xvfb) on a free display, for tests and benchmarks that need a real
// window where no display is set. Header only and free of the test framework, so that the
// benchmarks share it.
#pragma once

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern char** environ;

namespace QvTest {

class TVirtualDisplay {
public:
    // Starts the server and waits until it accepts clients; Started() tells whether it did.
    TVirtualDisplay()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        // The read end is closed first: where it is descriptor 3 itself, closing it after
        // the dup would close the server's end again.
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        const char* args[] = {"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1280x1024x24", nullptr};
        pid_t pid = 0;
        const int failed = posix_spawnp(&pid, "Xvfb", &actions, nullptr, const_cast<char**>(args), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        // The server writes its display number once it accepts clients; on a busy machine
        // that may take a while.
        std::string number;
        pollfd ready{fds[0], POLLIN, 0};
        char c = 0;
        while (failed == 0 && ::poll(&ready, 1, 60000) == 1 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (failed != 0)
            return;
        server_ = pid;
        if (number.empty()) {
            Stop();
            return;
        }
        number_ = std::atoi(number.c_str());
    }
    ~TVirtualDisplay() { Stop(); }
    TVirtualDisplay(const TVirtualDisplay&) = delete;
    TVirtualDisplay& operator=(const TVirtualDisplay&) = delete;

    bool Started() const { return server_ != 0; }
    // The display's number, N of ":N".
    int Number() const { return number_; }

private:
    void Stop()
    {
        if (server_ == 0)
            return;
        ::kill(server_, SIGTERM);
        ::waitpid(server_, nullptr, 0);
        server_ = 0;
    }

    pid_t server_ = 0;
    int number_ = 0;
};

}  // namespace QvTest
