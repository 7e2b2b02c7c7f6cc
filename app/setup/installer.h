// Installation of the keyboard-layout bundle and the login agent, and what
// the input menu says about the layout.
//
// Vanto types beside the system's input-method framework, yet it must be in
// the input menu, so that the user switches Vietnamese typing on and off by
// selecting its layout. The installer copies that layout into the user's
// keyboard-layout folder, registers it, and writes the launch agent that
// starts the resident agent at login and restarts it when it dies.
#pragma once

#include "platform/platform.h"
#include "platform/workspace.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vanto {

// The layout's input source is recognised by this alone.
inline constexpr std::string_view kLayoutBundleID = "norbel.keyboardlayout.Vanto";
inline constexpr std::string_view kLayoutBundleName = "Vanto.bundle";
// A layout bundle of earlier releases, which would sit in the menu beside ours.
inline constexpr std::string_view kOtherLayoutBundleName = "Vanto Direct.bundle";
inline constexpr std::string_view kKeyboardLayoutsFolder = "Library/Keyboard Layouts";
inline constexpr std::string_view kLaunchAgentsFolder = "Library/LaunchAgents";
inline constexpr std::string_view kAgentLabel = "norbel.inputmethod.Vanto.agent";
inline constexpr std::string_view kAgentPlistName = "norbel.inputmethod.Vanto.agent.plist";
inline constexpr std::string_view kSystemSettingsBundleID = "com.apple.systempreferences";

// Why an installation step failed: the step, ": ", and the system's reason.
struct StepError {
    std::optional<std::string> errorDescription;
};

// A bundle's files by their path inside it ("/Contents/Info.plist"): two
// bundles with equal snapshots need no copy. Folders are not entries and
// files that cannot be read are left out.
using BundleSnapshot = std::map<std::string, std::vector<std::uint8_t>>;
BundleSnapshot snapshotBundle(const std::filesystem::path& folder);

// Installer operations keep no state of their own; the object only carries
// the services and the home folder they work on.
class Installer {
  public:
    // Pauses the calling thread while launchd catches up.
    using Sleep = std::function<void(double seconds)>;

    // home: the user's home folder; empty when it is not known, and then
    // nothing is installed and no layout needs a login. sleep: a real pause
    // unless given.
    Installer(Platform& platform, Workspace& workspace, std::filesystem::path home, std::FILE* out,
              std::FILE* err, Sleep sleep = {});

    // The "install" command: the layout, the agent, the menu refresh and a
    // status line on out; a failure on err. The exit status, 0 or 1.
    int install();
    // Each stops at its first failing step and reports it.
    std::optional<StepError> installLayout();
    std::optional<StepError> installAgent();
    // Makes the system's input menu and System Settings show a newly
    // registered layout. Never fails.
    void refreshInputMenu();

    std::optional<InputSource> findLayoutSource();
    bool isLayoutSelected();
    std::vector<InputSource> enabledInputSources();
    // Whether the layout was installed after the user's current login, so
    // that the system lists it only after the next one.
    bool needsLogin();
    // The user's latest graphical login, in seconds since 1970.
    std::optional<std::int64_t> loginTime();

    std::filesystem::path installedLayoutPath() const;
    std::filesystem::path launchAgentPath() const;

    // $HOME when it is an absolute path, else empty.
    static std::filesystem::path homeFolder();

  private:
    Platform& platform_;
    Workspace& workspace_;
    const std::filesystem::path home_;
    std::FILE* out_;
    std::FILE* err_;
    Sleep sleep_;
};

} // namespace vanto
