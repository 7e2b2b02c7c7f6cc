// The executable's start: which role the process plays — the resident agent,
// the UI helper, or a one-shot command — chosen from its arguments.
#pragma once

#include "platform/platform.h"
#include "platform/workspace.h"
#include "setup/helper_launcher.h"
#include "setup/installer.h"
#include "setup/roles.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace vanto {

inline constexpr std::string_view kUsageLine =
    "usage: Vanto [install|select|deselect|status|selftest|settings]";
// The launch agent's form of starting the resident agent.
inline constexpr std::string_view kAgentCommand = "agent";
// The helper's commands.
inline constexpr std::string_view kSettingsCommand = "settings";
inline constexpr std::string_view kAccessibilityCommand = "accessibility";
inline constexpr std::string_view kSecureInputCommand = "secure-input";
inline constexpr std::string_view kSetupCommand = "setup";
inline constexpr std::array<std::string_view, 4> kUiCommands = {
    kSettingsCommand, kAccessibilityCommand, kSecureInputCommand, kSetupCommand};
// In the folder named after the bundle identifier in the user caches.
inline constexpr std::string_view kInstanceLockFile = "instance.lock";

// A process id as the agent passes it: an optional sign and decimal digits
// that fit 32 bits. Anything else is 0, which stands for no known process.
std::int32_t parseProcessID(std::string_view text);
// A "showHelper" request as a helper's arguments: the object split at
// spaces, without empty pieces; no object (or not a text) is no arguments.
std::vector<std::string> splitHelperRequest(const std::optional<std::string>& object);
// Gives the applications after "--recent" to noteRecentApp from the last to
// the first, which keeps the order the agent sent them in.
void noteRecentArguments(UiHelperLauncher& launcher, const std::vector<std::string>& arguments);
// The helper's dispatcher, for its own arguments and for each request of
// the agent. The helper ends after a dialog unless a settings window is open.
void handleHelperCommand(HelperApp& app, const std::vector<std::string>& arguments);

class CommandLine {
  public:
    // One-shot commands print to out, their failures to err.
    CommandLine(Platform& platform, Workspace& workspace, std::FILE* out, std::FILE* err);

    // Plays the role the arguments (without the program path) choose and
    // returns the exit status: 0, 1 for a failed command, 2 for an unknown one.
    int start(const std::vector<std::string>& arguments);
    // No error when this process is now the one resident agent of the user;
    // std::errc::operation_would_block when another process is.
    std::error_code acquireInstanceLock();
    // selftest, install, select, deselect, status, help, version; anything
    // else prints the usage line on err and returns 2.
    int runCommand(std::string_view command);

    Installer& installer() { return installer_; }
    UiHelperLauncher& launcher() { return launcher_; }

  private:
    int runHelper(const std::vector<std::string>& arguments);
    int startAgent(bool byHand);
    std::filesystem::path instanceLockFile();
    int selectSource(const InputSource& source);
    int select();
    int deselect();
    void status();
    // Where the running agent's event tap sits: "hid", "session" or "none".
    std::string_view runningTap();

    Platform& platform_;
    Workspace& workspace_;
    std::FILE* out_;
    std::FILE* err_;
    Installer installer_;
    UiHelperLauncher launcher_;
};

} // namespace vanto
