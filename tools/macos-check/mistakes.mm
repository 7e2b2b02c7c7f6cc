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

void voidTapCallback(CGEventTapProxy, CGEventType, CGEventRef, void*) {}

void quartzMistakes(CGEventRef event, CFTypeRef property, CGEventMask mask) {
    CFMachPortRef port = CGEventTapCreate(kCGHIDEventTap, kCGTailAppendEventTap, kCGEventTapOptionDefault, mask, voidTapCallback, nullptr); // expected-error {{no matching function for call to 'CGEventTapCreate'}}
    (void)port;
    CFIndex length = CFStringGetLength(event); // expected-error {{no matching function for call to 'CFStringGetLength'}}
    (void)length;
    IOObjectRelease(property); // expected-error {{no matching function for call to 'IOObjectRelease'}}
    auto root = vanto::mac::CFRef<CFTypeRef>::adopt(IORegistryGetRootEntry(kIOMainPortDefault)); // expected-error {{cannot initialize a parameter of type 'const void *' with an rvalue of type 'io_registry_entry_t'}}
    IOObjectRelease(IORegistryGetRootEntry(kIOMasterPortDefault)); // expected-error {{'kIOMasterPortDefault' is deprecated}}
}

// ---- Text input sources, user defaults and processes ----

void inputSourceMistakes(NSDictionary* filter, TISInputSourceRef source, NSTask* task) {
    CFArrayRef list = TISCreateInputSourceList(filter, true); // expected-error {{no matching function for call to 'TISCreateInputSourceList'}}
    (void)list;
    CFIndex length = CFStringGetLength(source); // expected-error {{no matching function for call to 'CFStringGetLength'}}
    (void)length;
    CFStringRef identifier = TISGetInputSourceProperty(source, kTISPropertyInputSourceID); // expected-error {{cannot initialize a variable of type 'CFStringRef' (aka 'const __CFString *') with an rvalue of type 'void *'}}
    (void)identifier;
    task.executableURL = @"/bin/launchctl"; // expected-error {{incompatible pointer types assigning to 'NSURL *' from 'NSString *'}}
}

// ---- Accessibility, workspace and AppKit services ----

void accessibilityMistakes(AXUIElementRef element, NSString* path) {
    AXObserverAddNotification(element, element, kAXFocusedUIElementChangedNotification, nullptr); // expected-error {{no matching function for call to 'AXObserverAddNotification'}}
    NSDictionary* options = @{kAXTrustedCheckOptionPrompt : @YES}; // expected-error {{collection element of type 'CFStringRef' (aka 'const __CFString *') is not an Objective-C object}}
    (void)options;
    [[NSWorkspace sharedWorkspace] activateFileViewerSelectingURLs:path]; // expected-error {{cannot initialize a parameter of type 'NSArray<NSURL *> *'}}
}

// ---- The settings window ----

void settingsWindowMistakes(NSView* view, NSStackView* column, NSWindow* window, NSWindow* sheet) {
    [view.leadingAnchor constraintEqualToAnchor:view.topAnchor]; // expected-error {{cannot initialize a parameter of type 'NSLayoutXAxisAnchor *' with an rvalue of type 'NSLayoutYAxisAnchor *'}}
    [view.widthAnchor constraintEqualToAnchor:@"width"]; // expected-error {{cannot initialize a parameter of type 'NSLayoutDimension *' with an rvalue of type 'NSString *'}}
    [column addArrangedSubview:view inGravity:NSStackViewGravityTop]; // expected-error {{no visible @interface for 'NSStackView' declares the selector 'addArrangedSubview:inGravity:'}}
    [window beginSheet:sheet completionHandler:^(BOOL confirmed) { (void)confirmed; }]; // expected-error {{cannot initialize a parameter of type 'void (^)(NSModalResponse)'}}
    [NSImage imageWithSystemSymbolName:"globe" accessibilityDescription:nil]; // expected-error {{string literal must be prefixed by '@'}}
}
