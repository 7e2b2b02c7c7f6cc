// Port: keyboard events of the window system — creating them, reading and
// setting their fields, and posting them into the event stream.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace vanto {

// An event of the window system. The core never looks inside; it only passes
// the pointer back to the port that made or delivered it.
struct PlatformEvent;
// The event tap's handle for inserting events right after the tap.
struct TapProxy;

// Event types as the window system numbers them.
enum class EventType : std::uint32_t {
    LeftMouseDown = 1,
    RightMouseDown = 3,
    KeyDown = 10,
    KeyUp = 11,
    FlagsChanged = 12,
    OtherMouseDown = 25,
    TapDisabledByTimeout = 0xFFFFFFFEu,
    TapDisabledByUserInput = 0xFFFFFFFFu,
};

// Integer fields of an event.
enum class EventField : std::uint32_t {
    KeyCode = 9,
    KeyboardType = 10,
    SourceStateID = 45,
};

class KeyboardEvents {
  public:
    virtual ~KeyboardEvents() = default;

    // The state identifier of the process's private event source; the source
    // is created on first use and lives for the process.
    virtual std::int64_t privateSourceStateID() = 0;

    // A new key-down or key-up event stamped with the private source, or null
    // when the system cannot make one. Release it with release().
    virtual PlatformEvent* createKeyEvent(std::uint16_t keyCode, bool keyDown) = 0;
    virtual void release(PlatformEvent* event) = 0;

    virtual std::int64_t integerField(PlatformEvent* event, EventField field) = 0;
    virtual void setIntegerField(PlatformEvent* event, EventField field, std::int64_t value) = 0;
    virtual std::uint64_t flags(PlatformEvent* event) = 0;
    virtual void setFlags(PlatformEvent* event, std::uint64_t flags) = 0;
    // At most maxUnits UTF-16 units of the text the key types.
    virtual std::u16string unicodeString(PlatformEvent* event, std::size_t maxUnits) = 0;
    virtual void setUnicodeString(PlatformEvent* event, std::u16string_view units) = 0;

    // Posts right after the tap through proxy, or at the hardware-event level
    // when proxy is null.
    virtual void post(PlatformEvent* event, TapProxy* proxy) = 0;
};

// Owns one event made by a KeyboardEvents port.
class OwnedEvent {
  public:
    OwnedEvent() = default;
    OwnedEvent(KeyboardEvents& port, PlatformEvent* event) : port_(&port), event_(event) {}
    OwnedEvent(const OwnedEvent&) = delete;
    OwnedEvent& operator=(const OwnedEvent&) = delete;
    OwnedEvent(OwnedEvent&& other) noexcept { *this = std::move(other); }
    OwnedEvent& operator=(OwnedEvent&& other) noexcept {
        if (this != &other) {
            reset();
            port_ = other.port_;
            event_ = other.event_;
            other.event_ = nullptr;
        }
        return *this;
    }
    ~OwnedEvent() { reset(); }
    PlatformEvent* get() const { return event_; }
    explicit operator bool() const { return event_ != nullptr; }
    void reset() {
        if (event_) port_->release(event_);
        event_ = nullptr;
    }

  private:
    KeyboardEvents* port_ = nullptr;
    PlatformEvent* event_ = nullptr;
};

} // namespace vanto
