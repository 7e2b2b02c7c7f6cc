// The main loop as a plain loop on the thread that runs it: a queue of tasks
// ordered by when they are due. On a manual clock time stands still until
// advance() moves it, so tests replay hours of timers in no time.
#pragma once

#include "platform/main_loop.h"

#include <cstddef>
#include <functional>
#include <memory>

namespace vanto {

struct MainLoopQueue;

class PortableMainLoop final : public MainLoop {
  public:
    enum class Clock { real, manual };

    explicit PortableMainLoop(Clock clock = Clock::real);
    ~PortableMainLoop() override;
    PortableMainLoop(const PortableMainLoop&) = delete;
    PortableMainLoop& operator=(const PortableMainLoop&) = delete;

    // post, after and every may be called from any thread; a Timer must be
    // destroyed on the loop's thread (or while the loop is not running).
    void post(std::function<void()> task) override;
    void after(double seconds, std::function<void()> task) override;
    // Tolerance is not used: ticks come on time.
    std::unique_ptr<Timer> every(double interval, double tolerance,
                                 std::function<void()> task) override;
    // Runs due tasks, sleeping in between, until quit(). A quit() that came
    // while the loop was not running ends the next run() at once.
    void run() override;
    void quit() override;
    void onReopen(std::function<bool()> handler) override { reopenHandler_ = std::move(handler); }

    // Plays the user opening the application again: the handler's answer,
    // false when none is set. On the loop's thread.
    bool reopen() { return reopenHandler_ ? reopenHandler_() : false; }

    // Runs, on the calling thread, every task due now, including those they
    // post for now. Returns how many ran.
    std::size_t runPending();
    // Manual clock only: moves time forward by seconds, running each task
    // when its time comes, in the order they come due.
    void advance(double seconds);
    // Seconds since the loop was made.
    double now() const;
    // Tasks and timers waiting, cancelled timers not counted.
    std::size_t waiting() const;

  private:
    std::unique_ptr<MainLoopQueue> queue_;
    std::function<bool()> reopenHandler_;
};

} // namespace vanto
