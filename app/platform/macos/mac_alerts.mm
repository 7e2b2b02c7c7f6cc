// Modal alerts with NSAlert, raised above other applications' windows: the
// helper that shows them is started in the background by the agent, so it
// must bring itself to the front for the user to see them.
#include "platform/macos/mac_adapters.h"
#include "platform/macos/ns_text.h"

#import <AppKit/AppKit.h>
#import <Foundation/Foundation.h>

namespace vanto::mac {

namespace {

// Runs on the main thread, as every AppKit window does.
class MacAlerts final : public Alerts {
  public:
    std::size_t run(const Alert& request) override {
        @autoreleasepool {
            NSAlert* alert = [[NSAlert alloc] init];
            alert.alertStyle = request.style == Alert::Style::critical ? NSAlertStyleCritical
                                                                       : NSAlertStyleInformational;
            alert.messageText = displayString(request.message);
            alert.informativeText = displayString(request.informativeText);
            for (const std::string& title : request.buttons)
                [alert addButtonWithTitle:displayString(title)];

            [[NSApplication sharedApplication] activateIgnoringOtherApps:YES];
            NSWindow* window = alert.window;
            window.level = NSFloatingWindowLevel;

            const NSModalResponse response = [alert runModal];
            // With no button of ours the alert shows its own "OK", which is
            // the first.
            const NSInteger index = response - NSAlertFirstButtonReturn;
            if (index < 0 || static_cast<std::size_t>(index) >= request.buttons.size()) return 0;
            return static_cast<std::size_t>(index);
        }
    }
};

} // namespace

std::unique_ptr<Alerts> makeAlerts() {
    return std::make_unique<MacAlerts>();
}

} // namespace vanto::mac
