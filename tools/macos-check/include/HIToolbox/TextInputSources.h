// Stand-in for HIToolbox/TextInputSources.h of the macOS SDK: the Text Input
// Sources calls, property keys and notification the adapters use, with the
// documented types. An input source is a Core Foundation object of its own
// type, so it converts to no other CF type without a cast. Unlike most CF
// types it carries no toll-free bridging attribute, and the header is not
// audited for implicit bridging or nullability, as in the SDK.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN

typedef struct __TISInputSource* TISInputSourceRef;

CF_EXPORT CFTypeID TISInputSourceGetTypeID(void);

// Get rule: the value belongs to the input source (CFStringRef, CFBooleanRef,
// CFArrayRef or CFDataRef according to the key; not retained for the caller).
CF_EXPORT void* TISGetInputSourceProperty(TISInputSourceRef inputSource, CFStringRef propertyKey);

// Create and Copy rules: the caller releases the result.
CF_EXPORT CFArrayRef TISCreateInputSourceList(CFDictionaryRef properties,
                                              Boolean includeAllInstalled);
CF_EXPORT TISInputSourceRef TISCopyCurrentKeyboardInputSource(void);
CF_EXPORT TISInputSourceRef TISCopyCurrentKeyboardLayoutInputSource(void);

CF_EXPORT OSStatus TISSelectInputSource(TISInputSourceRef inputSource);
CF_EXPORT OSStatus TISDeselectInputSource(TISInputSourceRef inputSource);
CF_EXPORT OSStatus TISEnableInputSource(TISInputSourceRef inputSource);
CF_EXPORT OSStatus TISDisableInputSource(TISInputSourceRef inputSource);
CF_EXPORT OSStatus TISRegisterInputSource(CFURLRef location);

// Property keys.
CF_EXPORT const CFStringRef kTISPropertyInputSourceCategory;
CF_EXPORT const CFStringRef kTISPropertyInputSourceType;
CF_EXPORT const CFStringRef kTISPropertyInputSourceIsASCIICapable;
CF_EXPORT const CFStringRef kTISPropertyInputSourceIsEnableCapable;
CF_EXPORT const CFStringRef kTISPropertyInputSourceIsSelectCapable;
CF_EXPORT const CFStringRef kTISPropertyInputSourceIsEnabled;
CF_EXPORT const CFStringRef kTISPropertyInputSourceIsSelected;
CF_EXPORT const CFStringRef kTISPropertyInputSourceID;
CF_EXPORT const CFStringRef kTISPropertyBundleID;
CF_EXPORT const CFStringRef kTISPropertyInputModeID;
CF_EXPORT const CFStringRef kTISPropertyLocalizedName;
CF_EXPORT const CFStringRef kTISPropertyInputSourceLanguages;
CF_EXPORT const CFStringRef kTISPropertyUnicodeKeyLayoutData;

// Values of kTISPropertyInputSourceCategory.
CF_EXPORT const CFStringRef kTISCategoryKeyboardInputSource;
CF_EXPORT const CFStringRef kTISCategoryPaletteInputSource;
CF_EXPORT const CFStringRef kTISCategoryInkInputSource;

// Values of kTISPropertyInputSourceType.
CF_EXPORT const CFStringRef kTISTypeKeyboardLayout;
CF_EXPORT const CFStringRef kTISTypeKeyboardInputMethodWithoutModes;
CF_EXPORT const CFStringRef kTISTypeKeyboardInputMethodModeEnabled;
CF_EXPORT const CFStringRef kTISTypeKeyboardInputMode;

// Distributed notifications (no object, no user info).
CF_EXPORT const CFStringRef kTISNotifySelectedKeyboardInputSourceChanged;
CF_EXPORT const CFStringRef kTISNotifyEnabledKeyboardInputSourcesChanged;

CF_EXTERN_C_END
