// Foundation additions for the services adapters: the members of user
// defaults, tasks and the file manager that macOS has and GNUstep lacks,
// declared as the macOS SDK declares them.
#pragma once

@interface NSUserDefaults (VantoCheck)
// macOS 10.9: nil when the suite cannot be opened.
- (instancetype)initWithSuiteName:(NSString*)suitename;
@end

@interface NSTask (VantoCheck)
// macOS 10.13: the URL form of the launch path, and a launch that reports
// its failure instead of raising.
@property(copy) NSURL* executableURL;
- (BOOL)launchAndReturnError:(out NSError**)error;
// macOS 10.7: called once the task has ended, on a queue of the system's.
@property(copy) void (^terminationHandler)(NSTask*);
@end

@interface NSFileManager (VantoCheck)
// macOS 10.6: the URLs of a standard directory, most relevant first.
- (NSArray<NSURL*>*)URLsForDirectory:(NSSearchPathDirectory)directory
                           inDomains:(NSSearchPathDomainMask)domainMask;
@end
