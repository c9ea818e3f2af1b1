#include "XServer.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

extern char** environ;

namespace QvTest {
namespace {

constexpr const char* ChildVariable = "QV_X_SERVER_CHILD";

// Starts Xvfb on a free display; returns its pid and display number, or pid 0.
pid_t StartXvfb(int& Display)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The read end is closed first: where it is descriptor 3 itself, closing it after the
    // dup would close the server's end again.
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    const char* args[] = {"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1280x1024x24", nullptr};
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, "Xvfb", &actions, nullptr, const_cast<char**>(args), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    std::string number;
    pollfd ready{fds[0], POLLIN, 0};
    char c = 0;
    while (failed == 0 && ::poll(&ready, 1, 10000) == 1 && ::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    if (failed != 0)
        return 0;
    if (number.empty()) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        return 0;
    }
    Display = std::atoi(number.c_str());
    return pid;
}

int RunChild(int Display, const std::string& Filter, int TimeoutSeconds)
{
    std::vector<std::string> variables = {std::string(ChildVariable) + "=1", "QT_QPA_PLATFORM=xcb",
                                          "DISPLAY=:" + std::to_string(Display)};
    for (char** v = environ; *v != nullptr; ++v) {
        const std::string variable = *v;
        if (variable.rfind("ASAN_OPTIONS=", 0) == 0)
            // The X keyboard library hands strndup a buffer without a terminating NUL,
            // which is allowed but trips the strict string check.
            variables.push_back(variable + ":strict_string_checks=0");
        else if (variable.rfind("QT_QPA_PLATFORM=", 0) != 0 && variable.rfind("DISPLAY=", 0) != 0)
            variables.push_back(variable);
    }
    std::vector<char*> envp;
    for (std::string& v : variables)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string filter = "--gtest_filter=" + Filter;
    char program[] = "/proc/self/exe";
    char* args[] = {program, filter.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program, nullptr, nullptr, args, envp.data()) != 0)
        return -2;
    int status = 0;
    for (int waited = 0; waited < TimeoutSeconds * 10; ++waited) {
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return -1;
}

}  // namespace

bool OnXServer()
{
    return std::getenv(ChildVariable) != nullptr;
}

std::string DisplayName()
{
    const char* display = std::getenv("DISPLAY");
    return display != nullptr ? display : "";
}

std::optional<int> RunOnXServer(const std::string& Filter, int TimeoutSeconds)
{
    int display = 0;
    const pid_t server = StartXvfb(display);
    if (server == 0)
        return std::nullopt;
    const int status = RunChild(display, Filter, TimeoutSeconds);
    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);
    return status;
}

void ExpectPassOnXServer(const std::string& Filter, int TimeoutSeconds)
{
    if (OnXServer())
        GTEST_SKIP() << "the child runs only " << Filter;
    const std::optional<int> status = RunOnXServer(Filter, TimeoutSeconds);
    if (!status)
        GTEST_SKIP() << "no X server could be started (Xvfb missing or failing)";
    EXPECT_EQ(*status, 0) << "the tests " << Filter << " failed on the X server (their output is above)";
}

}  // namespace QvTest
