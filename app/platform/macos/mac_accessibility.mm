// The Accessibility permission and the focus observer: where the keyboard
// focus goes inside another application, told on the main run loop.
#include "platform/macos/mac_adapters.h"

#include "platform/macos/cf_ref.h"

#include <ApplicationServices/ApplicationServices.h>
#import <Foundation/Foundation.h>

#include <memory>
#include <utility>

namespace vanto::mac {

namespace {

// A focus change is handled on the main thread, which must not wait the
// default six seconds on an overlay that has stopped answering.
constexpr float kRoleReadTimeout = 1.0f;

class MacAccessibility final : public Accessibility {
  public:
    bool isTrusted() override { return AXIsProcessTrusted(); }
};

// Whether the element is a single-line text field. An element whose role
// cannot be read, or is not a string, is not one.
bool isTextField(AXUIElementRef element) {
    if (!element) return false;
    AXUIElementSetMessagingTimeout(element, kRoleReadTimeout);
    CFTypeRef value = nullptr;
    const AXError error = AXUIElementCopyAttributeValue(element, kAXRoleAttribute, &value);
    const auto role = CFRef<CFTypeRef>::adopt(value);
    if (error != kAXErrorSuccess || !role) return false;
    if (CFGetTypeID(role.get()) != CFStringGetTypeID()) return false;
    return CFEqual(role.get(), kAXTextFieldRole);
}

// What one observation registers with the system. The observer's refcon
// points here; the callback holds a reference of its own while it runs, so
// a handler may end the observation without pulling the relay, the observer
// or the element from under the call.
class FocusRelay final : public std::enable_shared_from_this<FocusRelay> {
  public:
    explicit FocusRelay(AccessibilityClient::FocusHandlers handlers)
        : handlers_(std::move(handlers)) {}
    FocusRelay(const FocusRelay&) = delete;
    FocusRelay& operator=(const FocusRelay&) = delete;
    ~FocusRelay() { stop(); }

    // False when the system refuses the focus notification.
    bool start(int processID) {
        application_ = CFRef<AXUIElementRef>::adopt(AXUIElementCreateApplication(processID));
        if (!application_) return false;
        AXObserverRef created = nullptr;
        const AXError error = AXObserverCreate(processID, &FocusRelay::callback, &created);
        observer_ = CFRef<AXObserverRef>::adopt(created);
        if (error != kAXErrorSuccess || !observer_) return false;

        focusRegistered_ = AXObserverAddNotification(observer_.get(), application_.get(),
                                                     kAXFocusedUIElementChangedNotification,
                                                     this) == kAXErrorSuccess;
        if (!focusRegistered_) return false;
        // Without it the field simply stays focused until another element
        // of the application takes the focus.
        hiddenRegistered_ =
            AXObserverAddNotification(observer_.get(), application_.get(),
                                      kAXApplicationHiddenNotification, this) == kAXErrorSuccess;

        CFRunLoopSourceRef source = AXObserverGetRunLoopSource(observer_.get());
        if (!source) return false;
        CFRunLoopAddSource(CFRunLoopGetMain(), source, kCFRunLoopDefaultMode);
        scheduled_ = true;
        return true;
    }

    // Takes the registrations back; no callback arrives afterwards. The
    // observer and the element are released with the last reference to
    // the relay, after the callback in progress (if any) has returned.
    void stop() {
        if (stopped_) return;
        stopped_ = true;
        if (focusRegistered_)
            AXObserverRemoveNotification(observer_.get(), application_.get(),
                                         kAXFocusedUIElementChangedNotification);
        if (hiddenRegistered_)
            AXObserverRemoveNotification(observer_.get(), application_.get(),
                                         kAXApplicationHiddenNotification);
        if (scheduled_) {
            if (CFRunLoopSourceRef source = AXObserverGetRunLoopSource(observer_.get()))
                CFRunLoopRemoveSource(CFRunLoopGetMain(), source, kCFRunLoopDefaultMode);
        }
        focusRegistered_ = hiddenRegistered_ = scheduled_ = false;
    }

  private:
    // Runs on the main run loop, where the source was added.
    static void callback(AXObserverRef, AXUIElementRef element, CFStringRef notification,
                         void* refcon) {
        @autoreleasepool {
            if (!refcon || !notification) return;
            const std::shared_ptr<FocusRelay> self =
                static_cast<FocusRelay*>(refcon)->weak_from_this().lock();
            if (!self || self->stopped_) return;
            // Nothing may unwind into the Accessibility framework.
            try {
                if (CFEqual(notification, kAXFocusedUIElementChangedNotification)) {
                    const bool textField = isTextField(element);
                    if (!self->stopped_ && self->handlers_.focusChanged)
                        self->handlers_.focusChanged(textField);
                } else if (CFEqual(notification, kAXApplicationHiddenNotification)) {
                    if (self->handlers_.hidden) self->handlers_.hidden();
                }
            } catch (...) {
            }
            if (self->stopped_) {
                // Ended by its own handler. The framework may still use the
                // observer on its way out of this call, so the last release
                // waits for the next turn of the main queue.
                std::shared_ptr<FocusRelay> later = self;
                dispatch_async(dispatch_get_main_queue(), ^{
                  (void)later;
                });
            }
        }
    }

    AccessibilityClient::FocusHandlers handlers_;
    CFRef<AXUIElementRef> application_;
    CFRef<AXObserverRef> observer_;
    bool focusRegistered_ = false;
    bool hiddenRegistered_ = false;
    bool scheduled_ = false;
    bool stopped_ = false;
};

class FocusObservation final : public AccessibilityClient::Observation {
  public:
    explicit FocusObservation(std::shared_ptr<FocusRelay> relay) : relay_(std::move(relay)) {}
    ~FocusObservation() override { relay_->stop(); }

  private:
    std::shared_ptr<FocusRelay> relay_;
};

// Observations are made and ended on the main thread, the thread whose run
// loop delivers their callbacks.
class MacAccessibilityClient final : public AccessibilityClient {
  public:
    std::unique_ptr<Observation> observeFocus(int processID, FocusHandlers handlers) override {
        if (processID < 1) return nullptr;
        auto relay = std::make_shared<FocusRelay>(std::move(handlers));
        if (!relay->start(processID)) return nullptr;
        return std::make_unique<FocusObservation>(std::move(relay));
    }

    void promptForTrust() override {
        @autoreleasepool {
            NSDictionary* options = @{(__bridge NSString*)kAXTrustedCheckOptionPrompt : @YES};
            AXIsProcessTrustedWithOptions((__bridge CFDictionaryRef)options);
        }
    }
};

} // namespace

std::unique_ptr<Accessibility> makeAccessibility() {
    return std::make_unique<MacAccessibility>();
}

std::unique_ptr<AccessibilityClient> makeAccessibilityClient() {
    return std::make_unique<MacAccessibilityClient>();
}

} // namespace vanto::mac
