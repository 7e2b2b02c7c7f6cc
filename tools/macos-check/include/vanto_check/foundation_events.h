// Foundation additions for the events adapters.
#pragma once

// Timer tolerance (macOS 10.9): how late the system may fire a tick to
// coalesce wake-ups.
@interface NSTimer (VantoCheckEvents)
@property NSTimeInterval tolerance;
@end
