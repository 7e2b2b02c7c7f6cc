// Port: one system-wide event tap on a thread of its own with its own loop.
#pragma once

#include "keyboard_events.h"

#include <cstdint>
#include <functional>

namespace vanto {

// Delivers every event of the mask to its callback on the tap's thread,
// synchronously: the callback's answer decides whether the event goes on.
class EventTapHost {
  public:
    enum class Verdict { Pass, Drop };
    // Where the tap sits in the event stream. The hardware level sees the
    // events before any application's own tap, but the system may refuse it
    // to a process that is not root; the session level is open to every
    // trusted process of the user.
    enum class Location { HID, Session };
    using Callback = std::function<Verdict(EventType, PlatformEvent*, TapProxy*)>;

    // The loop of one tap thread. All calls except stop() come from the
    // thread that runs it.
    class Loop {
      public:
        virtual ~Loop() = default;
        // Creates the tap for the event types of mask at location; false
        // when refused. May be called again after a refusal.
        virtual bool createTap(std::uint64_t mask, Location location, Callback callback) = 0;
        // Runs until stop() is called from any thread.
        virtual void run() = 0;
        // Disables the tap, removes it from the loop and invalidates it.
        virtual void tearDown() = 0;
        // Thread-safe.
        virtual void setEnabled(bool enabled) = 0;
        virtual void stop() = 0;
    };

    virtual ~EventTapHost() = default;
    // Runs body the way the tap runs its callback (inside a fresh
    // autorelease pool where the system has them).
    virtual void withEventScope(const std::function<void()>& body) { body(); }
    // Starts a named thread of user-interactive priority running body with a
    // new loop. The loop lives as long as the body runs.
    virtual void startThread(const char* name, std::function<void(Loop&)> body) = 0;
};

} // namespace vanto
