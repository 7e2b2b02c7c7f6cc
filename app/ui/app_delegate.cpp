#include "app_delegate.h"

#include "pipeline/app_profile.h"
#include "pipeline/event_tap.h"
#include "pipeline/typist.h"
#include "settings/settings.h"

namespace vanto {

namespace {

constexpr std::string_view kMissingVersion = "0.0.0";
constexpr std::string_view kActivityReason = "Vanto types into every application";

AppIdentity completed(AppIdentity identity) {
    if (identity.bundleID.empty()) identity.bundleID = std::string(kOwnBundleID);
    if (identity.version.empty()) identity.version = std::string(kMissingVersion);
    return identity;
}

} // namespace

bool isStaleGrant(UserDefaults& defaults, const AppIdentity& self, bool trusted) {
    if (trusted) return false;
    // macOS lists a permission by the application's name and checks it by
    // the build's identity: the user sees Vanto allowed while this build is
    // not, and the system's own prompt stays silent until the entry is gone.
    const auto version = defaults.string(kTrustedVersionKey);
    return version && (*version != self.version ||
                       defaults.string(kTrustedCodeIdentityKey).value_or("") != self.codeIdentity);
}

AppDelegate::AppDelegate(const ShellPorts& ports, Settings& settings, UserDefaults& defaults,
                         Typist& typist, EventTap& tap, LayoutControl& layout,
                         HelperLaunching& helper, AppIdentity identity)
    : ports_(ports), settings_(settings), defaults_(defaults), typist_(typist), tap_(tap),
      layout_(layout), helper_(helper), identity_(completed(std::move(identity))),
      addressRules_(ports.browserScripting, typist),
      secureInput_(ports.secureInput, ports.statusBar, [this] { explainSecureInput(); }),
      spotlight_(ports.workspace, ports.accessibility, ports.accessibilityClient,
                 [this](bool focused) {
                     spotlightFocused_ = focused;
                     updateOverlay();
                 }) {}

AppDelegate::~AppDelegate() {
    if (!launched_) return;
    settings_.onChange = nullptr;
    ports_.mainLoop.onReopen(nullptr);
    // The agent ends: "status" must not report a tap that no longer runs.
    if (recordedTap_ && *recordedTap_) {
        defaults_.remove(kEventTapKey);
        defaults_.remove(kEventTapProcessKey);
    }
}

void AppDelegate::applicationDidFinishLaunching() {
    if (launched_) return;
    launched_ = true;

    activity_ = ports_.processInfo.beginUserActivity(kActivityReason);
    ports_.mainLoop.onReopen([this] { return applicationShouldHandleReopen(); });

    settings_.onChange = [this] { settingsChanged(); };
    settings_.observeExternalChanges();
    typist_.applySettings();

    inputSourceChanges_ = layout_.onSelectedInputSourceChange([this] { scheduleRecheck(); });

    trusted_ = ports_.accessibility.isTrusted();
    noteTrust();
    accessibilityPoll_ = ports_.mainLoop.every(
        kAccessibilityPollInterval, kAccessibilityPollTolerance, [this] { accessibilityTick(); });

    tap_.start();
    updateActive();

    if (const auto front = ports_.workspace.frontmostApplication();
        front && !front->bundleID.empty())
        setFocusedApp(front->bundleID);
    activations_ =
        ports_.workspace.onActivation([this](const RunningApp& app) { applicationActivated(app); });

    spotlight_.install();
    // After the focus handler, so that it sees the new application in front.
    handoff_ =
        ports_.workspace.onActivation([this](const RunningApp&) { virtualMachineHandoff(); });

    secureInputPoll_ = ports_.mainLoop.every(kSecureInputPollInterval, kSecureInputPollTolerance,
                                             [this] { secureInputTick(); });

    promptForSetup();
}

bool AppDelegate::applicationShouldHandleReopen() {
    launch(kSettingsCommand);
    return false;
}

void AppDelegate::explainSecureInput() {
    const int pid = secureInput_.securePID();
    if (pid != 0) launch(kSecureInputCommand, {std::to_string(pid)});
}

void AppDelegate::settingsChanged() {
    typist_.applySettings();
    if (focusedBundleID_) {
        const std::string bundleID = *focusedBundleID_;
        setFocusedApp(bundleID);
    }
    updateOverlay();
    tap_.setWanted(isActive_);
}

void AppDelegate::updateActive() {
    const bool active = layout_.isLayoutSelected();
    if (isActive_ && !active) {
        // The word on screen is left in its final form before Vanto goes quiet.
        std::lock_guard<std::mutex> guard(typist_.lock);
        typist_.commit();
        typist_.reset();
    } else if (!isActive_ && active && !ports_.accessibility.isTrusted()) {
        requestAccessibility();
    }
    isActive_ = active;
    {
        std::lock_guard<std::mutex> guard(typist_.lock);
        typist_.isActive = active;
    }
    tap_.setWanted(active);
    // A tap refused while Vanto was off is tried at once, not at the next poll.
    if (active) tap_.start();
}

void AppDelegate::scheduleRecheck() {
    // The system announces a switch of input source several times over;
    // only the last announcement of a burst counts.
    const std::uint64_t generation = ++recheckGeneration_;
    recheckPending_ = true;
    ports_.mainLoop.after(kRecheckDelay, guarded([this, generation] {
                              if (generation == recheckGeneration_) recheck();
                          }));
}

void AppDelegate::recheck() {
    recheckPending_ = false;
    updateActive();
    const auto front = ports_.workspace.frontmostApplication();
    if (!front || !front->bundleID.starts_with(kVirtualMachinePrefix)) activeBeforeVM_ = isActive_;
}

void AppDelegate::setFocusedApp(const std::string& bundleID) {
    focusedBundleID_ = bundleID;
    helper_.noteRecentApp(bundleID);
    const std::vector<Exclusion> active = activeExclusions(settings_);
    AppProfile profile = AppProfile::make(bundleID, active, identity_.bundleID);
    addressRules_.supersede();
    {
        std::lock_guard<std::mutex> guard(typist_.lock);
        typist_.frontApp = std::move(profile);
        typist_.caretMoved = false;
        typist_.refreshApp();
    }
    addressRules_.apply(bundleID, active);
}

void AppDelegate::applicationActivated(const RunningApp& app) {
    {
        // The tracked word belongs to the field left behind; writing into
        // the new application would damage its text.
        std::lock_guard<std::mutex> guard(typist_.lock);
        typist_.leaveField();
    }
    if (!app.bundleID.empty()) setFocusedApp(app.bundleID);
}

void AppDelegate::virtualMachineHandoff() {
    // A virtual machine selects its own input source while it has the
    // keyboard; when the user comes back, Vanto takes the layout back if it
    // was on before.
    const auto front = ports_.workspace.frontmostApplication();
    if (!front || front->bundleID.empty()) return;
    if (front->bundleID.starts_with(kVirtualMachinePrefix)) {
        reselectAfterVM_ = activeBeforeVM_;
    } else if (reselectAfterVM_) {
        reselectAfterVM_ = false;
        ports_.mainLoop.after(kReselectDelay, guarded([this] { layout_.selectLayout(); }));
    } else {
        activeBeforeVM_ = isActive_;
    }
}

void AppDelegate::updateOverlay() {
    std::optional<AppProfile> overlay;
    if (spotlightFocused_)
        overlay =
            AppProfile::make(kInlineSuggestionApp, activeExclusions(settings_), identity_.bundleID);
    std::lock_guard<std::mutex> guard(typist_.lock);
    // Opening or closing the overlay moves the keyboard to another field; a
    // settings change that only recomputes its profile does not.
    if (typist_.overlay.has_value() != overlay.has_value()) typist_.leaveField();
    typist_.overlay = std::move(overlay);
    typist_.caretMoved = false;
    typist_.refreshApp();
}

void AppDelegate::accessibilityTick() {
    const bool trusted = ports_.accessibility.isTrusted();
    if (trusted != trusted_) {
        trusted_ = trusted;
        noteTrust();
        if (trusted)
            tap_.restart();
        else
            tap_.stop();
        tap_.setWanted(isActive_);
        spotlight_.refresh();
    } else if (trusted && isActive_) {
        // A tap the system refused, or a restart that came while the old
        // tap thread was still ending, is tried again until one runs.
        tap_.start();
    }
    recordTap();
}

void AppDelegate::noteTrust() {
    staleGrant_ = isStaleGrant(defaults_, identity_, trusted_);
    if (!trusted_) return;
    if (defaults_.string(kTrustedVersionKey) != identity_.version)
        defaults_.setString(kTrustedVersionKey, identity_.version);
    if (defaults_.string(kTrustedCodeIdentityKey) != identity_.codeIdentity)
        defaults_.setString(kTrustedCodeIdentityKey, identity_.codeIdentity);
}

void AppDelegate::recordTap() {
    const std::optional<EventTapHost::Location> location = tap_.location();
    if (recordedTap_ && *recordedTap_ == location) return;
    recordedTap_ = location;
    if (!location) {
        defaults_.remove(kEventTapKey);
        defaults_.remove(kEventTapProcessKey);
        return;
    }
    defaults_.setString(kEventTapKey,
                        *location == EventTapHost::Location::HID ? kEventTapHID : kEventTapSession);
    defaults_.setInteger(kEventTapProcessKey, ports_.processInfo.processID());
}

void AppDelegate::secureInputTick() {
    if (!secureInput_.tick(isActive_)) return;
    // The tap saw none of the keys typed while secure input was on: the
    // field may hold anything now where the span says a word is.
    std::lock_guard<std::mutex> guard(typist_.lock);
    typist_.reset();
}

void AppDelegate::promptForSetup() {
    if (openSettings) {
        launch(kSettingsCommand);
        return;
    }
    if (defaults_.string(kSetupPromptedVersionKey) == identity_.version) return;
    if (layout_.layoutEnabled()) {
        if (ports_.accessibility.isTrusted()) return;
        defaults_.setString(kSetupPromptedVersionKey, identity_.version);
        requestAccessibility();
        return;
    }
    // While a login is needed the layout cannot be added yet: the prompt
    // comes back at the first launch after the login.
    if (!layout_.needsLogin()) defaults_.setString(kSetupPromptedVersionKey, identity_.version);
    launch(kSetupCommand);
}

void AppDelegate::requestAccessibility() {
    if (explainedAccessibility_) return;
    explainedAccessibility_ = true;
    if (staleGrant_)
        launch(kAccessibilityCommand, {std::string(kStaleGrantParameter)});
    else
        launch(kAccessibilityCommand);
}

void AppDelegate::launch(std::string_view command, std::vector<std::string> parameters) {
    helper_.launchHelper(std::string(command), parameters);
}

std::function<void()> AppDelegate::guarded(std::function<void()> task) {
    return [alive = std::weak_ptr<int>(alive_), task = std::move(task)] {
        if (alive.lock()) task();
    };
}

} // namespace vanto
