// AppKit additions for the services adapters: the workspace's activation
// notification, revealing files and finding applications.
#pragma once

// Posted on the workspace's own notification centre; userInfo holds the
// NSRunningApplication under NSWorkspaceApplicationKey.
APPKIT_EXTERN NSNotificationName const NSWorkspaceDidActivateApplicationNotification;
APPKIT_EXTERN NSNotificationName const NSWorkspaceDidDeactivateApplicationNotification;
APPKIT_EXTERN NSString* const NSWorkspaceApplicationKey;

@interface NSWorkspace (VantoCheck)
- (void)activateFileViewerSelectingURLs:(NSArray<NSURL*>*)fileURLs;
// nil when no application has that identifier.
- (NSURL*)URLForApplicationWithBundleIdentifier:(NSString*)bundleIdentifier;
@end
