#include "portable_main_loop.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace vanto {

struct MainLoopQueue {
    using Clock = std::chrono::steady_clock;

    struct Entry {
        std::function<void()> task;
        double interval = 0; // repeating when above 0
        std::shared_ptr<std::atomic<bool>> cancelled;
    };

    explicit MainLoopQueue(bool manual) : manual(manual), start(Clock::now()) {}

    // Callers hold mutex.
    double nowLocked() const {
        if (manual) return manualNow;
        return std::chrono::duration<double>(Clock::now() - start).count();
    }

    void add(double due, Entry entry) {
        {
            std::lock_guard lock(mutex);
            entries.emplace(std::make_pair(due, nextSequence++), std::move(entry));
        }
        changed.notify_all();
    }

    const bool manual;
    const Clock::time_point start;
    mutable std::mutex mutex;
    std::condition_variable changed;
    // Keyed by due time, then by order of arrival, so equal times keep it.
    std::map<std::pair<double, std::uint64_t>, Entry> entries;
    std::uint64_t nextSequence = 0;
    double manualNow = 0;
    bool quitRequested = false;
};

namespace {

class LoopTimer final : public MainLoop::Timer {
  public:
    explicit LoopTimer(std::shared_ptr<std::atomic<bool>> cancelled)
        : cancelled_(std::move(cancelled)) {}
    ~LoopTimer() override { *cancelled_ = true; }

  private:
    std::shared_ptr<std::atomic<bool>> cancelled_;
};

double clamped(double seconds) {
    return seconds > 0 ? seconds : 0;
}

} // namespace

PortableMainLoop::PortableMainLoop(Clock clock)
    : queue_(std::make_unique<MainLoopQueue>(clock == Clock::manual)) {}

PortableMainLoop::~PortableMainLoop() = default;

void PortableMainLoop::post(std::function<void()> task) {
    after(0, std::move(task));
}

void PortableMainLoop::after(double seconds, std::function<void()> task) {
    const double due = now() + clamped(seconds);
    queue_->add(due, {std::move(task), 0, nullptr});
}

std::unique_ptr<MainLoop::Timer> PortableMainLoop::every(double interval, double /*tolerance*/,
                                                         std::function<void()> task) {
    // A zero interval would make the timer due forever and starve the loop.
    const double step = interval > 0.001 ? interval : 0.001;
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    queue_->add(now() + step, {std::move(task), step, cancelled});
    return std::make_unique<LoopTimer>(std::move(cancelled));
}

std::size_t PortableMainLoop::runPending() {
    MainLoopQueue& q = *queue_;
    std::size_t ran = 0;
    for (;;) {
        double due;
        MainLoopQueue::Entry entry;
        {
            std::lock_guard lock(q.mutex);
            const auto first = q.entries.begin();
            if (first == q.entries.end() || first->first.first > q.nowLocked()) break;
            due = first->first.first;
            entry = std::move(first->second);
            q.entries.erase(first);
        }
        if (entry.cancelled && *entry.cancelled) continue;
        entry.task();
        ++ran;
        if (entry.interval > 0 && !*entry.cancelled) {
            // A loop that fell behind skips the ticks it missed rather than
            // firing them in a burst.
            double next = due + entry.interval;
            const double current = now();
            if (next <= current) next = current + entry.interval;
            q.add(next, std::move(entry));
        }
    }
    return ran;
}

void PortableMainLoop::advance(double seconds) {
    MainLoopQueue& q = *queue_;
    if (!q.manual) throw std::logic_error("advance() needs a loop on the manual clock");
    double target;
    {
        std::lock_guard lock(q.mutex);
        target = q.manualNow + clamped(seconds);
    }
    for (;;) {
        {
            std::lock_guard lock(q.mutex);
            const auto first = q.entries.begin();
            if (first == q.entries.end() || first->first.first > target) {
                q.manualNow = target;
                break;
            }
            if (first->first.first > q.manualNow) q.manualNow = first->first.first;
        }
        runPending();
    }
    runPending();
}

double PortableMainLoop::now() const {
    std::lock_guard lock(queue_->mutex);
    return queue_->nowLocked();
}

std::size_t PortableMainLoop::waiting() const {
    std::lock_guard lock(queue_->mutex);
    std::size_t n = 0;
    for (const auto& [key, entry] : queue_->entries)
        if (!entry.cancelled || !*entry.cancelled) ++n;
    return n;
}

void PortableMainLoop::run() {
    MainLoopQueue& q = *queue_;
    for (;;) {
        runPending();
        std::unique_lock lock(q.mutex);
        if (q.quitRequested) {
            q.quitRequested = false;
            return;
        }
        const auto first = q.entries.begin();
        if (first != q.entries.end() && first->first.first <= q.nowLocked()) continue;
        if (first == q.entries.end() || q.manual) {
            q.changed.wait(lock);
        } else {
            const auto wake = q.start + std::chrono::duration_cast<MainLoopQueue::Clock::duration>(
                                            std::chrono::duration<double>(first->first.first));
            q.changed.wait_until(lock, wake);
        }
    }
}

void PortableMainLoop::quit() {
    {
        std::lock_guard lock(queue_->mutex);
        queue_->quitRequested = true;
    }
    queue_->changed.notify_all();
}

} // namespace vanto
