// The helper process on a system without the settings window's rendering:
// the dialogs are real alerts, the settings window says where the options
// live.
#include "setup/installed_layout.h"
#include "setup/installer.h"
#include "setup/roles.h"
#include "ui/dialogs.h"

#include <cstdio>

namespace vanto {

namespace {

class PortableHelperApp final : public HelperApp {
  public:
    explicit PortableHelperApp(Platform& p)
        : p_(p), installer_(p, p.workspace, Installer::homeFolder(), stdout, stderr),
          layout_(installer_, p.inputSources),
          dialogs_(p.alerts, p.workspace, p.accessibilityClient, p.mainLoop, layout_, p.processes,
                   DialogContext{p.bundle.executablePath().string(), 0,
                                 p.bundle.identifier().value_or(std::string(kOwnBundleID))}) {}

    void becomeAccessory() override {}
    void activate() override {}
    void showAccessibilityDialog(bool staleGrant) override {
        dialogs_.showAccessibilityDialog(staleGrant);
    }
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
    void terminate() override {
        p_.mainLoop.after(1.0, [this] { p_.mainLoop.quit(); });
    }

  private:
    Platform& p_;
    Installer installer_; // only read: the layout's state for the setup dialog
    InstalledLayout layout_;
    Dialogs dialogs_;
};

} // namespace

std::unique_ptr<HelperApp> makeHelperApp(Platform& platform, Settings&, const UiHelperLauncher&) {
    return std::make_unique<PortableHelperApp>(platform);
}

} // namespace vanto
