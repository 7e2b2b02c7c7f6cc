// Stand-in for HIToolbox/Events.h of the macOS SDK.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
