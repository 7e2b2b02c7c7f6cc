// Foundation additions for the ui adapters: the operating system's version
// as NSProcessInfo reports it (macOS 10.10), declared as the macOS SDK
// declares it.
#pragma once

// Another group's file may need the same struct; whichever comes first
// declares it, under this guard.
#ifndef VANTO_CHECK_NS_OPERATING_SYSTEM_VERSION
#define VANTO_CHECK_NS_OPERATING_SYSTEM_VERSION
typedef struct {
    NSInteger majorVersion;
    NSInteger minorVersion;
    NSInteger patchVersion;
} NSOperatingSystemVersion;
#endif

@interface NSProcessInfo (VantoCheckUI)
@property (readonly) NSOperatingSystemVersion operatingSystemVersion;
- (BOOL)isOperatingSystemAtLeastVersion:(NSOperatingSystemVersion)version;
@end
