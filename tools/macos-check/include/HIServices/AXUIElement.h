// Stand-in for HIServices/AXUIElement.h of the macOS SDK.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
