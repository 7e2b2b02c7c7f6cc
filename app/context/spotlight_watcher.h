// Spotlight never becomes the frontmost application, so the activation of
// applications cannot tell when its search field has the keyboard. This
// watcher follows the focus inside the Spotlight process instead.
#pragma once

#include "platform/accessibility.h"
#include "platform/accessibility_client.h"
#include "platform/workspace.h"

#include <functional>
#include <memory>

namespace vanto {

// Main loop only.
class SpotlightWatcher {
  public:
    // Told whenever the search field gains or loses the focus.
    using Handler = std::function<void(bool focused)>;

    SpotlightWatcher(Workspace& workspace, Accessibility& accessibility,
                     AccessibilityClient& client, Handler handler);

    // Enables the watcher, follows the running applications and looks for
    // the Spotlight process.
    void install();
    // Follows a new Spotlight process (or its end), and one that could not
    // be observed before, now that the permission may be there.
    void refresh();
    bool focused() const { return focused_; }
    // The Spotlight process observed, 0 when none.
    int processID() const { return observation_ ? processID_ : 0; }

  private:
    void focusChanged(bool isTextField);
    void hidden();
    void set(bool now);

    Workspace& workspace_;
    Accessibility& accessibility_;
    AccessibilityClient& client_;
    Handler handler_;
    bool enabled_ = false;
    int processID_ = 0;
    bool focused_ = false;
    // Last: observation stops before anything its callbacks use goes.
    std::unique_ptr<AccessibilityClient::Observation> observation_;
    std::unique_ptr<Workspace::Observation> runningApps_;
};

} // namespace vanto
