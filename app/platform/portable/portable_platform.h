// The portable adapters wired into one Platform bundle.
#pragma once

#include "platform/platform.h"
#include "platform/portable/portable_events.h"
#include "platform/portable/portable_notifications.h"
#include "platform/portable/portable_process_info.h"
#include "platform/portable/portable_property_lists.h"
#include "platform/portable/portable_user_defaults.h"

#include "platform/portable/portable_bundle.h"
#include "platform/portable/portable_input_sources.h"
#include "platform/portable/portable_login_records.h"
#include "platform/portable/portable_processes.h"

#include "platform/portable/portable_alerts.h"
#include "platform/portable/portable_context.h"
#include "platform/portable/portable_main_loop.h"
#include "platform/portable/portable_workspace.h"

namespace vanto {

class PortablePlatform {
  public:
    PortablePlatform() = default;
    PortablePlatform(const PortablePlatform&) = delete;
    PortablePlatform& operator=(const PortablePlatform&) = delete;

    Platform& platform() { return platform_; }

    // First, so that it outlives the notifications it runs for other
    // processes.
    PortableMainLoop mainLoop;

    PortableKeyboardEvents keyboardEvents;
    PortableEventTapHost eventTapHost;
    PortableAccessibility accessibility;
    PortableProcessInfo processInfo;
    PortableUserDefaultsProvider defaults;
    // What other processes post arrives on the main loop, as on a Mac.
    PortableNotificationHub notifications{
        PortableNotificationHub::defaultFolder(),
        [this](std::function<void()> task) { mainLoop.post(std::move(task)); }};
    PortablePropertyLists propertyLists;

    PortableInputSources inputSources;
    PortableProcesses processes;
    PortableLoginRecords loginRecords;
    PortableFileStatus fileStatus;
    PortableAppBundle bundle;
    PortableInstanceLock instanceLock;

    PortableWorkspace workspace;
    PortableAccessibilityClient accessibilityClient;
    PortableSecureInput secureInput;
    PortableBrowserScripting browserScripting;
    PortableStatusBar statusBar;
    PortableAlerts alerts;

  private:
    Platform platform_{keyboardEvents, eventTapHost,     accessibility, processInfo,
                       defaults,       notifications,    propertyLists, inputSources,
                       processes,      loginRecords,     fileStatus,    bundle,
                       instanceLock,   mainLoop,         workspace,     accessibilityClient,
                       secureInput,    browserScripting, statusBar,     alerts};
};

} // namespace vanto
