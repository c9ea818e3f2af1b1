// Writing a file's bytes on a thread of its own while the producer makes the next ones:
// the producer fills one buffer while the one it handed over before is being written.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

class TWriteBehind {
public:
    // Sink writes one chunk whole or raises; it is called on the thread, one chunk at a time.
    explicit TWriteBehind(std::function<void(const void* Data, std::size_t Count)> Sink);
    // Waits for the chunk being written; a failure of it is dropped, as the producer is
    // ending anyway.
    ~TWriteBehind();
    TWriteBehind(const TWriteBehind&) = delete;
    TWriteBehind& operator=(const TWriteBehind&) = delete;

    // Waits for the chunk handed before, raising what its writing raised, then has this one
    // written on the thread. Its bytes must stay as they are until the next call returns.
    void Hand(const void* Data, std::size_t Count);
    // Waits for the chunk handed before, raising what its writing raised.
    void Wait();

private:
    void Run();
    void WaitIdle(std::unique_lock<std::mutex>& Lock);

    std::function<void(const void*, std::size_t)> sink_;
    std::mutex mutex_;
    std::condition_variable changed_;
    const void* data_ = nullptr;
    std::size_t count_ = 0;
    bool busy_ = false;
    bool stop_ = false;
    std::exception_ptr error_;
    bool alone_ = false;  // no thread could be started: chunks are written by Hand
    std::thread thread_;  // started with the first chunk
};
