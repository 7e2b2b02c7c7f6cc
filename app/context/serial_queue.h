// A serial work queue on a worker thread of its own: tasks run one at a
// time, in the order they were queued, never on the caller's thread.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace vanto {

class SerialQueue {
  public:
    explicit SerialQueue(std::string label) : label_(std::move(label)) {}
    // Drops what has not started, waits for the task running now.
    ~SerialQueue();
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    // Queues task. The worker starts with the first task. A task that
    // throws is abandoned; the queue goes on with the next.
    void async(std::function<void()> task);
    // Waits until every task queued so far has run. Not from a task.
    void waitUntilIdle();
    const std::string& label() const { return label_; }

  private:
    void work();

    const std::string label_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> tasks_;
    bool busy_ = false;
    bool ending_ = false;
    std::thread worker_;
};

} // namespace vanto
