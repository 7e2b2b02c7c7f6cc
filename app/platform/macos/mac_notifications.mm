// Distributed notifications through NSDistributedNotificationCenter: posted and
// received at once, also by processes in the background.
#import <Foundation/Foundation.h>

#include "platform/macos/mac_adapters.h"
#include "platform/macos/ns_text.h"

#include <mutex>
#include <string>

namespace vanto::mac {

namespace {

using Callback = DistributedNotifications::Callback;

} // namespace

} // namespace vanto::mac

// Receives one name's notifications for a token and hands them to its
// callback on the main thread, until the token cancels it.
@interface VantoDistributedObserver : NSObject
- (instancetype)initWithCallback:(vanto::mac::Callback)callback;
- (void)receive:(NSNotification*)notification;
- (void)cancel;
@end

@implementation VantoDistributedObserver {
    std::mutex _mutex; // guards _callback: a token may go on another thread
    std::shared_ptr<vanto::mac::Callback> _callback;
}

- (instancetype)initWithCallback:(vanto::mac::Callback)callback {
    if ((self = [super init]))
        _callback = std::make_shared<vanto::mac::Callback>(std::move(callback));
    return self;
}

- (void)receive:(NSNotification*)notification {
    // The center delivers distributed notifications on the main thread; a
    // delivery anywhere else is moved there rather than trusted.
    if (![NSThread isMainThread]) {
        dispatch_async(dispatch_get_main_queue(), ^{
          [self receive:notification];
        });
        return;
    }
    std::shared_ptr<vanto::mac::Callback> callback;
    {
        std::lock_guard lock(_mutex);
        callback = _callback;
    }
    if (!callback) return;
    // An exception must not unwind through the notification center.
    try {
        std::optional<std::string> object;
        if ([notification.object isKindOfClass:[NSString class]])
            object = vanto::mac::utf8(notification.object);
        (*callback)(object);
    } catch (...) {
    }
}

- (void)cancel {
    std::lock_guard lock(_mutex);
    _callback.reset();
}

@end

namespace vanto::mac {

namespace {

class MacNotificationToken final : public DistributedNotifications::Token {
  public:
    MacNotificationToken(VantoDistributedObserver* observer, NSString* name)
        : observer_(observer), name_(name) {}

    // On the main thread no delivery can be under way, so none follows.
    ~MacNotificationToken() override {
        @autoreleasepool {
            [[NSDistributedNotificationCenter defaultCenter] removeObserver:observer_
                                                                       name:name_
                                                                     object:nil];
            [observer_ cancel];
        }
    }

  private:
    VantoDistributedObserver* const observer_;
    NSString* const name_;
};

class MacNotifications final : public DistributedNotifications {
  public:
    void post(std::string_view name, const std::optional<std::string>& object) override {
        @autoreleasepool {
            NSString* notificationName = makeString(name);
            NSString* notificationObject = object ? makeString(*object) : nil;
            if (!notificationName || (object && !notificationObject)) return;
            [[NSDistributedNotificationCenter defaultCenter] postNotificationName:notificationName
                                                                           object:notificationObject
                                                                         userInfo:nil
                                                               deliverImmediately:YES];
        }
    }

    std::unique_ptr<Token> observe(std::string_view name, Callback callback) override {
        @autoreleasepool {
            NSString* notificationName = makeString(name);
            // A name that cannot be posted is never received.
            if (!notificationName) return std::make_unique<Token>();
            VantoDistributedObserver* observer =
                [[VantoDistributedObserver alloc] initWithCallback:std::move(callback)];
            // The agent is never the active application, and AppKit suspends
            // distributed notifications for inactive ones: only this
            // behaviour lets them through while it runs in the background.
            [[NSDistributedNotificationCenter defaultCenter]
                       addObserver:observer
                          selector:@selector(receive:)
                              name:notificationName
                            object:nil
                suspensionBehavior:NSNotificationSuspensionBehaviorDeliverImmediately];
            return std::make_unique<MacNotificationToken>(observer, notificationName);
        }
    }
};

} // namespace

std::unique_ptr<DistributedNotifications> makeNotifications() {
    return std::make_unique<MacNotifications>();
}

} // namespace vanto::mac
