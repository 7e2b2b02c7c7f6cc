// The system-wide event tap: every key and click of the session passes
// through it on a thread of its own, and the Typist decides per key-down
// whether the event goes on.
#pragma once

#include "platform/accessibility.h"
#include "platform/event_tap_host.h"
#include "platform/keyboard_events.h"

#include <bitset>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

namespace vanto {

class Typist;

class EventTap {
  public:
    // Runs a task after a delay on the main loop.
    using Scheduler = std::function<void(double seconds, std::function<void()> task)>;

    // Key down, key up, flags changed and the three mouse-button downs.
    static constexpr std::uint64_t kEventMask =
        (1ull << 1) | (1ull << 3) | (1ull << 10) | (1ull << 11) | (1ull << 12) | (1ull << 25);
    static constexpr const char* kThreadName = "vanto.event-tap";
    static constexpr double kRestartDelay = 0.3;

    EventTap(EventTapHost& host, KeyboardEvents& events, Accessibility& accessibility,
             Typist& typist, std::int64_t ownSourceStateID, Scheduler scheduler);
    ~EventTap();
    EventTap(const EventTap&) = delete;
    EventTap& operator=(const EventTap&) = delete;

    using Location = EventTapHost::Location;

    // Starts the tap thread unless it runs or the process is not trusted.
    // The thread tries the hardware level first and the session level when
    // that is refused; when both are refused it ends, and a later start()
    // tries again.
    void start();
    // Stops the tap's loop; the thread tears the tap down and ends.
    void stop();
    // stop(), then start() after a short delay on the main loop.
    void restart();
    // Whether the tap should deliver events (Vanto active).
    void setWanted(bool wanted);
    bool isRunning();
    // Where the running tap sits; nothing while no tap runs.
    std::optional<Location> location();
    // Waits until the tap thread has ended.
    void waitUntilStopped();

    // The tap's callback: whether the event goes on. Never throws.
    EventTapHost::Verdict callback(EventType type, PlatformEvent* event, TapProxy* proxy) noexcept;

  private:
    void tapLoop(EventTapHost::Loop& loop);
    EventTapHost::Verdict dispatch(EventType type, PlatformEvent* event, TapProxy* proxy);

    EventTapHost& host_;
    KeyboardEvents& events_;
    Accessibility& accessibility_;
    Typist& typist_;
    const std::int64_t ownSourceStateID_;
    Scheduler scheduler_;

    std::mutex stateLock_;
    std::condition_variable stopped_;
    bool thread_ = false;
    // A stop that came before the new thread had its loop: honoured as soon
    // as the loop exists, so that no tap outlives the stop that meant it.
    bool stopRequested_ = false;
    EventTapHost::Loop* loop_ = nullptr;
    Location location_ = Location::HID; // of loop_, while it is set
    bool wanted_ = false;
    // Key codes whose last key-down was dropped; tap thread only.
    std::bitset<65536> swallowed_;
};

} // namespace vanto
