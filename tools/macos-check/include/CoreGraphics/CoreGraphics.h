// Stand-in for CoreGraphics/CoreGraphics.h of the macOS SDK.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
