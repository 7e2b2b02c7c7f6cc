// Foundation as the macOS SDK offers it: GNUstep's declarations, with Core
// Foundation underneath (as on macOS) and the newer members GNUstep lacks
// added after it.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include_next <Foundation/Foundation.h>
#include <dispatch/dispatch.h>

#include <vanto_check/foundation_additions.h>
