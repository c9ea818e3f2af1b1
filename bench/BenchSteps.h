// Steps timed with a cap, and the sides of a benchmark run each in a process of its own.
//
// An edit runs to its end once begun: a step that takes too long cannot be stopped inside the
// process. So each side runs in a child process (the benchmark run again with arguments), a
// step still running after StepCapSeconds prints "over 60 s" and ends its process, and the
// parent reads what each child printed: lines "= KEY VALUE" are its records (VALUE a number
// of milliseconds, or "over" for a step that hit the cap), every other line is shown as it
// comes. A child's own peak memory is then that side's alone.
#pragma once

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

constexpr int StepCapSeconds = 60;

// Times steps; a step still running StepCapSeconds after its start prints its name with
// "over 60 s", records "over" and ends the process.
class TCappedSteps {
public:
    explicit TCappedSteps(std::string Side) : side_(std::move(Side)), watch_([this] { Watch(); }) {}
    ~TCappedSteps()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        watch_.join();
    }
    TCappedSteps(const TCappedSteps&) = delete;
    TCappedSteps& operator=(const TCappedSteps&) = delete;

    // Runs Step, prints "  SIDE NAME: T ms" and records it under NAME; returns the ms.
    double Time(const std::string& Name, const std::function<void()>& Step)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            step_ = Name;
            done_count_ = -1;
            deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(StepCapSeconds);
            running_ = true;
        }
        wake_.notify_all();
        const auto start = std::chrono::steady_clock::now();
        Step();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            running_ = false;
        }
        Record(Name, ms);
        return ms;
    }

    // A step made of many (keys): how many are done, printed if the step reaches the cap.
    void Done(int Count) { done_count_.store(Count); }

    // Prints and records a figure measured otherwise (a median, megabytes).
    void Record(const std::string& Name, double Value, const char* Unit = "ms")
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::printf("  %s %s: %.1f %s\n= %s %.3f\n", side_.c_str(), Name.c_str(), Value, Unit, Name.c_str(),
                    Value);
        std::fflush(stdout);
    }

private:
    void Watch()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!done_) {
            if (running_ && std::chrono::steady_clock::now() >= deadline_) {
                std::printf("  %s %s: over %d s (the process is ended)\n= %s over\n", side_.c_str(),
                            step_.c_str(), StepCapSeconds, step_.c_str());
                const int done = done_count_.load();
                if (done >= 0)
                    std::printf("  %s %s: %d done by then\n= %s-done %d\n", side_.c_str(), step_.c_str(), done,
                                step_.c_str(), done);
                std::fflush(stdout);
                _exit(0);
            }
            if (running_)
                wake_.wait_until(lock, deadline_);
            else
                wake_.wait(lock);
        }
    }

    std::string side_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string step_;
    std::chrono::steady_clock::time_point deadline_;
    bool running_ = false;
    bool done_ = false;
    std::atomic<int> done_count_{-1};
    std::thread watch_;
};

// A field of /proc/self/status (VmRSS, VmHWM) in MB.
inline double ProcessStatusMb(const std::string& Field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(Field + ":", 0) == 0)
            return std::stod(line.substr(Field.size() + 1)) / 1024;
    return 0;
}

// The records of one child: KEY -> VALUE as printed ("over" for a capped step).
using TRecords = std::map<std::string, std::string>;

// Runs this program again with Arguments, shows what it prints and returns its records.
// A child that prints nothing for TimeoutSeconds is ended (by its process id).
inline TRecords RunChild(const std::vector<std::string>& Arguments, int TimeoutSeconds = 15 * 60)
{
    TRecords records;
    int out[2];
    if (pipe(out) != 0)
        return records;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> args{"/proc/self/exe"};
    args.insert(args.end(), Arguments.begin(), Arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::fflush(stdout);
    pid_t child = 0;
    const int failed = posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (failed != 0) {
        close(out[0]);
        std::printf("could not start the child process\n");
        return records;
    }
    std::string pending;
    char buffer[4096];
    for (;;) {
        pollfd poller{out[0], POLLIN, 0};
        if (poll(&poller, 1, TimeoutSeconds * 1000) <= 0) {
            std::printf("  (the child printed nothing for %d s and was ended)\n", TimeoutSeconds);
            kill(child, SIGKILL);
            break;
        }
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            const std::string line = pending.substr(0, end);
            if (line.rfind("= ", 0) == 0) {
                const std::size_t space = line.rfind(' ');
                if (space != std::string::npos && space > 2)
                    records[line.substr(2, space - 2)] = line.substr(space + 1);
            } else {
                std::printf("%s\n", line.c_str());
                std::fflush(stdout);
            }
        }
    }
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    std::fflush(stdout);
    return records;
}

// "12.3 ms", "over 60 s" or "-" (not measured) for a record.
inline std::string Shown(const TRecords& Records, const std::string& Key)
{
    const auto found = Records.find(Key);
    if (found == Records.end())
        return "-";
    if (found->second == "over")
        return "over " + std::to_string(StepCapSeconds) + " s";
    char text[64];
    std::snprintf(text, sizeof text, "%.1f ms", std::atof(found->second.c_str()));
    return text;
}

// Ours / peer for Key, or "-" when either is missing or over the cap.
inline std::string Ratio(const TRecords& Ours, const TRecords& Peer, const std::string& Key)
{
    const auto o = Ours.find(Key);
    const auto p = Peer.find(Key);
    if (o == Ours.end() || p == Peer.end() || p->second == "over")
        return "-";
    if (o->second == "over")
        return "> " + std::to_string(static_cast<int>(StepCapSeconds * 1000 / std::max(0.001, std::atof(p->second.c_str()))));
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", std::atof(o->second.c_str()) / std::max(0.001, std::atof(p->second.c_str())));
    return text;
}
