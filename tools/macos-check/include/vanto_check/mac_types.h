// Stand-in for the basic types of MacTypes.h on macOS.
#pragma once

#include <stdint.h>

typedef uint8_t UInt8;
typedef int8_t SInt8;
typedef uint16_t UInt16;
typedef int16_t SInt16;
typedef uint32_t UInt32;
typedef int32_t SInt32;
typedef uint64_t UInt64;
typedef int64_t SInt64;
typedef unsigned char Boolean;
typedef SInt32 OSStatus;
typedef SInt16 OSErr;
typedef UInt16 UniChar;
typedef unsigned long UniCharCount;
typedef UInt32 FourCharCode;
typedef FourCharCode OSType;
enum { noErr = 0 };
