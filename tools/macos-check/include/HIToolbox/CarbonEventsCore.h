// Stand-in for HIToolbox/CarbonEventsCore.h of the macOS SDK: Secure Event
// Input, during which the system hands keystrokes to no event tap.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN

OSStatus EnableSecureEventInput(void);
OSStatus DisableSecureEventInput(void);
Boolean IsSecureEventInputEnabled(void);

CF_EXTERN_C_END
