// The helper process on macOS: an accessory application that shows the
// dialogs and the settings window for the resident agent, and ends once
// nothing of it is left on screen.
#import <AppKit/AppKit.h>

#include "pipeline/app_profile.h"
#include "platform/macos/mac_settings_window.h"
#include "platform/macos/ns_text.h"
#include "settings/settings.h"
#include "setup/helper_launcher.h"
#include "setup/installed_layout.h"
#include "setup/installer.h"
#include "setup/roles.h"
#include "ui/app_delegate.h"
#include "ui/dialogs.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace vanto {

namespace {

// A dialog may leave work for the loop when it returns: the permission list
// opens, and the bundle is shown beside it a moment later. The helper stays
// that long before it ends.
constexpr double kEndDelay = Dialogs::kRevealDelay + 0.4;

DialogContext dialogContext(Platform& p) {
    DialogContext context;
    context.bundleID = p.bundle.identifier().value_or(std::string(kOwnBundleID));
    // The .app the user drags into the permission list.
    context.applicationPath = mac::utf8(NSBundle.mainBundle.bundlePath).value_or("");
    context.systemMajorVersion =
        static_cast<int>(NSProcessInfo.processInfo.operatingSystemVersion.majorVersion);
    return context;
}

class MacHelperApp final : public HelperApp {
  public:
    MacHelperApp(Platform& p, Settings& settings, const UiHelperLauncher& launcher)
        : p_(p), settings_(settings), launcher_(launcher),
          installer_(p, p.workspace, Installer::homeFolder(), stdout, stderr),
          layout_(installer_, p.inputSources),
          dialogs_(p.alerts, p.workspace, p.accessibilityClient, p.mainLoop, layout_, p.processes,
                   dialogContext(p)) {}

    void becomeAccessory() override {
        [NSApplication sharedApplication];
        [NSApp setActivationPolicy:NSApplicationActivationPolicyAccessory];
    }

    void activate() override { [NSApp activateIgnoringOtherApps:YES]; }

    void showAccessibilityDialog(bool staleGrant) override {
        inDialog([this, staleGrant] { dialogs_.showAccessibilityDialog(staleGrant); });
    }
    void showSetupDialog() override {
        inDialog([this] { dialogs_.showSetupDialog(); });
    }
    void showSecureInputExplanation(std::int32_t processID) override {
        inDialog([this, processID] { dialogs_.showSecureInputDialog(processID); });
    }

    void showSettingsWindow() override {
        if (window_ == nil)
            window_ = [[VantoSettingsWindowController alloc] initWithContext:windowContext()];
        [window_ present];
    }

    bool settingsWindowOpen() override { return window_ != nil && window_.open; }

    // The main loop is the application's: post queues on the main queue,
    // run is [NSApp run], quit stops it.
    void run(std::function<void()> first) override {
        p_.mainLoop.post(std::move(first));
        p_.mainLoop.run();
    }

    // Ends the helper unless, by the time it would, a window has opened or a
    // dialog shows: a request that arrived meanwhile keeps it. Only the
    // newest end request counts: an older one whose delay ran out while a
    // dialog was up would otherwise end the helper before the follow-ups of
    // a later dialog have run.
    void terminate() override {
        const std::uint64_t request = ++endRequests_;
        p_.mainLoop.after(kEndDelay, [this, request, alive = std::weak_ptr<int>(alive_)] {
            if (alive.expired() || request != endRequests_ || settingsWindowOpen() ||
                dialogsShowing_ > 0)
                return;
            p_.mainLoop.quit();
        });
    }

  private:
    template <typename Show> void inDialog(Show&& show) {
        struct Showing {
            int& count;
            explicit Showing(int& c) : count(c) { ++count; }
            ~Showing() { --count; }
        } showing(dialogsShowing_);
        show();
    }

    mac::SettingsWindowContext windowContext() {
        mac::SettingsWindowContext context;
        context.settings = &settings_;
        context.workspace = &p_.workspace;
        context.version = p_.bundle.shortVersion();
        context.vendorSite = std::string(Dialogs::kVendorSite);
        context.ownBundleID = p_.bundle.identifier().value_or(std::string(kOwnBundleID));
        context.recentApps = [this] { return launcher_.recentApps(); };
        context.trusted = [this] { return p_.accessibility.isTrusted(); };
        context.layoutEnabled = [this] { return layout_.layoutEnabled(); };
        context.showSetupDialog = [this] { showSetupDialog(); };
        // The window's button meets the same stale permission as the agent.
        context.showAccessibilityDialog = [this] {
            const AppIdentity self{p_.bundle.identifier().value_or(std::string(kOwnBundleID)),
                                   p_.bundle.shortVersion(), p_.bundle.codeIdentity()};
            showAccessibilityDialog(
                isStaleGrant(p_.defaults.standard(), self, p_.accessibility.isTrusted()));
        };
        // Closing the window ends the helper.
        context.closed = [this] { terminate(); };
        return context;
    }

    Platform& p_;
    Settings& settings_;
    const UiHelperLauncher& launcher_;
    Installer installer_; // only read: the layout's state for the dialogs and the window
    InstalledLayout layout_;
    Dialogs dialogs_;
    int dialogsShowing_ = 0;
    std::uint64_t endRequests_ = 0;
    const std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    // Last, so that it goes first: its actions call into the members above.
    VantoSettingsWindowController* window_ = nil;
};

} // namespace

std::unique_ptr<HelperApp> makeHelperApp(Platform& platform, Settings& settings,
                                         const UiHelperLauncher& launcher) {
    return std::make_unique<MacHelperApp>(platform, settings, launcher);
}

} // namespace vanto
