// The bundle of system services the core runs on, wired once in main: the
// real adapters on macOS, the portable ones elsewhere and in the tests.
#pragma once

#include "platform/accessibility.h"
#include "platform/event_tap_host.h"
#include "platform/keyboard_events.h"
#include "platform/notifications.h"
#include "platform/process_info.h"
#include "platform/property_list.h"
#include "platform/user_defaults.h"

#include "platform/bundle.h"
#include "platform/file_status.h"
#include "platform/input_sources.h"
#include "platform/instance_lock.h"
#include "platform/login_records.h"
#include "platform/processes.h"

#include "platform/accessibility_client.h"
#include "platform/alerts.h"
#include "platform/browser_scripting.h"
#include "platform/main_loop.h"
#include "platform/secure_input.h"
#include "platform/status_item.h"
#include "platform/workspace.h"

namespace vanto {

struct Platform {
    KeyboardEvents& keyboardEvents;
    EventTapHost& eventTapHost;
    Accessibility& accessibility;
    ProcessInfo& processInfo;
    UserDefaultsProvider& defaults;
    DistributedNotifications& notifications;
    PropertyLists& propertyLists;

    // Installation, start-up and the helper process.
    InputSources& inputSources;
    Processes& processes;
    LoginRecords& loginRecords;
    FileStatus& fileStatus;
    AppBundle& bundle;
    InstanceLock& instanceLock;

    // The application shell: its loop, the applications around it, focus
    // inside Spotlight, secure input, browser scripting, the menu bar and
    // the helper's alerts.
    MainLoop& mainLoop;
    Workspace& workspace;
    AccessibilityClient& accessibilityClient;
    SecureInput& secureInput;
    BrowserScripting& browserScripting;
    StatusBar& statusBar;
    Alerts& alerts;
};

} // namespace vanto
