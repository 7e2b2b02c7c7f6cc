// Deliberate mistakes: each line marked "expected-error" must be rejected
// by the compile check, exactly as the macOS SDK would reject it. If the
// stand-in headers grow so loose that one of these compiles, this file's
// test fails (clang -verify also fails on any error not marked here).
#import <AppKit/AppKit.h>
#import <Foundation/Foundation.h>
#include <ApplicationServices/ApplicationServices.h>
#include <Carbon/Carbon.h>
#include <CoreFoundation/CoreFoundation.h>
#include <IOKit/IOKitLib.h>

#include "platform/macos/cf_ref.h"

// ---- Core Foundation, ARC and dispatch ----

void coreFoundationMistakes(CFStringRef text, CFArrayRef list, NSString* string) {
    NSString* unbridged = text; // expected-error {{cannot initialize a variable of type 'NSString *__strong' with an lvalue of type 'CFStringRef'}}
    (void)unbridged;
    CFIndex length = CFStringGetLength(string); // expected-error {{no matching function for call to 'CFStringGetLength'}}
    (void)length;
    NSArray* wrongClass = (__bridge NSArray*)text; // expected-error {{bridges to NSString, not 'NSArray'}}
    (void)wrongClass;
    CFRunLoopAddSource(CFRunLoopGetCurrent(), nullptr); // expected-error {{no matching function for call to 'CFRunLoopAddSource'}}
    CFNoSuchFunction(list); // expected-error {{undeclared identifier}}
    id leaked = (__bridge_transfer id)CFBridgingRetain(string);
    CFBridgingRelease(leaked); // expected-error {{no matching function for call to 'CFBridgingRelease'}}
    dispatch_async(dispatch_get_main_queue(), 42); // expected-error {{no matching function}}
    [string noSuchMessage]; // expected-error {{no visible @interface}}
}

void holderMistakes(CFStringRef text) {
    auto held = vanto::mac::CFRef<CFStringRef>::adopt(text);
    auto copy = held; // expected-error {{call to deleted constructor}}
    (void)copy;
}

// ---- Quartz events, IOKit and the process ----

// ---- Text input sources, Accessibility and AppKit services ----

// ---- The settings window ----
