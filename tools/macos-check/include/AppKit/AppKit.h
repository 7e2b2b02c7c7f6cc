// AppKit as the macOS SDK offers it: GNUstep's declarations, with the
// system services AppKit brings along on macOS (Quartz, Accessibility) and
// the newer members GNUstep lacks added after it.
#pragma once

#include <Foundation/Foundation.h>
#include <ApplicationServices/ApplicationServices.h>
#include_next <AppKit/AppKit.h>

#include <vanto_check/appkit_additions.h>
