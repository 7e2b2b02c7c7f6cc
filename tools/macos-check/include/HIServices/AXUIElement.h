// Stand-in for the Accessibility client interface of HIServices: AXError.h,
// AXUIElement.h and the string constants of AXAttributeConstants.h,
// AXNotificationConstants.h and AXRoleConstants.h, in one file. Elements and
// observers are Core Foundation types; every constant is a CFSTR, as on
// macOS. Only what the adapters use is here. Ownership follows the names:
// ...Create... and ...Copy... results (including the value and observer
// handed back through a pointer) belong to the caller; ...Get... results
// are borrowed. As in the SDK, the calls are audited for implicit bridging
// and every pointer is non-null unless marked nullable.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN

typedef CF_ENUM(SInt32, AXError){
    kAXErrorSuccess = 0,
    kAXErrorFailure = -25200,
    kAXErrorIllegalArgument = -25201,
    kAXErrorInvalidUIElement = -25202,
    kAXErrorInvalidUIElementObserver = -25203,
    kAXErrorCannotComplete = -25204,
    kAXErrorAttributeUnsupported = -25205,
    kAXErrorActionUnsupported = -25206,
    kAXErrorNotificationUnsupported = -25207,
    kAXErrorNotImplemented = -25208,
    kAXErrorNotificationAlreadyRegistered = -25209,
    kAXErrorNotificationNotRegistered = -25210,
    kAXErrorAPIDisabled = -25211,
    kAXErrorNoValue = -25212,
    kAXErrorParameterizedAttributeUnsupported = -25213,
    kAXErrorNotEnoughPrecision = -25214,
};

// The permission's option key is a variable, not a constant: ARC does not
// treat a read of it as a borrowed object, so a cast needs __bridge. (The
// SDK declares it inside its non-null region, which adds _Nonnull to the
// type clang reports; declared before the region here, the key keeps the
// plain type that mistakes.mm expects in its message.)
extern CFStringRef kAXTrustedCheckOptionPrompt;

CF_ASSUME_NONNULL_BEGIN
CF_IMPLICIT_BRIDGING_ENABLED

typedef const struct CF_BRIDGED_TYPE(id) __AXUIElement* AXUIElementRef;
typedef struct CF_BRIDGED_TYPE(id) __AXObserver* AXObserverRef;

// The permission.
extern Boolean AXIsProcessTrusted(void);
extern Boolean AXIsProcessTrustedWithOptions(CFDictionaryRef _Nullable options);

// Elements.
extern CFTypeID AXUIElementGetTypeID(void);
extern AXUIElementRef AXUIElementCreateApplication(pid_t pid);
extern AXUIElementRef AXUIElementCreateSystemWide(void);
extern AXError
AXUIElementCopyAttributeValue(AXUIElementRef element, CFStringRef attribute,
                              CFTypeRef _Nullable* _Nonnull CF_RETURNS_RETAINED value);
extern AXError AXUIElementGetPid(AXUIElementRef element, pid_t* pid);
extern AXError AXUIElementSetMessagingTimeout(AXUIElementRef element, float timeoutInSeconds);

// Observers.
typedef void (*AXObserverCallback)(AXObserverRef observer, AXUIElementRef element,
                                   CFStringRef notification, void* _Nullable refcon);
extern CFTypeID AXObserverGetTypeID(void);
extern AXError AXObserverCreate(pid_t application, AXObserverCallback callback,
                                AXObserverRef _Nullable* _Nonnull CF_RETURNS_RETAINED outObserver);
extern AXError AXObserverAddNotification(AXObserverRef observer, AXUIElementRef element,
                                         CFStringRef notification, void* _Nullable refcon);
extern AXError AXObserverRemoveNotification(AXObserverRef observer, AXUIElementRef element,
                                            CFStringRef notification);
extern CFRunLoopSourceRef AXObserverGetRunLoopSource(AXObserverRef observer);

CF_IMPLICIT_BRIDGING_DISABLED
CF_ASSUME_NONNULL_END
CF_EXTERN_C_END

// Attributes.
#define kAXRoleAttribute CFSTR("AXRole")
#define kAXSubroleAttribute CFSTR("AXSubrole")
#define kAXFocusedUIElementAttribute CFSTR("AXFocusedUIElement")

// Notifications.
#define kAXFocusedUIElementChangedNotification CFSTR("AXFocusedUIElementChanged")
#define kAXApplicationHiddenNotification CFSTR("AXApplicationHidden")
#define kAXApplicationShownNotification CFSTR("AXApplicationShown")

// Roles.
#define kAXTextFieldRole CFSTR("AXTextField")
#define kAXTextAreaRole CFSTR("AXTextArea")
#define kAXComboBoxRole CFSTR("AXComboBox")
