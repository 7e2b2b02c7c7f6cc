// Stand-in for CoreGraphics/CoreGraphics.h of the macOS SDK, reduced to
// Quartz Event Services: event sources, keyboard events and their fields,
// event taps and posting. Events and sources are Core Foundation objects
// (CFRetain/CFRelease); a tap is a CFMachPort.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#define CG_EXTERN extern

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
typedef CGEventRef (*CGEventTapCallBack)(CGEventTapProxy proxy, CGEventType type,
                                         CGEventRef event, void* userInfo);

// Events.
CG_EXTERN CFTypeID CGEventGetTypeID(void);
CG_EXTERN CGEventRef CGEventCreate(CGEventSourceRef source) CF_RETURNS_RETAINED;
CG_EXTERN CGEventRef CGEventCreateCopy(CGEventRef event) CF_RETURNS_RETAINED;
CG_EXTERN CGEventRef CGEventCreateKeyboardEvent(CGEventSourceRef source, CGKeyCode virtualKey,
                                                bool keyDown) CF_RETURNS_RETAINED;
CG_EXTERN CGEventSourceRef CGEventCreateSourceFromEvent(CGEventRef event) CF_RETURNS_RETAINED;
CG_EXTERN CGEventType CGEventGetType(CGEventRef event);
CG_EXTERN void CGEventSetType(CGEventRef event, CGEventType type);
CG_EXTERN CGEventTimestamp CGEventGetTimestamp(CGEventRef event);
CG_EXTERN CGEventFlags CGEventGetFlags(CGEventRef event);
CG_EXTERN void CGEventSetFlags(CGEventRef event, CGEventFlags flags);
CG_EXTERN int64_t CGEventGetIntegerValueField(CGEventRef event, CGEventField field);
CG_EXTERN void CGEventSetIntegerValueField(CGEventRef event, CGEventField field, int64_t value);
CG_EXTERN void CGEventKeyboardGetUnicodeString(CGEventRef event, UniCharCount maxStringLength,
                                               UniCharCount* actualStringLength,
                                               UniChar* unicodeString);
CG_EXTERN void CGEventKeyboardSetUnicodeString(CGEventRef event, UniCharCount stringLength,
                                               const UniChar* unicodeString);

// Event sources.
CG_EXTERN CFTypeID CGEventSourceGetTypeID(void);
CG_EXTERN CGEventSourceRef CGEventSourceCreate(CGEventSourceStateID stateID) CF_RETURNS_RETAINED;
CG_EXTERN CGEventSourceStateID CGEventSourceGetSourceStateID(CGEventSourceRef source);
CG_EXTERN CGEventSourceKeyboardType CGEventSourceGetKeyboardType(CGEventSourceRef source);
CG_EXTERN void CGEventSourceSetKeyboardType(CGEventSourceRef source,
                                            CGEventSourceKeyboardType keyboardType);
CG_EXTERN CGEventFlags CGEventSourceFlagsState(CGEventSourceStateID stateID);
CG_EXTERN bool CGEventSourceKeyState(CGEventSourceStateID stateID, CGKeyCode key);

// Event taps and posting.
CG_EXTERN CFMachPortRef CGEventTapCreate(CGEventTapLocation tap, CGEventTapPlacement place,
                                         CGEventTapOptions options,
                                         CGEventMask eventsOfInterest,
                                         CGEventTapCallBack callback,
                                         void* userInfo) CF_RETURNS_RETAINED;
CG_EXTERN void CGEventTapEnable(CFMachPortRef tap, bool enable);
CG_EXTERN bool CGEventTapIsEnabled(CFMachPortRef tap);
CG_EXTERN void CGEventTapPostEvent(CGEventTapProxy proxy, CGEventRef event);
CG_EXTERN void CGEventPost(CGEventTapLocation tap, CGEventRef event);

CF_EXTERN_C_END
