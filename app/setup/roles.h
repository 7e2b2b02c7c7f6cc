// What start-up needs of the application shell: the resident agent, and the
// helper process's windows and dialogs. The command line decides which role
// the process plays; these run it.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace vanto {

class Installer;
class Settings;
class UiHelperLauncher;

// Runs the resident agent until the application ends; the caller holds the
// instance lock. openSettings: the user started the program by hand, so the
// settings window opens too (through a helper). Returns the exit status.
int runAgent(Platform& platform, Installer& installer, UiHelperLauncher& launcher,
             bool openSettings);

// The helper process as an application: its windows, its dialogs and its
// main loop. Everything runs on the main thread.
class HelperApp {
  public:
    virtual ~HelperApp() = default;
    // No Dock icon and no menu bar of its own, yet its windows can come to
    // the front.
    virtual void becomeAccessory() = 0;
    // Brings the helper to the front, ignoring other applications.
    virtual void activate() = 0;
    // Each dialog returns when the user has answered it. staleGrant: macOS
    // still holds the permission of an earlier build.
    virtual void showAccessibilityDialog(bool staleGrant) = 0;
    virtual void showSetupDialog() = 0;
    // processID 0: no process is known to hold secure input.
    virtual void showSecureInputExplanation(std::int32_t processID) = 0;
    // Reuses the open settings window or creates it, and makes it the key
    // window in front.
    virtual void showSettingsWindow() = 0;
    virtual bool settingsWindowOpen() = 0;
    // Runs first once the main loop turns, then the loop until terminate().
    virtual void run(std::function<void()> first) = 0;
    virtual void terminate() = 0;
};

// The helper's application; its settings window works on settings and
// offers the launcher's recent applications.
std::unique_ptr<HelperApp> makeHelperApp(Platform& platform, Settings& settings,
                                         const UiHelperLauncher& launcher);

} // namespace vanto
