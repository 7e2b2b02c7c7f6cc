// Stand-in for IOKit/IOKitLib.h of the macOS SDK: I/O registry entries and
// their properties. Registry objects are Mach ports, released with
// IOObjectRelease, never CFRelease; the properties they hand out are Core
// Foundation objects owned by the caller.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <mach/mach.h>

typedef mach_port_t io_object_t;
typedef io_object_t io_registry_entry_t;
typedef io_object_t io_service_t;
typedef io_object_t io_iterator_t;
typedef UInt32 IOOptionBits;

#define IO_OBJECT_NULL ((io_object_t)0)

CF_EXTERN_C_BEGIN

// The default main port (macOS 12 and later), replacing kIOMasterPortDefault.
CF_EXPORT const mach_port_t kIOMainPortDefault;
CF_EXPORT const mach_port_t kIOMasterPortDefault
    __attribute__((deprecated("use kIOMainPortDefault")));

kern_return_t IOObjectRetain(io_object_t object);
kern_return_t IOObjectRelease(io_object_t object);
io_registry_entry_t IORegistryGetRootEntry(mach_port_t mainPort);
CFTypeRef IORegistryEntryCreateCFProperty(io_registry_entry_t entry, CFStringRef key,
                                          CFAllocatorRef allocator,
                                          IOOptionBits options) CF_RETURNS_RETAINED;

CF_EXTERN_C_END
