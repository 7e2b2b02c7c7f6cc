// What the application shell needs of the installer and of the helper
// launcher, as the shell sees them. Tests fill them with fakes.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vanto {

// Vanto's keyboard layout in the system's input menu. Main loop only.
class LayoutControl {
  public:
    // Observation lasts as long as this object; destroying it stops it.
    class Subscription {
      public:
        virtual ~Subscription() = default;
    };

    virtual ~LayoutControl() = default;
    // Whether the layout is the current keyboard input source: Vanto types
    // exactly while it is.
    virtual bool isLayoutSelected() = 0;
    // Whether the layout is installed and enabled (listed in the input menu).
    virtual bool layoutEnabled() = 0;
    // Makes the layout the current input source; false when it is not found
    // or the system refuses.
    virtual bool selectLayout() = 0;
    // The layout was installed after the current login: the system lists
    // it only from the next login on.
    virtual bool needsLogin() = 0;
    // Calls handler on the main loop after every change of the selected
    // keyboard input source, whoever made it.
    virtual std::unique_ptr<Subscription>
    onSelectedInputSourceChange(std::function<void()> handler) = 0;
};

// The short-lived helper process that shows windows and alerts for the
// agent, and the list of applications recently typed into that it is given.
// Main loop only.
class HelperLaunching {
  public:
    virtual ~HelperLaunching() = default;
    // Shows command ("settings", "accessibility", "setup", "secure-input")
    // in the running helper, or starts one. Failures are ignored.
    virtual void launchHelper(const std::string& command,
                              const std::vector<std::string>& parameters) = 0;
    // An application took the focus.
    virtual void noteRecentApp(const std::string& bundleID) = 0;
    // Newest first.
    virtual std::vector<std::string> recentApps() const = 0;
};

} // namespace vanto
