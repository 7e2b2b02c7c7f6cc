// Items in the menu bar's status area: an NSStatusItem whose button shows a
// title and calls an action when clicked.
#include "platform/macos/mac_adapters.h"

#import <AppKit/AppKit.h>
#import <Foundation/Foundation.h>

#include <functional>
#include <memory>
#include <utility>

// The button's target: the button holds it weakly, the item strongly.
@interface VantoStatusItemTarget : NSObject
- (instancetype)initWithAction:(std::function<void()>)action;
- (void)clicked:(id)sender;
@end

@implementation VantoStatusItemTarget {
    std::function<void()> _action;
}

- (instancetype)initWithAction:(std::function<void()>)action {
    if ((self = [super init])) _action = std::move(action);
    return self;
}

- (void)clicked:(id)sender {
    // The action may remove the item and with it this target, so it runs
    // from a copy and nothing of self is touched afterwards.
    const std::function<void()> action = _action;
    if (!action) return;
    // Nothing may unwind into AppKit's event handling.
    try {
        action();
    } catch (...) {
    }
}

@end

namespace vanto::mac {

namespace {

class MacStatusItem final : public StatusBar::Item {
  public:
    MacStatusItem(NSStatusItem* item, VantoStatusItemTarget* target)
        : item_(item), target_(target) {}
    ~MacStatusItem() override {
        // Off the bar and detached before the target goes: a click already
        // queued must not reach a released target.
        item_.button.target = nil;
        item_.button.action = nullptr;
        [[NSStatusBar systemStatusBar] removeStatusItem:item_];
        target_ = nil;
    }

  private:
    NSStatusItem* item_;
    VantoStatusItemTarget* target_;
};

// Used on the main thread only, like everything of AppKit's menu bar.
class MacStatusBar final : public StatusBar {
  public:
    std::unique_ptr<Item> add(const std::string& title, std::function<void()> action) override {
        @autoreleasepool {
            // The agent adds its item before its loop first runs; the menu
            // bar is reachable only once the application object exists.
            (void)[NSApplication sharedApplication];
            NSStatusItem* item =
                [[NSStatusBar systemStatusBar] statusItemWithLength:NSVariableStatusItemLength];
            auto* target = [[VantoStatusItemTarget alloc] initWithAction:std::move(action)];
            NSString* label = [[NSString alloc] initWithBytes:title.data()
                                                       length:title.size()
                                                     encoding:NSUTF8StringEncoding];
            NSStatusBarButton* button = item.button;
            button.title = label ?: @"";
            button.target = target;
            button.action = @selector(clicked:);
            return std::make_unique<MacStatusItem>(item, target);
        }
    }
};

} // namespace

std::unique_ptr<StatusBar> makeStatusBar() {
    return std::make_unique<MacStatusBar>();
}

} // namespace vanto::mac
