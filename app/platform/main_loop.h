// Port: the main thread's loop — work posted to it, one-shot delays and
// repeating timers.
#pragma once

#include <functional>
#include <memory>

namespace vanto {

class MainLoop {
  public:
    // A repeating timer; it stops when the object is destroyed.
    class Timer {
      public:
        virtual ~Timer() = default;
    };

    virtual ~MainLoop() = default;
    // Runs task on the main loop soon (never inside this call).
    virtual void post(std::function<void()> task) = 0;
    // Runs task once on the main loop after `seconds`.
    virtual void after(double seconds, std::function<void()> task) = 0;
    // Runs task every `interval` seconds; the system may shift a tick by up
    // to `tolerance` seconds to save power.
    virtual std::unique_ptr<Timer> every(double interval, double tolerance,
                                         std::function<void()> task) = 0;
    // Runs the loop until quit() (the application's main run loop).
    virtual void run() = 0;
    // The user opened the running application again (from the Finder, the
    // Dock, Launchpad or Spotlight): handler runs on the main loop, and its
    // answer tells the system whether to do its own reopening as well. Set
    // before run(); the last handler set counts.
    virtual void onReopen(std::function<bool()> handler) { (void)handler; }
    virtual void quit() = 0;
};

} // namespace vanto
