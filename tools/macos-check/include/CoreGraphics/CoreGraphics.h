// Stand-in for CoreGraphics/CoreGraphics.h of the macOS SDK, reduced to
// Quartz Event Services: event sources, keyboard events and their fields,
// event taps and posting. Events and sources are Core Foundation objects
// (CFRetain/CFRelease); a tap is a CFMachPort. As in the SDK, every pointer
// is non-null unless marked nullable, and results follow the Create rule
// through the audit for implicit bridging.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#define CG_EXTERN extern

CF_IMPLICIT_BRIDGING_ENABLED
CF_ASSUME_NONNULL_BEGIN
CF_EXTERN_C_BEGIN

typedef struct CF_BRIDGED_TYPE(id) __CGEvent* CGEventRef;
typedef struct CF_BRIDGED_TYPE(id) __CGEventSource* CGEventSourceRef;
// Not a Core Foundation object: valid only during the tap callback that
// received it.
typedef struct __CGEventTapProxy* CGEventTapProxy;

typedef uint16_t CGKeyCode;
typedef uint16_t CGCharCode;
typedef uint64_t CGEventMask;
typedef uint64_t CGEventTimestamp;
typedef uint32_t CGEventSourceKeyboardType;

typedef CF_ENUM(uint32_t, CGEventType){
    kCGEventNull = 0,
    kCGEventLeftMouseDown = 1,
    kCGEventLeftMouseUp = 2,
    kCGEventRightMouseDown = 3,
    kCGEventRightMouseUp = 4,
    kCGEventMouseMoved = 5,
    kCGEventLeftMouseDragged = 6,
    kCGEventRightMouseDragged = 7,
    kCGEventKeyDown = 10,
    kCGEventKeyUp = 11,
    kCGEventFlagsChanged = 12,
    kCGEventScrollWheel = 22,
    kCGEventTabletPointer = 23,
    kCGEventTabletProximity = 24,
    kCGEventOtherMouseDown = 25,
    kCGEventOtherMouseUp = 26,
    kCGEventOtherMouseDragged = 27,
    kCGEventTapDisabledByTimeout = 0xFFFFFFFE,
    kCGEventTapDisabledByUserInput = 0xFFFFFFFF,
};

#define CGEventMaskBit(eventType) ((CGEventMask)1 << (eventType))
#define kCGEventMaskForAllEvents (~(CGEventMask)0)

typedef CF_OPTIONS(uint64_t, CGEventFlags){
    kCGEventFlagMaskAlphaShift = 0x00010000,
    kCGEventFlagMaskShift = 0x00020000,
    kCGEventFlagMaskControl = 0x00040000,
    kCGEventFlagMaskAlternate = 0x00080000,
    kCGEventFlagMaskCommand = 0x00100000,
    kCGEventFlagMaskNumericPad = 0x00200000,
    kCGEventFlagMaskHelp = 0x00400000,
    kCGEventFlagMaskSecondaryFn = 0x00800000,
    kCGEventFlagMaskNonCoalesced = 0x00000100,
};

typedef CF_ENUM(uint32_t, CGEventField){
    kCGMouseEventNumber = 0,
    kCGMouseEventClickState = 1,
    kCGMouseEventPressure = 2,
    kCGMouseEventButtonNumber = 3,
    kCGMouseEventDeltaX = 4,
    kCGMouseEventDeltaY = 5,
    kCGMouseEventInstantMouser = 6,
    kCGMouseEventSubtype = 7,
    kCGKeyboardEventAutorepeat = 8,
    kCGKeyboardEventKeycode = 9,
    kCGKeyboardEventKeyboardType = 10,
    kCGEventTargetProcessSerialNumber = 39,
    kCGEventTargetUnixProcessID = 40,
    kCGEventSourceUnixProcessID = 41,
    kCGEventSourceUserData = 42,
    kCGEventSourceUserID = 43,
    kCGEventSourceGroupID = 44,
    kCGEventSourceStateID = 45,
};

typedef CF_ENUM(uint32_t, CGEventTapLocation){
    kCGHIDEventTap = 0,
    kCGSessionEventTap = 1,
    kCGAnnotatedSessionEventTap = 2,
};

typedef CF_ENUM(uint32_t, CGEventTapPlacement){
    kCGHeadInsertEventTap = 0,
    kCGTailAppendEventTap = 1,
};

typedef CF_ENUM(uint32_t, CGEventTapOptions){
    kCGEventTapOptionDefault = 0x00000000,
    kCGEventTapOptionListenOnly = 0x00000001,
};

typedef CF_ENUM(int32_t, CGEventSourceStateID){
    kCGEventSourceStatePrivate = -1,
    kCGEventSourceStateCombinedSessionState = 0,
    kCGEventSourceStateHIDSystemState = 1,
};

// Returns the event to deliver (the one received, possibly changed, or a
// replacement) or NULL to drop it. The event belongs to the caller.
typedef CGEventRef _Nullable (*CGEventTapCallBack)(CGEventTapProxy proxy, CGEventType type,
                                                   CGEventRef event, void* _Nullable userInfo);

// Events.
CG_EXTERN CFTypeID CGEventGetTypeID(void);
CG_EXTERN CGEventRef _Nullable CGEventCreate(CGEventSourceRef _Nullable source);
CG_EXTERN CGEventRef _Nullable CGEventCreateCopy(CGEventRef _Nullable event);
CG_EXTERN CGEventRef _Nullable CGEventCreateKeyboardEvent(CGEventSourceRef _Nullable source,
                                                          CGKeyCode virtualKey, bool keyDown);
CG_EXTERN CGEventSourceRef _Nullable CGEventCreateSourceFromEvent(CGEventRef _Nullable event);
CG_EXTERN CGEventType CGEventGetType(CGEventRef _Nullable event);
CG_EXTERN void CGEventSetType(CGEventRef _Nullable event, CGEventType type);
CG_EXTERN CGEventTimestamp CGEventGetTimestamp(CGEventRef _Nullable event);
CG_EXTERN CGEventFlags CGEventGetFlags(CGEventRef _Nullable event);
CG_EXTERN void CGEventSetFlags(CGEventRef _Nullable event, CGEventFlags flags);
CG_EXTERN int64_t CGEventGetIntegerValueField(CGEventRef _Nullable event, CGEventField field);
CG_EXTERN void CGEventSetIntegerValueField(CGEventRef _Nullable event, CGEventField field,
                                           int64_t value);
CG_EXTERN void CGEventKeyboardGetUnicodeString(CGEventRef _Nullable event,
                                               UniCharCount maxStringLength,
                                               UniCharCount* _Nullable actualStringLength,
                                               UniChar* _Nullable unicodeString);
CG_EXTERN void CGEventKeyboardSetUnicodeString(CGEventRef _Nullable event,
                                               UniCharCount stringLength,
                                               const UniChar* _Nullable unicodeString);

// Event sources.
CG_EXTERN CFTypeID CGEventSourceGetTypeID(void);
CG_EXTERN CGEventSourceRef _Nullable CGEventSourceCreate(CGEventSourceStateID stateID);
CG_EXTERN CGEventSourceStateID CGEventSourceGetSourceStateID(CGEventSourceRef _Nullable source);
CG_EXTERN CGEventSourceKeyboardType CGEventSourceGetKeyboardType(CGEventSourceRef _Nullable source);
CG_EXTERN void CGEventSourceSetKeyboardType(CGEventSourceRef _Nullable source,
                                            CGEventSourceKeyboardType keyboardType);
CG_EXTERN CGEventFlags CGEventSourceFlagsState(CGEventSourceStateID stateID);
CG_EXTERN bool CGEventSourceKeyState(CGEventSourceStateID stateID, CGKeyCode key);

// Event taps and posting.
CG_EXTERN CFMachPortRef _Nullable CGEventTapCreate(
    CGEventTapLocation tap, CGEventTapPlacement place, CGEventTapOptions options,
    CGEventMask eventsOfInterest, CGEventTapCallBack callback, void* _Nullable userInfo);
CG_EXTERN void CGEventTapEnable(CFMachPortRef tap, bool enable);
CG_EXTERN bool CGEventTapIsEnabled(CFMachPortRef tap);
CG_EXTERN void CGEventTapPostEvent(CGEventTapProxy _Nullable proxy, CGEventRef _Nullable event);
CG_EXTERN void CGEventPost(CGEventTapLocation tap, CGEventRef _Nullable event);

CF_EXTERN_C_END
CF_ASSUME_NONNULL_END
CF_IMPLICIT_BRIDGING_DISABLED
