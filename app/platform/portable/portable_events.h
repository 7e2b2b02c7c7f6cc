// Stand-ins for the window system's event services: keyboard events are plain
// records, posting appends them to a log, and the event tap runs on a real
// thread that is fed events by whoever plays the system (tests, the
// self-test, the terminal typing tool).
#pragma once

#include "platform/event_tap_host.h"
#include "platform/keyboard_events.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vanto {

struct PlatformEvent {
    EventType type = EventType::KeyDown;
    std::uint16_t keyCode = 0;
    std::uint64_t flags = 0;
    std::u16string text;
    std::int64_t keyboardType = 0;
    std::int64_t sourceStateID = 0;
};

class PortableKeyboardEvents final : public KeyboardEvents {
  public:
    struct Posted {
        PlatformEvent event;
        bool throughProxy;
    };

    std::int64_t privateSourceStateID() override { return kPrivateSourceStateID; }
    PlatformEvent* createKeyEvent(std::uint16_t keyCode, bool keyDown) override;
    void release(PlatformEvent* event) override { delete event; }
    std::int64_t integerField(PlatformEvent* event, EventField field) override;
    void setIntegerField(PlatformEvent* event, EventField field, std::int64_t value) override;
    std::uint64_t flags(PlatformEvent* event) override { return event->flags; }
    void setFlags(PlatformEvent* event, std::uint64_t flags) override { event->flags = flags; }
    std::u16string unicodeString(PlatformEvent* event, std::size_t maxUnits) override {
        return event->text.substr(0, maxUnits);
    }
    void setUnicodeString(PlatformEvent* event, std::u16string_view units) override {
        event->text.assign(units);
    }
    void post(PlatformEvent* event, TapProxy* proxy) override;

    // What has been posted, oldest first; taking it empties the log.
    std::vector<Posted> takePosted();
    // Whether posting keeps a log (the memory check turns it off).
    void setRecording(bool on);

    // An event as the user's keyboard would make it (not from the private source).
    static PlatformEvent userKey(EventType type, std::uint16_t keyCode, std::u16string text,
                                 std::uint64_t flags = 0);

    static constexpr std::int64_t kPrivateSourceStateID = 0x56414E54; // an arbitrary stamp

  private:
    std::mutex mutex_;
    bool recording_ = true;
    std::vector<Posted> posted_;
};

// The tap host: one loop per tap thread, fed through deliver().
class PortableEventTapHost final : public EventTapHost {
  public:
    ~PortableEventTapHost() override;
    void startThread(const char* name, std::function<void(Loop&)> body) override;

    // Plays the system: hands the event to the running, enabled tap on its
    // thread and waits for the verdict. Without such a tap the event simply
    // goes on, as it would on a real system.
    Verdict deliver(EventType type, PlatformEvent* event);
    // The system disables the tap for a slow callback and tells it so.
    void disableByTimeout();
    bool tapEnabled();
    // Waits until a tap is running (true) or the time runs out (false).
    bool waitForTap(double seconds);

  private:
    class PortableLoop;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::shared_ptr<PortableLoop> current_;
    std::vector<std::thread> threads_;
};

} // namespace vanto
