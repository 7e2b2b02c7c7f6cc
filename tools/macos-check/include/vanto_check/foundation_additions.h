// Foundation members of the macOS SDK that GNUstep lacks, one file per
// group of adapters.
#pragma once

// The ARC ownership transfers of NSObject.h.
static inline __attribute__((cf_returns_retained)) CFTypeRef CFBridgingRetain(id object) {
    return (__bridge_retained CFTypeRef)object;
}
static inline id CFBridgingRelease(CFTypeRef __attribute__((cf_consumed)) object) {
    return (__bridge_transfer id)object;
}

#include <vanto_check/foundation_events.h>
#include <vanto_check/foundation_services.h>
#include <vanto_check/foundation_shell.h>
#include <vanto_check/foundation_ui.h>
