// The two long-lived roles of the executable, wired from the platform's
// services: the resident agent with its shell, and the helper with its
// dialogs.
#include "setup/roles.h"

#include "pipeline/app_profile.h"
#include "pipeline/event_tap.h"
#include "pipeline/key_sender.h"
#include "pipeline/typist.h"
#include "setup/helper_launcher.h"
#include "setup/installer.h"
#include "ui/app_delegate.h"
#include "ui/dialogs.h"
#include "ui/settings.h"
#include "ui/shell_links.h"

#include <cstdio>

namespace vanto {

namespace {

// The installer's view of the layout, as the shell needs it.
class InstalledLayout final : public LayoutControl {
  public:
    InstalledLayout(Installer& installer, InputSources& sources)
        : installer_(installer), sources_(sources) {}

    bool isLayoutSelected() override { return installer_.isLayoutSelected(); }
    bool layoutEnabled() override {
        const auto source = installer_.findLayoutSource();
        return source && source->enabled.value_or(false);
    }
    bool selectLayout() override {
        const auto source = installer_.findLayoutSource();
        return source && sources_.select(*source);
    }
    bool needsLogin() override { return installer_.needsLogin(); }
    std::unique_ptr<Subscription> onSelectedInputSourceChange(std::function<void()> handler) override {
        struct Held final : Subscription {
            std::unique_ptr<InputSources::Observation> observation;
        };
        auto held = std::make_unique<Held>();
        held->observation = sources_.onSelectionChange(std::move(handler));
        return held;
    }

  private:
    Installer& installer_;
    InputSources& sources_;
};

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
    return {p.bundle.identifier().value_or(std::string(kOwnBundleID)), p.bundle.shortVersion()};
}

// The helper on a system without the settings window's rendering: the
// dialogs are real alerts, the settings window says where the options live.
class PortableHelperApp final : public HelperApp {
  public:
    explicit PortableHelperApp(Platform& p)
        : p_(p), installer_(p, p.workspace, Installer::homeFolder(), stdout, stderr),
          layout_(installer_, p.inputSources),
          dialogs_(p.alerts, p.workspace, p.accessibilityClient, p.mainLoop, layout_,
                   DialogContext{p.bundle.executablePath().string(), 0}) {}

    void becomeAccessory() override {}
    void activate() override {}
    void showAccessibilityDialog() override { dialogs_.showAccessibilityDialog(); }
    void showSetupDialog() override { dialogs_.showSetupDialog(); }
    void showSecureInputExplanation(std::int32_t processID) override {
        dialogs_.showSecureInputDialog(processID);
    }
    void showSettingsWindow() override {
        std::puts("Vanto: the settings window needs macOS; the options are in the settings domain");
    }
    bool settingsWindowOpen() override { return false; }
    void run(std::function<void()> first) override {
        p_.mainLoop.post([this, first = std::move(first)] {
            first();
            // Dialogs may schedule follow-ups (opening a page, revealing the
            // bundle); let them run before the helper ends.
            p_.mainLoop.after(1.0, [this] { p_.mainLoop.quit(); });
        });
        p_.mainLoop.run();
    }
    void terminate() override { p_.mainLoop.after(1.0, [this] { p_.mainLoop.quit(); }); }

  private:
    Platform& p_;
    Installer installer_; // only read: the layout's state for the setup dialog
    InstalledLayout layout_;
    Dialogs dialogs_;
};

} // namespace

int runAgent(Platform& p, Installer& installer, UiHelperLauncher& launcher, bool openSettings) {
    Settings settings(p.defaults.standard(), p.notifications, p.propertyLists,
                      p.processInfo.processID());
    KeySender sender(p.keyboardEvents);
    Typist typist(settings, sender, &p.processInfo);
    EventTap tap(p.eventTapHost, p.keyboardEvents, p.accessibility, typist,
                 sender.ownSourceStateID(),
                 [&p](double seconds, std::function<void()> task) {
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

std::unique_ptr<HelperApp> makeHelperApp(Platform& platform, Settings&, const UiHelperLauncher&) {
    return std::make_unique<PortableHelperApp>(platform);
}

} // namespace vanto
