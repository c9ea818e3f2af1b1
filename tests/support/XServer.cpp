#include "XServer.h"

#include "VirtualDisplay.h"

#include <gtest/gtest.h>

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
    const TVirtualDisplay display;
    if (!display.Started())
        return std::nullopt;
    return RunChild(display.Number(), Filter, TimeoutSeconds);
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
