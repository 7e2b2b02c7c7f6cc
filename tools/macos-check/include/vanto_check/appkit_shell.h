// AppKit additions for the shell adapters: the status item's button and
// the alert styles named since macOS 10.12.
#pragma once

@interface NSStatusItem (VantoCheck)
// Made with the item; carries its title, target and action.
@property (readonly, strong) NSStatusBarButton* button;
@end

enum : NSAlertStyle {
    NSAlertStyleWarning = 0,
    NSAlertStyleInformational = 1,
    NSAlertStyleCritical = 2,
};
