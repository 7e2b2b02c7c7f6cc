#include "serial_queue.h"

#include <system_error>

namespace vanto {

SerialQueue::~SerialQueue() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
        tasks_.clear();
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void SerialQueue::async(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        if (ending_) return;
        tasks_.push_back(std::move(task));
        if (!worker_.joinable()) {
            try {
                worker_ = std::thread([this] { work(); });
            } catch (const std::system_error&) {
                // Without a thread the work cannot be done; the caller never
                // waits for it, so it is simply not done.
                tasks_.clear();
                return;
            }
        }
    }
    changed_.notify_all();
}

void SerialQueue::waitUntilIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return tasks_.empty() && !busy_; });
}

void SerialQueue::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return ending_ || !tasks_.empty(); });
        if (ending_) return;
        std::function<void()> task = std::move(tasks_.front());
        tasks_.pop_front();
        busy_ = true;
        lock.unlock();
        try {
            task();
        } catch (...) {
            // The task's work is lost; the queue must stay alive for the next.
        }
        task = nullptr; // its captures go before the lock is taken again
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

} // namespace vanto
