// The portable adapters wired into one Platform bundle.
#pragma once

#include "platform/platform.h"
#include "platform/portable/portable_events.h"
#include "platform/portable/portable_notifications.h"
#include "platform/portable/portable_process_info.h"
#include "platform/portable/portable_property_lists.h"
#include "platform/portable/portable_user_defaults.h"

namespace vanto {

class PortablePlatform {
  public:
    PortablePlatform() = default;
    PortablePlatform(const PortablePlatform&) = delete;
    PortablePlatform& operator=(const PortablePlatform&) = delete;

    Platform& platform() { return platform_; }

    PortableKeyboardEvents keyboardEvents;
    PortableEventTapHost eventTapHost;
    PortableAccessibility accessibility;
    PortableProcessInfo processInfo;
    PortableUserDefaultsProvider defaults;
    PortableNotificationHub notifications;
    PortablePropertyLists propertyLists;

  private:
    Platform platform_{keyboardEvents, eventTapHost, accessibility, processInfo,
                       defaults,       notifications, propertyLists};
};

} // namespace vanto
