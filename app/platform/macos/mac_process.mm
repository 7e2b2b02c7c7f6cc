// The process and the main thread: memory footprint and pressure relief, the
// holder of Secure Event Input, and the application's main loop with its
// queued tasks and timers.
#include "platform/macos/mac_adapters.h"

#include "platform/macos/cf_ref.h"

#import <AppKit/AppKit.h>
#include <Carbon/Carbon.h>
#import <Foundation/Foundation.h>
#include <IOKit/IOKitLib.h>
#include <dispatch/dispatch.h>
#include <mach/mach.h>
#include <malloc/malloc.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

// Carbon still exports this, but not every SDK's headers declare it; the
// declaration is the documented one, so it agrees with any header that does.
extern "C" Boolean IsSecureEventInputEnabled(void);

namespace vanto::mac {

namespace {

class MacProcessInfo final : public ProcessInfo {
  public:
    int processID() override { return static_cast<int>(getpid()); }

    std::uint64_t physicalFootprint() override {
        task_vm_info_data_t info{};
        mach_msg_type_number_t count = TASK_VM_INFO_COUNT;
        const kern_return_t result =
            task_info(mach_task_self(), TASK_VM_INFO, reinterpret_cast<task_info_t>(&info), &count);
        // A kernel older than this layout fills fewer words; the footprint is
        // there from the layout's first revision on.
        if (result != KERN_SUCCESS || count < TASK_VM_INFO_REV1_COUNT) return 0;
        return info.phys_footprint;
    }

    // The pipeline allocates only from the default zone; sweeping every zone
    // would also wake AppKit's and the system libraries' for nothing.
    void relieveMemoryPressure() override { malloc_zone_pressure_relief(malloc_default_zone(), 0); }

    // Latency-critical: the agent's timers must keep their period while it
    // has no window; the machine may still go to sleep when idle.
    std::unique_ptr<Activity> beginUserActivity(std::string_view reason) override {
        @autoreleasepool {
            const NSActivityOptions options =
                NSActivityUserInitiatedAllowingIdleSystemSleep | NSActivityLatencyCritical;
            NSString* text = [[NSString alloc] initWithBytes:reason.data()
                                                      length:reason.size()
                                                    encoding:NSUTF8StringEncoding];
            id<NSObject> token = [NSProcessInfo.processInfo beginActivityWithOptions:options
                                                                              reason:text ?: @""];
            if (token == nil) return nullptr;
            return std::make_unique<UserActivity>(token);
        }
    }

  private:
    class UserActivity final : public Activity {
      public:
        explicit UserActivity(id<NSObject> token) : token_(token) {}
        UserActivity(const UserActivity&) = delete;
        UserActivity& operator=(const UserActivity&) = delete;
        ~UserActivity() override { [NSProcessInfo.processInfo endActivity:token_]; }

      private:
        id<NSObject> token_;
    };
};

// Holds one I/O registry object and releases it once. Registry objects are
// Mach ports, so they never go into a CFRef.
class RegistryObject {
  public:
    explicit RegistryObject(io_object_t object) : object_(object) {}
    RegistryObject(const RegistryObject&) = delete;
    RegistryObject& operator=(const RegistryObject&) = delete;
    ~RegistryObject() {
        if (object_ != IO_OBJECT_NULL) IOObjectRelease(object_);
    }
    io_object_t get() const { return object_; }

  private:
    io_object_t object_;
};

std::optional<std::int64_t> integerOf(CFTypeRef value) {
    if (!value || CFGetTypeID(value) != CFNumberGetTypeID()) return std::nullopt;
    std::int64_t number = 0;
    if (!CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt64Type, &number))
        return std::nullopt;
    return number;
}

class MacSecureInput final : public SecureInput {
  public:
    int holderProcessID() override {
        if (!IsSecureEventInputEnabled()) return 0;
        const RegistryObject root(IORegistryGetRootEntry(kIOMainPortDefault));
        if (root.get() == IO_OBJECT_NULL) return 0;
        const auto users = CFRef<CFTypeRef>::adopt(IORegistryEntryCreateCFProperty(
            root.get(), CFSTR("IOConsoleUsers"), kCFAllocatorDefault, 0));
        if (!users || CFGetTypeID(users.get()) != CFArrayGetTypeID()) return 0;
        const auto sessions = static_cast<CFArrayRef>(users.get());

        // One entry per logged-in user. With several, another user's session
        // may hold secure input of its own; this user's is the one that
        // withholds keys from this tap, so it wins, and the first entry that
        // names a holder stands in when this user's names none.
        const auto self = static_cast<std::int64_t>(getuid());
        std::optional<std::int64_t> first;
        for (CFIndex i = 0, n = CFArrayGetCount(sessions); i < n; ++i) {
            const CFTypeRef entry = CFArrayGetValueAtIndex(sessions, i);
            if (!entry || CFGetTypeID(entry) != CFDictionaryGetTypeID()) continue;
            const auto session = static_cast<CFDictionaryRef>(entry);
            const auto pid =
                integerOf(CFDictionaryGetValue(session, CFSTR("kCGSSessionSecureInputPID")));
            if (!pid || *pid < 0 || *pid > std::numeric_limits<int>::max()) continue;
            if (integerOf(CFDictionaryGetValue(session, CFSTR("kCGSSessionUserIDKey"))) == self)
                return static_cast<int>(*pid);
            if (!first) first = pid;
        }
        return static_cast<int>(first.value_or(0));
    }
};

} // namespace
} // namespace vanto::mac

// The application's delegate in the agent. Opening Vanto.app while the
// agent runs sends the agent a reopen event; without a delegate nothing
// would happen, and a user without a terminal could never reach the settings.
@interface VantoApplicationDelegate : NSObject <NSApplicationDelegate>
- (void)setReopenHandler:(std::function<bool()>)handler;
@end

@implementation VantoApplicationDelegate {
    std::function<bool()> _reopen;
}

- (void)setReopenHandler:(std::function<bool()>)handler {
    _reopen = std::move(handler);
}

- (BOOL)applicationShouldHandleReopen:(NSApplication*)sender hasVisibleWindows:(BOOL)flag {
    (void)sender;
    (void)flag;
    if (!_reopen) return YES;
    try {
        return _reopen() ? YES : NO;
    } catch (...) {
        // An exception must not reach AppKit; the system does nothing more.
        return NO;
    }
}

@end

namespace vanto::mac {
namespace {

// What the loop's queued tasks and timers share with it, so that none runs
// once the loop's owner has let it go.
struct LoopState {
    std::atomic<bool> alive{true};
    // A quit() that came while the application was not running.
    std::atomic<bool> quitRequested{false};
};

// Runs one task for the system's queue or run loop, which must never see an
// exception: it would end the process.
void runTask(const std::function<void()>& task) noexcept {
    @autoreleasepool {
        try {
            if (task) task();
        } catch (...) {
        }
    }
}

bool onMainThread() {
    return [NSThread isMainThread];
}

// Every block given to the main queue goes through here.
void onMain(dispatch_block_t block) {
    if (onMainThread())
        block();
    else
        dispatch_async(dispatch_get_main_queue(), block);
}

class MainTimer final : public MainLoop::Timer {
  public:
    MainTimer(NSTimer* timer, std::shared_ptr<std::atomic<bool>> cancelled)
        : timer_(timer), cancelled_(std::move(cancelled)) {}
    MainTimer(const MainTimer&) = delete;
    MainTimer& operator=(const MainTimer&) = delete;

    ~MainTimer() override {
        // The flag stops ticks at once, from any thread; the timer itself may
        // be invalidated only on the thread whose run loop has it.
        *cancelled_ = true;
        NSTimer* timer = timer_;
        onMain(^{
          [timer invalidate];
        });
    }

  private:
    NSTimer* timer_;
    std::shared_ptr<std::atomic<bool>> cancelled_;
};

// The longest delay handed to dispatch; beyond it the nanosecond count would
// overflow, and nobody waits that long anyway.
constexpr double kLongestDelay = 1.0e9;
constexpr double kShortestInterval = 0.001;

class MacMainLoop final : public MainLoop {
  public:
    MacMainLoop() = default;
    MacMainLoop(const MacMainLoop&) = delete;
    MacMainLoop& operator=(const MacMainLoop&) = delete;
    ~MacMainLoop() override { state_->alive = false; }

    void post(std::function<void()> task) override {
        dispatch_async(dispatch_get_main_queue(), guarded(std::move(task)));
    }

    void after(double seconds, std::function<void()> task) override {
        // Also sends a NaN to zero.
        const double delay = seconds > 0 ? std::min(seconds, kLongestDelay) : 0.0;
        const auto nanoseconds = static_cast<std::int64_t>(delay * NSEC_PER_SEC);
        dispatch_after(dispatch_time(DISPATCH_TIME_NOW, nanoseconds), dispatch_get_main_queue(),
                       guarded(std::move(task)));
    }

    std::unique_ptr<Timer> every(double interval, double tolerance,
                                 std::function<void()> task) override {
        auto cancelled = std::make_shared<std::atomic<bool>>(false);
        auto shared = std::make_shared<std::function<void()>>(std::move(task));
        std::shared_ptr<LoopState> state = state_;
        // A zero interval would fire without pause and starve the main thread.
        const double step = interval > kShortestInterval ? interval : kShortestInterval;
        NSTimer* timer = [NSTimer timerWithTimeInterval:step
                                                repeats:YES
                                                  block:^(NSTimer* fired) {
                                                    (void)fired;
                                                    if (*cancelled || !state->alive) return;
                                                    runTask(*shared);
                                                  }];
        timer.tolerance = tolerance > 0 ? tolerance : 0.0;
        // Common modes, so that ticks keep coming while a menu or a modal
        // panel runs the loop in a mode of its own.
        onMain(^{
          [[NSRunLoop mainRunLoop] addTimer:timer forMode:NSRunLoopCommonModes];
        });
        return std::make_unique<MainTimer>(timer, std::move(cancelled));
    }

    void run() override {
        @autoreleasepool {
            (void)[NSApplication sharedApplication];
        }
        if (state_->quitRequested.exchange(false)) return;
        [NSApp run];
        state_->quitRequested = false;
    }

    // Main thread only, like the application object it touches.
    void onReopen(std::function<bool()> handler) override {
        @autoreleasepool {
            (void)[NSApplication sharedApplication];
            if (delegate_ == nil) delegate_ = [[VantoApplicationDelegate alloc] init];
            [delegate_ setReopenHandler:std::move(handler)];
            // The application keeps only a weak reference; this loop holds it.
            if ([NSApp delegate] != delegate_) [NSApp setDelegate:delegate_];
        }
    }

    void quit() override {
        std::shared_ptr<LoopState> state = state_;
        onMain(^{
          if (NSApp == nil || ![NSApp isRunning]) {
              state->quitRequested = true;
              return;
          }
          [NSApp stop:nil];
          // stop: takes effect only once the application has handled an
          // event, and a quit from a task or a timer comes outside of one; an
          // event of our own, first in the queue, ends run at once.
          NSEvent* wake = [NSEvent otherEventWithType:NSEventTypeApplicationDefined
                                             location:NSZeroPoint
                                        modifierFlags:0
                                            timestamp:0
                                         windowNumber:0
                                              context:nil
                                              subtype:0
                                                data1:0
                                                data2:0];
          if (wake) [NSApp postEvent:wake atStart:YES];
        });
    }

  private:
    dispatch_block_t guarded(std::function<void()> task) const {
        auto shared = std::make_shared<std::function<void()>>(std::move(task));
        std::shared_ptr<LoopState> state = state_;
        return ^{
          if (state->alive) runTask(*shared);
        };
    }

    const std::shared_ptr<LoopState> state_ = std::make_shared<LoopState>();
    VantoApplicationDelegate* delegate_ = nil;
};

} // namespace

std::unique_ptr<ProcessInfo> makeProcessInfo() {
    return std::make_unique<MacProcessInfo>();
}

std::unique_ptr<SecureInput> makeSecureInput() {
    return std::make_unique<MacSecureInput>();
}

std::unique_ptr<MainLoop> makeMainLoop() {
    return std::make_unique<MacMainLoop>();
}

} // namespace vanto::mac
