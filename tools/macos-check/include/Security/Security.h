// Stand-in for Security/Security.h of the macOS SDK: the code-signing calls
// that tell a running program which signature it carries. Every Copy hands
// the caller an owned Core Foundation object.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <vanto_check/mac_types.h>

#include <stdint.h>

typedef uint32_t SecCSFlags;
enum { kSecCSDefaultFlags = 0 };
enum { errSecSuccess = 0 };

typedef struct CF_BRIDGED_TYPE(id) __SecCode* SecCodeRef;
typedef struct CF_BRIDGED_TYPE(id) __SecCode const* SecStaticCodeRef;
typedef struct CF_BRIDGED_TYPE(id) __SecRequirement* SecRequirementRef;

CF_EXTERN_C_BEGIN

// The objects stored through the last argument belong to the caller.
OSStatus SecCodeCopySelf(SecCSFlags flags, SecCodeRef* code);
OSStatus SecCodeCopyDesignatedRequirement(SecStaticCodeRef code, SecCSFlags flags,
                                          SecRequirementRef* requirement);
OSStatus SecRequirementCopyString(SecRequirementRef requirement, SecCSFlags flags,
                                  CFStringRef* text);

CF_EXTERN_C_END
