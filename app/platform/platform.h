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

namespace vanto {

struct Platform {
    KeyboardEvents& keyboardEvents;
    EventTapHost& eventTapHost;
    Accessibility& accessibility;
    ProcessInfo& processInfo;
    UserDefaultsProvider& defaults;
    DistributedNotifications& notifications;
    PropertyLists& propertyLists;
};

} // namespace vanto
