// The helper's settings window and its application picker, drawn in AppKit
// on the portable model of the window. Objective-C++: only .mm files include it.
#pragma once

#import <AppKit/AppKit.h>

#include "ui/settings_window_model.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vanto::mac {

// What the settings window works on. The helper application that makes the
// window owns all of it and outlives the window.
struct SettingsWindowContext {
    Settings* settings = nullptr;
    Workspace* workspace = nullptr;
    std::string version;     // the short version string, for the footer
    std::string vendorSite;  // without a trailing "/"
    std::string ownBundleID; // never offered by the picker
    std::function<std::vector<std::string>()> recentApps;
    std::function<bool()> trusted;
    std::function<bool()> layoutEnabled;
    std::function<void()> showSetupDialog;
    std::function<void()> showAccessibilityDialog;
    // The window has closed (the user closed it, or Command-W).
    std::function<void()> closed;
};

namespace ui {

// Texts shown and texts typed. Unlike makeString and utf8 they never come
// back empty for a text that is only partly broken: an invalid byte or an
// unpaired surrogate shows, or is taken, as U+FFFD, and the rest stays.
NSString* toNSString(std::string_view text);
std::string fromNSString(NSString* text);
// A system symbol image (macOS 11); nil when the system has no such symbol.
NSImage* symbol(std::string_view name, NSString* description);
// An application's icon: its bundle's, else the running application's, else
// a generic one.
NSImage* appIcon(const SettingsWindow::AppEntry& entry);
NSTextField* label(std::string_view text);
NSTextField* secondaryLabel(std::string_view text);
// Pins view to the edges of container, inset by margin on every side.
void pin(NSView* view, NSView* container, CGFloat margin);
// Adds views to container as a column: each as wide as the container less
// margin on both sides, spacing apart, the first margin below the top and
// the last margin above the bottom.
void column(NSView* container, NSArray<NSView*>* views, CGFloat margin, CGFloat spacing);
// Centres view over another one (an empty list's text over the list).
void centre(NSView* view, NSView* over);
// A one-column list without header or selection, whose rows are views.
NSTableView* listTable(id<NSTableViewDataSource, NSTableViewDelegate> owner, CGFloat rowHeight);
NSScrollView* scrolled(NSView* document);

// Runs an action of the window's model. Nothing may unwind into AppKit: an
// action that fails leaves the window as it was.
template <typename F> void guarded(F&& action) noexcept {
    try {
        action();
    } catch (...) {
    }
}

} // namespace ui
} // namespace vanto::mac

// The class of the settings window and of its sheet. The helper has no menu
// bar, so the window itself answers the editing shortcuts a menu bar would
// carry (the sheet's search field needs them as much as the window does).
@interface VantoEditingWindow : NSWindow
@end

@interface VantoSettingsWindowController : NSWindowController
- (instancetype)initWithContext:(vanto::mac::SettingsWindowContext)context;
// Shows the window (again, after it was closed) as the key window in front.
- (void)present;
// Between present and the window's closing.
@property(nonatomic, readonly, getter=isOpen) BOOL open;
@end

// The sheet that picks applications to exclude. Its lists are made when it
// is created and stay as they are while it shows.
@interface VantoAppPickerSheet : NSObject
- (instancetype)initWithSettings:(vanto::Settings&)settings
                       workspace:(vanto::Workspace&)workspace
                      recentApps:(const std::vector<std::string>&)recentApps
                     ownBundleID:(std::string_view)ownBundleID;
// done runs once the sheet has gone, confirmed or cancelled.
- (void)beginSheetOnWindow:(NSWindow*)parent completion:(void (^)(void))done;
@end
