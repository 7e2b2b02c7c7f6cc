#include "helper_launcher.h"

#include "settings/exclusion.h"
#include "pipeline/app_profile.h"

#include <algorithm>

namespace vanto {

UiHelperLauncher::UiHelperLauncher(Processes& processes, DistributedNotifications& notifications,
                                   std::filesystem::path executable, std::string ownBundleID)
    : processes_(processes), notifications_(notifications), executable_(std::move(executable)),
      ownBundleID_(std::move(ownBundleID)) {}

void UiHelperLauncher::launchHelper(const std::string& command,
                                    const std::vector<std::string>& parameters) {
    if (helper_ && helper_->isRunning()) {
        std::string request = command;
        for (const std::string& parameter : parameters) request += " " + parameter;
        notifications_.post(kShowHelperNotification, request);
        return;
    }
    std::vector<std::string> arguments{command};
    arguments.insert(arguments.end(), parameters.begin(), parameters.end());
    arguments.emplace_back(kRecentArgument);
    arguments.insert(arguments.end(), recentApps_.begin(), recentApps_.end());
    helper_ = processes_.launch(executable_, arguments);
}

void UiHelperLauncher::noteRecentApp(const std::string& bundleID) {
    // An application without an identifier cannot be picked by one.
    if (bundleID.empty() || bundleID == ownBundleID_ || matchesAny(kNeverTypeApps, bundleID))
        return;
    std::erase(recentApps_, bundleID);
    recentApps_.insert(recentApps_.begin(), bundleID);
    if (recentApps_.size() > kMaxRecentApps) recentApps_.pop_back();
}

} // namespace vanto
