// The macOS adapters of the ports, each made by a factory so that code
// outside this folder never sees an Objective-C or Core Foundation type.
// Every adapter is created on the main thread.
#pragma once

#include "platform/platform.h"

#include <memory>

namespace vanto::mac {

// Quartz events, the tap thread, the process and its permissions.
std::unique_ptr<KeyboardEvents> makeKeyboardEvents();
std::unique_ptr<EventTapHost> makeEventTapHost();
std::unique_ptr<Accessibility> makeAccessibility();
std::unique_ptr<ProcessInfo> makeProcessInfo();
std::unique_ptr<SecureInput> makeSecureInput();
std::unique_ptr<MainLoop> makeMainLoop();

// Settings, installation and the services of the application shell.
std::unique_ptr<UserDefaultsProvider> makeUserDefaults();
std::unique_ptr<DistributedNotifications> makeNotifications();
std::unique_ptr<PropertyLists> makePropertyLists();
std::unique_ptr<InputSources> makeInputSources();
std::unique_ptr<Processes> makeProcesses();
std::unique_ptr<AppBundle> makeAppBundle();
std::unique_ptr<InstanceLock> makeInstanceLock();
std::unique_ptr<Workspace> makeWorkspace();
std::unique_ptr<AccessibilityClient> makeAccessibilityClient();
std::unique_ptr<BrowserScripting> makeBrowserScripting();
std::unique_ptr<StatusBar> makeStatusBar();
std::unique_ptr<Alerts> makeAlerts();

} // namespace vanto::mac
