// Stand-in for IOKit/IOKitLib.h of the macOS SDK.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
