#include "platform/runtime/WriteBehind.h"

#include <system_error>
#include <utility>

TWriteBehind::TWriteBehind(std::function<void(const void* Data, std::size_t Count)> Sink) : sink_(std::move(Sink)) {}

TWriteBehind::~TWriteBehind()
{
    {
        std::unique_lock<std::mutex> lock(mutex_);
        WaitIdle(lock);
        stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void TWriteBehind::WaitIdle(std::unique_lock<std::mutex>& Lock)
{
    changed_.wait(Lock, [this] { return !busy_; });
}

void TWriteBehind::Wait()
{
    std::unique_lock<std::mutex> lock(mutex_);
    WaitIdle(lock);
    if (error_)
        std::rethrow_exception(std::exchange(error_, nullptr));
}

void TWriteBehind::Hand(const void* Data, std::size_t Count)
{
    Wait();
    if (alone_) {
        sink_(Data, Count);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        data_ = Data;
        count_ = Count;
        busy_ = true;
    }
    if (thread_.joinable()) {
        changed_.notify_all();
        return;
    }
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // No thread to be had: this chunk and the next are written here, as they come.
        {
            std::lock_guard<std::mutex> lock(mutex_);
            busy_ = false;
        }
        alone_ = true;
        sink_(Data, Count);
    }
}

void TWriteBehind::Run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return busy_ || stop_; });
        if (!busy_)
            return;
        lock.unlock();
        std::exception_ptr error;
        try {
            sink_(data_, count_);
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        error_ = error;
        busy_ = false;
        changed_.notify_all();
    }
}
