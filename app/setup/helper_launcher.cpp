#include "helper_launcher.h"

#include "pipeline/app_profile.h"
#include "settings/exclusion.h"

#include <algorithm>
#include <utility>

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
        if (helperReady_)
            notifications_.post(kShowHelperNotification, request);
        else if (pending_.empty() || pending_.back() != request)
            pending_.push_back(std::move(request));
        return;
    }
    // Listening before the first helper starts, so that its announcement
    // cannot come first.
    if (!readyToken_)
        readyToken_ = notifications_.observe(
            kHelperReadyNotification, [this](const std::optional<std::string>&) { helperReady(); });
    helperReady_ = false;
    pending_.clear();
    std::vector<std::string> arguments{command};
    arguments.insert(arguments.end(), parameters.begin(), parameters.end());
    arguments.emplace_back(kRecentArgument);
    arguments.insert(arguments.end(), recentApps_.begin(), recentApps_.end());
    helper_ = processes_.launch(executable_, arguments);
}

void UiHelperLauncher::helperReady() {
    // Only one helper runs at a time, and the agent starts it: the
    // announcement is taken to be that helper's.
    if (!helper_ || !helper_->isRunning() || helperReady_) return;
    helperReady_ = true;
    const std::vector<std::string> requests = std::exchange(pending_, {});
    for (const std::string& request : requests)
        notifications_.post(kShowHelperNotification, request);
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
