#include "spotlight_watcher.h"

#include "pipeline/app_profile.h"

namespace vanto {

SpotlightWatcher::SpotlightWatcher(Workspace& workspace, Accessibility& accessibility,
                                   AccessibilityClient& client, Handler handler)
    : workspace_(workspace), accessibility_(accessibility), client_(client),
      handler_(std::move(handler)) {}

void SpotlightWatcher::install() {
    enabled_ = true;
    runningApps_ = workspace_.onRunningApplicationsChange([this] { refresh(); });
    refresh();
}

void SpotlightWatcher::refresh() {
    if (!enabled_) return;
    int pid = 0;
    for (const RunningApp& app : workspace_.runningApplications())
        if (app.bundleID == kInlineSuggestionApp) {
            pid = app.processID;
            break;
        }
    // The same process, already observed: a permission change alone must
    // not drop what the field reported.
    if (pid == processID_ && observation_) return;
    observation_.reset();
    processID_ = pid;
    if (focused_) set(false);
    if (pid < 1 || !accessibility_.isTrusted()) return;
    AccessibilityClient::FocusHandlers handlers;
    handlers.focusChanged = [this](bool isTextField) { focusChanged(isTextField); };
    handlers.hidden = [this] { hidden(); };
    observation_ = client_.observeFocus(pid, std::move(handlers));
}

void SpotlightWatcher::focusChanged(bool isTextField) {
    set(isTextField);
}

void SpotlightWatcher::hidden() {
    if (focused_) set(false);
}

void SpotlightWatcher::set(bool now) {
    if (now == focused_) return;
    focused_ = now;
    if (enabled_ && handler_) handler_(now);
}

} // namespace vanto
