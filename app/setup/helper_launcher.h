// The UI helper: the short-lived process of the same executable that shows
// the settings window and the dialogs, so that the resident agent never
// opens a window itself. Also the list of applications recently typed into,
// which every new helper receives on its command line for its app picker.
#pragma once

#include "platform/notifications.h"
#include "platform/processes.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vanto {

// Tells a running helper what to show; the object is the command and its
// parameters joined by single spaces.
inline constexpr std::string_view kShowHelperNotification = "norbel.inputmethod.Vanto.showHelper";
// Posted by a helper once it listens for "showHelper"; the object is its
// process id in decimal. Requests before that would be lost.
inline constexpr std::string_view kHelperReadyNotification = "norbel.inputmethod.Vanto.helperReady";
// On a helper's command line, the recent applications follow this, newest first.
inline constexpr std::string_view kRecentArgument = "--recent";

class UiHelperLauncher {
  public:
    static constexpr std::size_t kMaxRecentApps = 12;

    // executable: the program to start as the helper (this one);
    // ownBundleID: the application's identifier, never a recent application.
    UiHelperLauncher(Processes& processes, DistributedNotifications& notifications,
                     std::filesystem::path executable, std::string ownBundleID);

    // Asks the running helper to show command, or starts a new one with it.
    // Requests for a helper that has not yet said it is ready are held and
    // sent when it does. A helper that cannot be started is not reported;
    // the next request tries again.
    void launchHelper(const std::string& command, const std::vector<std::string>& parameters);
    // Moves bundleID to the front of the recent applications, unless it is
    // this application or one in which Vanto never types.
    void noteRecentApp(const std::string& bundleID);
    // Newest first.
    const std::vector<std::string>& recentApps() const { return recentApps_; }

  private:
    void helperReady();

    Processes& processes_;
    DistributedNotifications& notifications_;
    const std::filesystem::path executable_;
    const std::string ownBundleID_;
    std::vector<std::string> recentApps_;
    std::unique_ptr<ChildProcess> helper_;
    bool helperReady_ = false;
    // Requests for the starting helper, oldest first.
    std::vector<std::string> pending_;
    std::unique_ptr<DistributedNotifications::Token> readyToken_;
};

} // namespace vanto
