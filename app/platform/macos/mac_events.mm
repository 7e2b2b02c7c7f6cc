// Quartz events for the keystroke pipeline: keyboard events stamped with the
// process's private source, and the system-wide event tap on its own thread.
#include "platform/macos/mac_adapters.h"

#include "platform/macos/cf_ref.h"

#include <ApplicationServices/ApplicationServices.h>
#import <Foundation/Foundation.h>
#include <dispatch/dispatch.h>
#include <pthread.h>
#include <pthread/qos.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vanto::mac {

namespace {

// The port's numbers are the system's, so values cross without a table.
static_assert(static_cast<std::uint32_t>(EventField::KeyCode) == kCGKeyboardEventKeycode);
static_assert(static_cast<std::uint32_t>(EventField::KeyboardType) == kCGKeyboardEventKeyboardType);
static_assert(static_cast<std::uint32_t>(EventField::SourceStateID) == kCGEventSourceStateID);
static_assert(sizeof(UniChar) == sizeof(char16_t));

CGEventRef cgEvent(PlatformEvent* event) {
    return reinterpret_cast<CGEventRef>(event);
}
PlatformEvent* platformEvent(CGEventRef event) {
    return reinterpret_cast<PlatformEvent*>(event);
}
CGEventTapProxy cgProxy(TapProxy* proxy) {
    return reinterpret_cast<CGEventTapProxy>(proxy);
}
TapProxy* tapProxy(CGEventTapProxy proxy) {
    return reinterpret_cast<TapProxy*>(proxy);
}

// Enough for any key's text without a heap allocation.
constexpr std::size_t kUnicodeBufferUnits = 32;

// One source for the whole process, made on first use and kept: the tap
// knows the pipeline's own keystrokes by its state identifier, so every
// event must carry the same one.
CGEventSourceRef privateSource() {
    static const CFRef<CGEventSourceRef> source =
        CFRef<CGEventSourceRef>::adopt(CGEventSourceCreate(kCGEventSourceStatePrivate));
    return source.get();
}

class MacKeyboardEvents final : public KeyboardEvents {
  public:
    // Asked once, when the pipeline starts. Without the source the pipeline
    // would swallow the user's keys and type nothing back, so the process
    // ends instead (the launch agent brings it back).
    std::int64_t privateSourceStateID() override {
        CGEventSourceRef source = privateSource();
        if (!source) {
            std::fputs("Vanto: the system refused a private keyboard event source\n", stderr);
            std::exit(EXIT_FAILURE);
        }
        return CGEventSourceGetSourceStateID(source);
    }

    PlatformEvent* createKeyEvent(std::uint16_t keyCode, bool keyDown) override {
        CGEventSourceRef source = privateSource();
        // An unstamped event would come back through the tap looking like the
        // user's own key and be composed a second time.
        if (!source) return nullptr;
        auto event = CFRef<CGEventRef>::adopt(CGEventCreateKeyboardEvent(source, keyCode, keyDown));
        return platformEvent(event.release());
    }

    void release(PlatformEvent* event) override {
        // Takes back the reference createKeyEvent handed out.
        const auto owned = CFRef<CGEventRef>::adopt(cgEvent(event));
    }

    std::int64_t integerField(PlatformEvent* event, EventField field) override {
        if (!event) return 0;
        return CGEventGetIntegerValueField(cgEvent(event), static_cast<CGEventField>(field));
    }

    void setIntegerField(PlatformEvent* event, EventField field, std::int64_t value) override {
        if (event)
            CGEventSetIntegerValueField(cgEvent(event), static_cast<CGEventField>(field), value);
    }

    std::uint64_t flags(PlatformEvent* event) override {
        return event ? CGEventGetFlags(cgEvent(event)) : 0;
    }

    void setFlags(PlatformEvent* event, std::uint64_t flags) override {
        if (event) CGEventSetFlags(cgEvent(event), static_cast<CGEventFlags>(flags));
    }

    std::u16string unicodeString(PlatformEvent* event, std::size_t maxUnits) override {
        if (!event || maxUnits == 0) return {};
        std::array<UniChar, kUnicodeBufferUnits> small;
        std::vector<UniChar> large;
        UniChar* buffer = small.data();
        if (maxUnits > small.size()) {
            large.resize(maxUnits);
            buffer = large.data();
        }
        UniCharCount actual = 0;
        CGEventKeyboardGetUnicodeString(cgEvent(event), maxUnits, &actual, buffer);
        // The count is that of the event's whole text, which may be more than
        // the buffer took.
        const std::size_t units = std::min<std::size_t>(actual, maxUnits);
        return std::u16string(buffer, buffer + units);
    }

    void setUnicodeString(PlatformEvent* event, std::u16string_view units) override {
        if (!event) return;
        CGEventKeyboardSetUnicodeString(cgEvent(event), units.size(),
                                        reinterpret_cast<const UniChar*>(units.data()));
    }

    void post(PlatformEvent* event, TapProxy* proxy) override {
        if (!event) return;
        if (proxy)
            CGEventTapPostEvent(cgProxy(proxy), cgEvent(event));
        else
            CGEventPost(kCGHIDEventTap, cgEvent(event));
    }
};

std::optional<EventType> eventTypeOf(CGEventType type) {
    switch (type) {
    case kCGEventLeftMouseDown:
        return EventType::LeftMouseDown;
    case kCGEventRightMouseDown:
        return EventType::RightMouseDown;
    case kCGEventKeyDown:
        return EventType::KeyDown;
    case kCGEventKeyUp:
        return EventType::KeyUp;
    case kCGEventFlagsChanged:
        return EventType::FlagsChanged;
    case kCGEventOtherMouseDown:
        return EventType::OtherMouseDown;
    case kCGEventTapDisabledByTimeout:
        return EventType::TapDisabledByTimeout;
    case kCGEventTapDisabledByUserInput:
        return EventType::TapDisabledByUserInput;
    default:
        return std::nullopt;
    }
}

using Callback = EventTapHost::Callback;
using Verdict = EventTapHost::Verdict;

bool isTapDisabled(EventType type) {
    return type == EventType::TapDisabledByTimeout || type == EventType::TapDisabledByUserInput;
}

// One event tap: its mach port, the port's run-loop source and the loop the
// source was added to. The port is invalidated before anything is released,
// so the system never calls back into an object on its way out.
class TapPort {
  public:
    TapPort() = default;
    TapPort(const TapPort&) = delete;
    TapPort& operator=(const TapPort&) = delete;
    ~TapPort() { invalidate(); }

    // Creates an active filter at location, behind any other such tap, and
    // adds it to the calling thread's run loop.
    bool open(CGEventTapLocation location, CGEventMask mask, CGEventTapCallBack callback,
              void* userInfo) {
        invalidate();
        auto port = CFRef<CFMachPortRef>::adopt(CGEventTapCreate(
            location, kCGTailAppendEventTap, kCGEventTapOptionDefault, mask, callback, userInfo));
        if (!port) return false;
        auto source = CFRef<CFRunLoopSourceRef>::adopt(
            CFMachPortCreateRunLoopSource(kCFAllocatorDefault, port.get(), 0));
        if (!source) {
            CFMachPortInvalidate(port.get());
            return false;
        }
        auto loop = CFRef<CFRunLoopRef>::retain(CFRunLoopGetCurrent());
        CFRunLoopAddSource(loop.get(), source.get(), kCFRunLoopCommonModes);
        port_ = std::move(port);
        source_ = std::move(source);
        loop_ = std::move(loop);
        CGEventTapEnable(port_.get(), true);
        return true;
    }

    void enable(bool enabled) {
        if (port_) CGEventTapEnable(port_.get(), enabled);
    }

    void invalidate() {
        if (!port_) return;
        CGEventTapEnable(port_.get(), false);
        if (source_ && loop_)
            CFRunLoopRemoveSource(loop_.get(), source_.get(), kCFRunLoopCommonModes);
        CFMachPortInvalidate(port_.get());
        source_.reset();
        port_.reset();
        loop_.reset();
    }

  private:
    CFRef<CFMachPortRef> port_;
    CFRef<CFRunLoopSourceRef> source_;
    CFRef<CFRunLoopRef> loop_;
};

// The loop of one tap thread, made on that thread.
class TapLoop final : public EventTapHost::Loop {
  public:
    TapLoop() : runLoop_(CFRef<CFRunLoopRef>::retain(CFRunLoopGetCurrent())) {}
    TapLoop(const TapLoop&) = delete;
    TapLoop& operator=(const TapLoop&) = delete;
    ~TapLoop() override { tearDown(); }

    bool createTap(std::uint64_t mask, EventTapHost::Location location,
                   Callback callback) override {
        // Set before the tap exists; read only on this thread, by the tap.
        callback_ = std::move(callback);
        std::lock_guard<std::mutex> guard(mutex_);
        return port_.open(location == EventTapHost::Location::HID ? kCGHIDEventTap
                                                                  : kCGSessionEventTap,
                          mask, &TapLoop::tapCallback, this);
    }

    void run() override {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            if (stopRequested_) return;
            running_ = true;
        }
        CFRunLoopRun();
        std::lock_guard<std::mutex> guard(mutex_);
        running_ = false;
    }

    void tearDown() override {
        std::lock_guard<std::mutex> guard(mutex_);
        port_.invalidate();
    }

    void setEnabled(bool enabled) override {
        std::lock_guard<std::mutex> guard(mutex_);
        port_.enable(enabled);
    }

    void stop() override {
        std::lock_guard<std::mutex> guard(mutex_);
        stopRequested_ = true;
        // Not yet running: run() sees the flag and returns at once.
        if (!running_) return;
        CFRunLoopRef loop = runLoop_.get();
        // CFRunLoopStop is lost on a loop that has not begun to run, which
        // this one may not have yet; a block queued on it runs once it has.
        CFRunLoopPerformBlock(loop, kCFRunLoopCommonModes, ^{
          CFRunLoopStop(CFRunLoopGetCurrent());
        });
        CFRunLoopStop(loop);
        CFRunLoopWakeUp(loop);
    }

  private:
    static CGEventRef tapCallback(CGEventTapProxy proxy, CGEventType type, CGEventRef event,
                                  void* userInfo) {
        auto* self = static_cast<TapLoop*>(userInfo);
        return self ? self->deliver(proxy, type, event) : event;
    }

    CGEventRef deliver(CGEventTapProxy proxy, CGEventType type, CGEventRef event) noexcept {
        const std::optional<EventType> portType = eventTypeOf(type);
        if (!portType || !callback_) return event;
        // The notices that the tap was disabled carry no real event.
        const bool notice = isTapDisabled(*portType);
        auto verdict = Verdict::Pass;
        @autoreleasepool {
            try {
                verdict =
                    callback_(*portType, notice ? nullptr : platformEvent(event), tapProxy(proxy));
            } catch (...) {
                // Whatever went wrong deciding about the key, the user keeps it.
                verdict = Verdict::Pass;
            }
        }
        return verdict == Verdict::Drop && !notice ? nullptr : event;
    }

    CFRef<CFRunLoopRef> runLoop_;
    Callback callback_;
    std::mutex mutex_; // guards port_, running_ and stopRequested_
    bool running_ = false;
    bool stopRequested_ = false;
    // Last, so that even without tearDown() the tap goes before its callback.
    TapPort port_;
};

// Handed to the body when no thread could be made: its tap cannot be
// created, which the tap's owner already knows how to survive.
class RefusedLoop final : public EventTapHost::Loop {
  public:
    bool createTap(std::uint64_t, EventTapHost::Location, Callback) override { return false; }
    void run() override {}
    void tearDown() override {}
    void setEnabled(bool) override {}
    void stop() override {}
};

struct ThreadTask {
    std::string name;
    std::function<void(EventTapHost::Loop&)> body;
};

void runTapThread(const ThreadTask& task) {
    pthread_setname_np(task.name.c_str());
    pthread_set_qos_class_self_np(QOS_CLASS_USER_INTERACTIVE, 0);
    @autoreleasepool {
        TapLoop loop;
        try {
            task.body(loop);
        } catch (...) {
            // An exception leaving the thread would end the process; the
            // loop still takes the tap down as it goes.
        }
    }
}

class MacEventTapHost final : public EventTapHost {
  public:
    void withEventScope(const std::function<void()>& body) override {
        std::exception_ptr failure;
        @autoreleasepool {
            try {
                body();
            } catch (...) {
                failure = std::current_exception();
            }
        }
        if (failure) std::rethrow_exception(failure);
    }

    void startThread(const char* name, std::function<void(Loop&)> body) override {
        auto task = std::make_shared<ThreadTask>(ThreadTask{name ? name : "", std::move(body)});
        try {
            std::thread([task] { runTapThread(*task); }).detach();
        } catch (...) {
            // The body still runs, on a queue, and hears that the tap was
            // refused: its owner may then start again, which it could not
            // if the thread were silently missing.
            dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), ^{
              RefusedLoop loop;
              try {
                  task->body(loop);
              } catch (...) {
              }
            });
        }
    }
};

} // namespace

std::unique_ptr<KeyboardEvents> makeKeyboardEvents() {
    return std::make_unique<MacKeyboardEvents>();
}

std::unique_ptr<EventTapHost> makeEventTapHost() {
    return std::make_unique<MacEventTapHost>();
}

} // namespace vanto::mac
