#include "command_line.h"

#include "pipeline/app_profile.h"
#include "settings/settings.h"
#include "setup/self_test.h"
#include "ui/app_delegate.h"

#include <algorithm>
#include <limits>

namespace vanto {

namespace {

constexpr std::string_view kSelftestCommand = "selftest";
constexpr std::string_view kInstallCommand = "install";
constexpr std::string_view kSelectCommand = "select";
constexpr std::string_view kDeselectCommand = "deselect";
constexpr std::string_view kStatusCommand = "status";

constexpr const char* kNotInMenuLine = "Vanto is not in the input menu yet";
constexpr const char* kSelectPrefix = "select ";
constexpr const char* kNotInstalledSuffix = " not installed";
constexpr const char* kEventTapPrefix = "event tap: ";
constexpr std::string_view kNoTap = "none";

const char* text(bool value) {
    return value ? "true" : "false";
}

} // namespace

std::int32_t parseProcessID(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return 0;
    // Accumulated as a negative number, whose range holds the most negative value.
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 - (c - '0');
        if (value < kMin) return 0;
    }
    if (!negative && -value > std::numeric_limits<std::int32_t>::max()) return 0;
    return static_cast<std::int32_t>(negative ? value : -value);
}

std::vector<std::string> splitHelperRequest(const std::optional<std::string>& object) {
    std::vector<std::string> pieces;
    if (!object) return pieces;
    std::string_view rest = *object;
    while (!rest.empty()) {
        const std::size_t space = rest.find(' ');
        const std::string_view piece = rest.substr(0, space);
        if (!piece.empty()) pieces.emplace_back(piece);
        if (space == std::string_view::npos) break;
        rest.remove_prefix(space + 1);
    }
    return pieces;
}

void noteRecentArguments(UiHelperLauncher& launcher, const std::vector<std::string>& arguments) {
    const auto recent = std::find(arguments.begin(), arguments.end(), kRecentArgument);
    if (recent == arguments.end()) return;
    // Back to front, each to the front.
    for (auto it = arguments.rbegin(); it.base() != recent + 1; ++it) launcher.noteRecentApp(*it);
}

void handleHelperCommand(HelperApp& app, const std::vector<std::string>& arguments) {
    app.activate();
    const std::string_view command = arguments.empty() ? std::string_view() : arguments[0];
    if (command == kAccessibilityCommand) {
        app.showAccessibilityDialog(arguments.size() > 1 && arguments[1] == kStaleGrantParameter);
    } else if (command == kSetupCommand) {
        app.showSetupDialog();
    } else if (command == kSecureInputCommand) {
        app.showSecureInputExplanation(arguments.size() > 1 ? parseProcessID(arguments[1]) : 0);
    } else {
        app.showSettingsWindow();
    }
    // With the settings window open, its closing ends the helper instead.
    if (!app.settingsWindowOpen()) app.terminate();
}

CommandLine::CommandLine(Platform& platform, Workspace& workspace, std::FILE* out, std::FILE* err)
    : platform_(platform), workspace_(workspace), out_(out), err_(err),
      installer_(platform, workspace, Installer::homeFolder(), out, err),
      launcher_(platform.processes, platform.notifications, platform.bundle.executablePath(),
                platform.bundle.identifier().value_or(std::string(kOwnBundleID))) {}

int CommandLine::start(const std::vector<std::string>& arguments) {
    if (!arguments.empty() && arguments[0] != kAgentCommand) {
        if (std::find(kUiCommands.begin(), kUiCommands.end(), arguments[0]) != kUiCommands.end())
            return runHelper(arguments);
        return runCommand(arguments[0]);
    }
    const bool byHand = arguments.empty();
    if (acquireInstanceLock()) return runAgent(platform_, installer_, launcher_, byHand);
    // An agent runs already. Someone who opens the application wants its
    // settings, which a fresh helper shows.
    if (byHand) launcher_.launchHelper(std::string(kSettingsCommand), {});
    return 0;
}

bool CommandLine::acquireInstanceLock() {
    const std::string identifier =
        platform_.bundle.identifier().value_or(std::string(kOwnBundleID));
    return platform_.instanceLock.lockForLife(platform_.instanceLock.userCachesFolder() /
                                              identifier / kInstanceLockFile);
}

int CommandLine::runHelper(const std::vector<std::string>& arguments) {
    noteRecentArguments(launcher_, arguments);
    Settings settings(platform_.defaults.standard(), platform_.notifications,
                      platform_.propertyLists, platform_.processInfo.processID());
    settings.observeExternalChanges();
    const std::unique_ptr<HelperApp> app = makeHelperApp(platform_, settings, launcher_);
    app->becomeAccessory();
    const auto requests = platform_.notifications.observe(
        kShowHelperNotification, [&app = *app](const std::optional<std::string>& object) {
            handleHelperCommand(app, splitHelperRequest(object));
        });
    // The agent holds what it asks of a starting helper until it hears this.
    platform_.notifications.post(kHelperReadyNotification,
                                 std::to_string(platform_.processInfo.processID()));
    app->run([&] { handleHelperCommand(*app, arguments); });
    return 0;
}

int CommandLine::runCommand(std::string_view command) {
    if (command == kSelftestCommand) return SelfTest::run(platform_, out_);
    if (command == kInstallCommand) return installer_.install();
    if (command == kSelectCommand) {
        select();
    } else if (command == kDeselectCommand) {
        deselect();
    } else if (command == kStatusCommand) {
        status();
    } else {
        std::fprintf(err_, "%.*s\n", static_cast<int>(kUsageLine.size()), kUsageLine.data());
        return 2;
    }
    return 0;
}

void CommandLine::select() {
    const auto source = installer_.findLayoutSource();
    if (!source || !source->enabled.value_or(false)) {
        std::fprintf(out_, "%s\n", kNotInMenuLine);
        return;
    }
    if (source->selected.value_or(false)) return;
    std::fprintf(out_, "%s%s\n", kSelectPrefix, source->inputSourceID.value_or("").c_str());
    platform_.inputSources.select(*source);
}

void CommandLine::deselect() {
    if (!installer_.isLayoutSelected()) return;
    for (const InputSource& source : installer_.enabledInputSources()) {
        if (!source.enabled.value_or(false) || !source.selectCapable.value_or(false) ||
            source.bundleID == kLayoutBundleID)
            continue;
        std::fprintf(out_, "%s%s\n", kSelectPrefix, source.inputSourceID.value_or("").c_str());
        platform_.inputSources.select(source);
        return;
    }
}

void CommandLine::status() {
    const auto source = installer_.findLayoutSource();
    if (!source) {
        std::fprintf(out_, "%.*s%s\n", static_cast<int>(kLayoutBundleID.size()),
                     kLayoutBundleID.data(), kNotInstalledSuffix);
    } else {
        std::fprintf(out_, "%s isEnabled:%s isSelected:%s needsLogin:%s\n",
                     source->inputSourceID.value_or("").c_str(),
                     text(source->enabled.value_or(false)), text(source->selected.value_or(false)),
                     text(installer_.needsLogin()));
    }
    const std::string_view tap = runningTap();
    std::fprintf(out_, "%s%.*s\n", kEventTapPrefix, static_cast<int>(tap.size()), tap.data());
}

std::string_view CommandLine::runningTap() {
    // The agent records its tap; a record outlives an agent that was
    // killed, so it counts only while that process still runs.
    UserDefaults& defaults = platform_.defaults.standard();
    const auto tap = defaults.string(kEventTapKey);
    const std::int64_t agent = defaults.integer(kEventTapProcessKey);
    if (!tap || agent <= 0) return kNoTap;
    const std::string_view location = *tap == kEventTapHID       ? kEventTapHID
                                      : *tap == kEventTapSession ? kEventTapSession
                                                                 : kNoTap;
    for (const RunningApp& app : workspace_.runningApplications())
        if (app.processID == agent) return location;
    return kNoTap;
}

} // namespace vanto
