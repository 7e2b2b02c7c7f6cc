// The two long-lived roles of the executable, wired from the platform's
// services: the resident agent with its shell, and the helper with its
// dialogs.
#include "setup/roles.h"

#include "pipeline/app_profile.h"
#include "pipeline/event_tap.h"
#include "pipeline/key_sender.h"
#include "pipeline/typist.h"
#include "settings/settings.h"
#include "setup/helper_launcher.h"
#include "setup/installed_layout.h"
#include "setup/installer.h"
#include "ui/app_delegate.h"
#include "ui/shell_links.h"

namespace vanto {

namespace {

class Launcher final : public HelperLaunching {
  public:
    explicit Launcher(UiHelperLauncher& launcher) : launcher_(launcher) {}
    void launchHelper(const std::string& command,
                      const std::vector<std::string>& parameters) override {
        launcher_.launchHelper(command, parameters);
    }
    void noteRecentApp(const std::string& bundleID) override { launcher_.noteRecentApp(bundleID); }
    std::vector<std::string> recentApps() const override { return launcher_.recentApps(); }

  private:
    UiHelperLauncher& launcher_;
};

AppIdentity identityOf(Platform& p) {
    return {p.bundle.identifier().value_or(std::string(kOwnBundleID)), p.bundle.shortVersion(),
            p.bundle.codeIdentity()};
}

} // namespace

int runAgent(Platform& p, Installer& installer, UiHelperLauncher& launcher, bool openSettings) {
    Settings settings(p.defaults.standard(), p.notifications, p.propertyLists,
                      p.processInfo.processID());
    KeySender sender(p.keyboardEvents);
    Typist typist(settings, sender, &p.processInfo);
    EventTap tap(p.eventTapHost, p.keyboardEvents, p.accessibility, typist,
                 sender.ownSourceStateID(), [&p](double seconds, std::function<void()> task) {
                     p.mainLoop.after(seconds, std::move(task));
                 });
    InstalledLayout layout(installer, p.inputSources);
    Launcher helpers(launcher);
    AppDelegate delegate(ShellPorts::of(p), settings, p.defaults.standard(), typist, tap, layout,
                         helpers, identityOf(p));
    delegate.openSettings = openSettings;
    delegate.applicationDidFinishLaunching();
    p.mainLoop.run();
    tap.stop();
    return 0;
}

} // namespace vanto
