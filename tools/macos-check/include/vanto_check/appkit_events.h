// AppKit additions for the events adapters.
#pragma once

// The macOS 10.12 name of the event type an application posts to itself
// (GNUstep knows it only by its older name, with the same value).
enum : NSEventType {
    NSEventTypeApplicationDefined = NSApplicationDefined,
};
