// Stand-in for HIToolbox/TextInputSources.h of the macOS SDK.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
