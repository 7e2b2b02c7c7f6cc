// Stand-in for HIToolbox/CarbonEventsCore.h of the macOS SDK.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
