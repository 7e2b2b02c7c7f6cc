// The resident agent's controller. It follows the selection of Vanto's
// layout (Vanto types exactly while it is the current input source), the
// frontmost application, Spotlight's search field and secure input, keeps
// the Typist and the event tap in step with them, and asks the helper
// process for the windows and alerts the agent never shows itself.
#pragma once

#include "context/browser_address.h"
#include "context/secure_input_watch.h"
#include "context/spotlight_watcher.h"
#include "platform/accessibility.h"
#include "platform/accessibility_client.h"
#include "platform/browser_scripting.h"
#include "platform/event_tap_host.h"
#include "platform/main_loop.h"
#include "platform/platform.h"
#include "platform/process_info.h"
#include "platform/secure_input.h"
#include "platform/status_item.h"
#include "platform/user_defaults.h"
#include "platform/workspace.h"
#include "ui/shell_links.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vanto {

class EventTap;
class Settings;
class Typist;

// The system services the shell watches and acts through.
struct ShellPorts {
    MainLoop& mainLoop;
    Workspace& workspace;
    Accessibility& accessibility;
    AccessibilityClient& accessibilityClient;
    SecureInput& secureInput;
    BrowserScripting& browserScripting;
    StatusBar& statusBar;
    ProcessInfo& processInfo;

    static ShellPorts of(Platform& p) {
        return {p.mainLoop,    p.workspace,        p.accessibility, p.accessibilityClient,
                p.secureInput, p.browserScripting, p.statusBar,     p.processInfo};
    }
};

// Who the running program is.
struct AppIdentity {
    std::string bundleID;
    std::string version;      // the short version users see
    std::string codeIdentity; // what the privacy settings know this build by
};

// Written by the agent into the standard domain. The build it last ran as
// while macOS trusted it: a later build that is not trusted although the
// user allowed Vanto before meets a permission macOS keeps for that build.
inline constexpr std::string_view kTrustedVersionKey = "trustedVersion";
inline constexpr std::string_view kTrustedCodeIdentityKey = "trustedCodeIdentity";
// Where the agent's event tap runs ("hid" or "session"), and the agent's
// process id; absent while no tap runs.
inline constexpr std::string_view kEventTapKey = "eventTap";
inline constexpr std::string_view kEventTapProcessKey = "eventTapProcess";
inline constexpr std::string_view kEventTapHID = "hid";
inline constexpr std::string_view kEventTapSession = "session";
// The accessibility helper's parameter when macOS still holds the
// permission of an earlier build.
inline constexpr std::string_view kStaleGrantParameter = "stale";

// Whether this build, not trusted, meets the permission macOS keeps for an
// earlier one: the build recorded as trusted differs from it.
bool isStaleGrant(UserDefaults& defaults, const AppIdentity& self, bool trusted);

// Main loop only, like everything it calls; writes into the Typist and the
// event tap take their locks, never both at once.
class AppDelegate {
  public:
    static constexpr double kRecheckDelay = 0.1;
    static constexpr double kReselectDelay = 0.1;
    static constexpr double kAccessibilityPollInterval = 1.0;
    static constexpr double kAccessibilityPollTolerance = 0.3;
    static constexpr double kSecureInputPollInterval = 1.0;
    static constexpr double kSecureInputPollTolerance = 0.5;
    // Applications that take the keyboard over for a virtual machine, which
    // may switch the input source behind Vanto's back.
    static constexpr std::string_view kVirtualMachinePrefix = "com.parallels.";
    // Commands of the helper process.
    static constexpr std::string_view kSettingsCommand = "settings";
    static constexpr std::string_view kAccessibilityCommand = "accessibility";
    static constexpr std::string_view kSetupCommand = "setup";
    static constexpr std::string_view kSecureInputCommand = "secure-input";

    // defaults is the standard domain (it keeps the version last prompted
    // for setup); everything given must outlive the delegate.
    AppDelegate(const ShellPorts& ports, Settings& settings, UserDefaults& defaults, Typist& typist,
                EventTap& tap, LayoutControl& layout, HelperLaunching& helper,
                AppIdentity identity);
    ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Set by start-up when the user, not the launch agent, started Vanto.
    bool openSettings = false;

    // Wires everything up, in an order that matters: the tap exists before
    // the first activity update enables it, and the prompts come last.
    void applicationDidFinishLaunching();
    // The user opened Vanto again while the agent runs: shows the settings.
    // Always false (the agent has no window of its own to reopen).
    bool applicationShouldHandleReopen();
    // The lock item's action.
    void explainSecureInput();

    void settingsChanged();
    void updateActive();
    // updateActive() shortly, once for a burst of calls.
    void scheduleRecheck();
    void setFocusedApp(const std::string& bundleID);
    void updateOverlay();

    bool isActive() const { return isActive_; }
    const std::optional<std::string>& focusedBundleID() const { return focusedBundleID_; }
    bool spotlightFocused() const { return spotlightFocused_; }
    bool explainedAccessibility() const { return explainedAccessibility_; }
    // Not trusted, although an earlier build was.
    bool staleGrant() const { return staleGrant_; }
    bool recheckPending() const { return recheckPending_; }
    int securePID() const { return secureInput_.securePID(); }
    bool lockShown() const { return secureInput_.lockShown(); }
    // Waits until the browser checks queued so far have answered.
    void waitForAddressChecks() { addressRules_.waitUntilIdle(); }

  private:
    void recheck();
    void applicationActivated(const RunningApp& app);
    void virtualMachineHandoff();
    void accessibilityTick();
    void secureInputTick();
    void noteTrust();
    void recordTap();
    void promptForSetup();
    void requestAccessibility();
    void launch(std::string_view command, std::vector<std::string> parameters = {});
    // task, run only while this delegate still exists.
    std::function<void()> guarded(std::function<void()> task);

    ShellPorts ports_;
    Settings& settings_;
    UserDefaults& defaults_;
    Typist& typist_;
    EventTap& tap_;
    LayoutControl& layout_;
    HelperLaunching& helper_;
    const AppIdentity identity_;

    bool isActive_ = false;
    std::optional<std::string> focusedBundleID_;
    bool spotlightFocused_ = false;
    bool recheckPending_ = false;
    std::uint64_t recheckGeneration_ = 0;
    bool explainedAccessibility_ = false;
    bool activeBeforeVM_ = false;
    bool reselectAfterVM_ = false;
    bool trusted_ = false;
    bool staleGrant_ = false;
    bool launched_ = false;
    // The tap location last written to the domain, once one was.
    std::optional<std::optional<EventTapHost::Location>> recordedTap_;

    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    // Keeps macOS from napping the windowless agent, which would stretch
    // its timers to seconds and notice a switch of layout late.
    std::unique_ptr<ProcessInfo::Activity> activity_;
    AddressRules addressRules_;
    SecureInputWatch secureInput_;
    SpotlightWatcher spotlight_;
    // Last: observations and timers stop before what they call goes.
    std::unique_ptr<LayoutControl::Subscription> inputSourceChanges_;
    std::unique_ptr<Workspace::Observation> activations_;
    std::unique_ptr<Workspace::Observation> handoff_;
    std::unique_ptr<MainLoop::Timer> accessibilityPoll_;
    std::unique_ptr<MainLoop::Timer> secureInputPoll_;
};

} // namespace vanto
