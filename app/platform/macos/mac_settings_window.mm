// The settings window: the typing options with the permission and input-menu
// status, and the exclusion list, laid out in AppKit on the window's model.
#import "platform/macos/mac_settings_window.h"

#include "platform/macos/ns_text.h"
#include "settings/exclusion.h"
#include "settings/settings.h"
#include "settings/unicode.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

using vanto::Exclusion;
using vanto::Settings;
using vanto::mac::SettingsWindowContext;
using namespace vanto::SettingsWindow;
namespace ui = vanto::mac::ui;

namespace {

constexpr CGFloat kWindowMargin = 12;
constexpr CGFloat kTabMargin = 16;
constexpr CGFloat kRowSpacing = 8;
constexpr CGFloat kStatusIconSize = 16;
constexpr CGFloat kListRowHeight = 36;
constexpr CGFloat kListIconSize = 24;
// The help text wraps a little inside the tab's width, so that its height
// is never measured for a line longer than the one it gets.
constexpr CGFloat kHelpTextWidth = kContentWidth - 2 * (kWindowMargin + kTabMargin) - 40;
// The status rows are polled; a little slack lets the system coalesce the
// wake-ups with others.
constexpr double kStatusRefreshTolerance = 0.3;
constexpr std::string_view kGenericAppSymbol = "app";
constexpr std::string_view kRemoveSymbol = "minus.circle";

NSControlStateValue stateOf(bool on) {
    return on ? NSControlStateValueOn : NSControlStateValueOff;
}

NSStackView* stack(NSUserInterfaceLayoutOrientation orientation, NSArray<NSView*>* views) {
    NSStackView* stack = [NSStackView stackViewWithViews:views];
    stack.orientation = orientation;
    stack.alignment = orientation == NSUserInterfaceLayoutOrientationHorizontal
                          ? NSLayoutAttributeCenterY
                          : NSLayoutAttributeLeading;
    stack.spacing = kRowSpacing;
    stack.detachesHiddenViews = YES;
    stack.translatesAutoresizingMaskIntoConstraints = NO;
    return stack;
}

// A row with its text at the leading edge and its control at the trailing one.
NSStackView* spreadRow(NSView* leading, NSView* trailing) {
    NSStackView* row = stack(NSUserInterfaceLayoutOrientationHorizontal, @[]);
    [row addView:leading inGravity:NSStackViewGravityLeading];
    [row addView:trailing inGravity:NSStackViewGravityTrailing];
    return row;
}

// Rows go to the column's top gravity area, one under the other.
void addRow(NSStackView* column, NSView* row) {
    [column addView:row inGravity:NSStackViewGravityTop];
}

void fillWidth(NSView* row, NSView* column) {
    [row.widthAnchor constraintEqualToAnchor:column.widthAnchor].active = YES;
}

void limitWidth(NSView* row, NSView* column) {
    [row.widthAnchor constraintLessThanOrEqualToAnchor:column.widthAnchor].active = YES;
}

void fixSize(NSView* view, CGFloat side) {
    view.translatesAutoresizingMaskIntoConstraints = NO;
    [NSLayoutConstraint activateConstraints:@[
        [view.widthAnchor constraintEqualToConstant:side],
        [view.heightAnchor constraintEqualToConstant:side],
    ]];
}

NSButton* linkButton(std::string_view title, id target, SEL action) {
    NSString* text = ui::toNSString(title);
    NSButton* button = [NSButton buttonWithTitle:text target:target action:action];
    button.bordered = NO;
    button.attributedTitle = [[NSAttributedString alloc]
        initWithString:text
            attributes:@{
                NSForegroundColorAttributeName : NSColor.linkColor,
                NSFontAttributeName : [NSFont systemFontOfSize:NSFont.smallSystemFontSize],
            }];
    return button;
}

void openAddress(const std::string& address) {
    NSString* text = vanto::mac::makeString(address);
    if (NSURL* url = text ? [NSURL URLWithString:text] : nil)
        [NSWorkspace.sharedWorkspace openURL:url];
}

// One status row of the typing tab, filled in from the model's StatusRow.
struct StatusRowViews {
    NSStackView* row = nil;
    NSImageView* image = nil;
    NSTextField* text = nil;
    NSButton* button = nil;
    StatusRow::Action action = StatusRow::Action::none;
};

StatusRowViews makeStatusRow(id target, SEL action, NSInteger tag) {
    StatusRowViews views;
    views.image = [[NSImageView alloc] initWithFrame:NSZeroRect];
    views.image.imageScaling = NSImageScaleProportionallyUpOrDown;
    fixSize(views.image, kStatusIconSize);
    views.text = ui::label({});
    views.button = [NSButton buttonWithTitle:@"" target:target action:action];
    views.button.tag = tag;
    views.row = stack(NSUserInterfaceLayoutOrientationHorizontal,
                      @[ views.image, views.text, views.button ]);
    return views;
}

void show(StatusRowViews& views, const StatusRow& status) {
    views.image.image = ui::symbol(status.symbol, nil);
    views.image.contentTintColor =
        status.symbol == kOkSymbol ? NSColor.systemGreenColor : NSColor.systemOrangeColor;
    views.text.stringValue = ui::toNSString(status.text);
    views.button.title = ui::toNSString(status.button);
    views.button.hidden = status.button.empty();
    views.action = status.action;
}

} // namespace

namespace vanto::mac::ui {

NSString* toNSString(std::string_view text) {
    if (NSString* exact = makeString(text)) return exact;
    const std::u16string units = toUtf16(text);
    return [NSString stringWithCharacters:reinterpret_cast<const unichar*>(units.data())
                                   length:units.size()];
}

std::string fromNSString(NSString* text) {
    if (std::optional<std::string> exact = utf8(text)) return std::move(*exact);
    if (text == nil) return {};
    std::u16string units(text.length, u'\0');
    [text getCharacters:reinterpret_cast<unichar*>(units.data()) range:NSMakeRange(0, text.length)];
    return fromUtf16(units);
}

NSImage* symbol(std::string_view name, NSString* description) {
    return [NSImage imageWithSystemSymbolName:toNSString(name)
                     accessibilityDescription:description];
}

NSImage* appIcon(const AppEntry& entry) {
    if (!entry.iconPath.empty())
        return [NSWorkspace.sharedWorkspace iconForFile:toNSString(entry.iconPath)];
    for (NSRunningApplication* app in
         [NSRunningApplication runningApplicationsWithBundleIdentifier:toNSString(entry.id)])
        if (NSImage* icon = app.icon) return icon;
    return symbol(kGenericAppSymbol, nil);
}

NSTextField* label(std::string_view text) {
    NSTextField* field = [NSTextField labelWithString:toNSString(text)];
    field.lineBreakMode = NSLineBreakByTruncatingTail;
    // Long texts give way to the window's fixed width rather than widen it.
    [field setContentCompressionResistancePriority:NSLayoutPriorityDefaultLow
                                    forOrientation:NSLayoutConstraintOrientationHorizontal];
    return field;
}

NSTextField* secondaryLabel(std::string_view text) {
    NSTextField* field = label(text);
    field.textColor = NSColor.secondaryLabelColor;
    field.font = [NSFont systemFontOfSize:NSFont.smallSystemFontSize];
    return field;
}

void pin(NSView* view, NSView* container, CGFloat margin) {
    view.translatesAutoresizingMaskIntoConstraints = NO;
    [NSLayoutConstraint activateConstraints:@[
        [view.leadingAnchor constraintEqualToAnchor:container.leadingAnchor constant:margin],
        [view.trailingAnchor constraintEqualToAnchor:container.trailingAnchor constant:-margin],
        [view.topAnchor constraintEqualToAnchor:container.topAnchor constant:margin],
        [view.bottomAnchor constraintEqualToAnchor:container.bottomAnchor constant:-margin],
    ]];
}

NSTableView* listTable(id<NSTableViewDataSource, NSTableViewDelegate> owner, CGFloat rowHeight) {
    NSTableView* table = [[NSTableView alloc] initWithFrame:NSZeroRect];
    NSTableColumn* column = [[NSTableColumn alloc] initWithIdentifier:@"row"];
    column.resizingMask = NSTableColumnAutoresizingMask;
    [table addTableColumn:column];
    table.headerView = nil;
    table.columnAutoresizingStyle = NSTableViewLastColumnOnlyAutoresizingStyle;
    table.style = NSTableViewStyleFullWidth;
    table.rowHeight = rowHeight;
    // Rows are not selected: their controls act, or a click toggles them.
    table.selectionHighlightStyle = NSTableViewSelectionHighlightStyleNone;
    table.dataSource = owner;
    table.delegate = owner;
    return table;
}

NSScrollView* scrolled(NSView* document) {
    NSScrollView* scroll = [[NSScrollView alloc] initWithFrame:NSZeroRect];
    scroll.documentView = document;
    scroll.hasVerticalScroller = YES;
    scroll.autohidesScrollers = YES;
    scroll.borderType = NSBezelBorder;
    scroll.translatesAutoresizingMaskIntoConstraints = NO;
    return scroll;
}

void column(NSView* container, NSArray<NSView*>* views, CGFloat margin, CGFloat spacing) {
    NSMutableArray<NSLayoutConstraint*>* constraints = [NSMutableArray array];
    NSView* above = nil;
    for (NSView* view in views) {
        view.translatesAutoresizingMaskIntoConstraints = NO;
        [container addSubview:view];
        [constraints addObjectsFromArray:@[
            [view.leadingAnchor constraintEqualToAnchor:container.leadingAnchor constant:margin],
            [view.trailingAnchor constraintEqualToAnchor:container.trailingAnchor constant:-margin],
            above ? [view.topAnchor constraintEqualToAnchor:above.bottomAnchor constant:spacing]
                  : [view.topAnchor constraintEqualToAnchor:container.topAnchor constant:margin],
        ]];
        above = view;
    }
    if (above)
        [constraints addObject:[above.bottomAnchor constraintEqualToAnchor:container.bottomAnchor
                                                                  constant:-margin]];
    [NSLayoutConstraint activateConstraints:constraints];
}

void centre(NSView* view, NSView* over) {
    view.translatesAutoresizingMaskIntoConstraints = NO;
    [NSLayoutConstraint activateConstraints:@[
        [view.centerXAnchor constraintEqualToAnchor:over.centerXAnchor],
        [view.centerYAnchor constraintEqualToAnchor:over.centerYAnchor],
        [view.widthAnchor constraintLessThanOrEqualToAnchor:over.widthAnchor constant:-16],
    ]];
}

} // namespace vanto::mac::ui

@implementation VantoEditingWindow

- (BOOL)performKeyEquivalent:(NSEvent*)event {
    EditingAction action = EditingAction::none;
    ui::guarded([&] {
        action =
            editingAction(event.modifierFlags, ui::fromNSString(event.charactersIgnoringModifiers));
    });
    if (action == EditingAction::close) {
        // A sheet has no close button; its own buttons dismiss it, and the
        // window under it waits for it to go.
        if (self.sheetParent == nil && self.attachedSheet == nil) {
            [self performClose:self];
            return YES;
        }
    } else if (action != EditingAction::none) {
        if ([NSApp sendAction:NSSelectorFromString(ui::toNSString(selector(action)))
                           to:nil
                         from:self])
            return YES;
    }
    return [super performKeyEquivalent:event];
}

@end

@interface VantoSettingsWindowController () <NSWindowDelegate, NSTabViewDelegate,
                                             NSTableViewDataSource, NSTableViewDelegate,
                                             NSTextFieldDelegate>
@end

@implementation VantoSettingsWindowController {
    SettingsWindowContext context_;
    BOOL open_;
    BOOL refreshPending_;

    NSTabView* tabs_;
    NSTabViewItem* typingItem_;
    NSTimer* statusTimer_;

    NSButton* telexChoice_;
    NSArray<NSSwitch*>* optionSwitches_; // in the order of kOptionToggles
    NSArray<NSTextField*>* optionLabels_;
    StatusRowViews layoutRow_;
    StatusRowViews permissionRow_;
    std::string manualURL_;
    std::string updateURL_;

    NSSwitch* exclusionsSwitch_;
    NSTableView* exclusionsTable_;
    NSTextField* emptyListLabel_;
    NSTextField* newIDField_;
    NSButton* addButton_;
    NSButton* pickButton_;
    // The list as the table shows it, with each row's label.
    std::vector<Exclusion> exclusions_;
    std::vector<ExclusionLabel> labels_;
    bool exclusionsOn_;

    VantoAppPickerSheet* picker_;
    // One under each tab: a failed save must show wherever it was made.
    NSArray<NSTextField*>* saveErrorLabels_;
}

- (instancetype)initWithContext:(SettingsWindowContext)context {
    VantoEditingWindow* window = [[VantoEditingWindow alloc]
        initWithContentRect:NSMakeRect(0, 0, kContentWidth, kContentHeight)
                  styleMask:NSWindowStyleMaskTitled | NSWindowStyleMaskClosable
                    backing:NSBackingStoreBuffered
                      defer:NO];
    // Owned here and shown again after a close; AppKit must not free it.
    [window setReleasedWhenClosed:NO];
    window.title = ui::toNSString(kTitle);
    self = [super initWithWindow:window];
    if (self == nil) return nil;
    context_ = std::move(context);
    window.delegate = self;
    [self buildContentOf:window];
    [window center];

    // Saves made here, and reloads after other processes' saves, both come
    // back through onChange.
    __weak VantoSettingsWindowController* weakSelf = self;
    std::function<void()> previous = std::move(context_.settings->onChange);
    context_.settings->onChange = [previous = std::move(previous), weakSelf] {
        if (previous) previous();
        [weakSelf settingsChanged];
    };
    return self;
}

- (void)dealloc {
    // The views may outlive this controller by an autorelease; none may call
    // back into it.
    tabs_.delegate = nil;
    exclusionsTable_.dataSource = nil;
    exclusionsTable_.delegate = nil;
    newIDField_.delegate = nil;
    self.window.delegate = nil;
    [statusTimer_ invalidate];
}

- (BOOL)isOpen {
    return open_;
}

- (void)present {
    if (!open_) {
        open_ = YES;
        [self applySettings];
        [self updateStatusRefresh];
    }
    [NSApp activateIgnoringOtherApps:YES];
    [self.window makeKeyAndOrderFront:nil];
    // A helper started in the background may be refused activation (macOS
    // 14 made it cooperative); the window must still come in front of the
    // application the user is in, or nothing seems to happen.
    [self.window orderFrontRegardless];
}

#pragma mark Building

- (void)buildContentOf:(NSWindow*)window {
    typingItem_ = [[NSTabViewItem alloc] initWithIdentifier:@"typing"];
    typingItem_.label = ui::toNSString(kTypingTab);
    typingItem_.view = [self makeTypingTab];
    NSTabViewItem* exclusionsItem = [[NSTabViewItem alloc] initWithIdentifier:@"exclusions"];
    exclusionsItem.label = ui::toNSString(kExclusionsTab);
    exclusionsItem.view = [self makeExclusionsTab];

    tabs_ = [[NSTabView alloc] initWithFrame:NSZeroRect];
    [tabs_ addTabViewItem:typingItem_];
    [tabs_ addTabViewItem:exclusionsItem];
    [tabs_ selectTabViewItem:typingItem_];
    tabs_.delegate = self;
    NSView* content = window.contentView;
    [content addSubview:tabs_];
    ui::pin(tabs_, content, kWindowMargin);
}

- (NSView*)makeTypingTab {
    NSView* tab = [[NSView alloc] initWithFrame:NSZeroRect];
    NSStackView* column = stack(NSUserInterfaceLayoutOrientationVertical, @[]);
    // As tall as its rows: the space above the footer stays empty.
    [column setHuggingPriority:NSLayoutPriorityDefaultHigh
                forOrientation:NSLayoutConstraintOrientationVertical];
    [tab addSubview:column];

    telexChoice_ = [NSButton radioButtonWithTitle:ui::toNSString(kTelexChoice)
                                           target:self
                                           action:@selector(chooseTelex:)];
    NSStackView* methodRow = stack(NSUserInterfaceLayoutOrientationHorizontal,
                                   @[ ui::label(kInputMethodLabel), telexChoice_ ]);
    addRow(column, methodRow);
    limitWidth(methodRow, column);

    NSMutableArray<NSSwitch*>* switches = [NSMutableArray array];
    NSMutableArray<NSTextField*>* labels = [NSMutableArray array];
    for (std::size_t i = 0; i < kOptionToggles.size(); ++i) {
        NSTextField* text = ui::label(kOptionToggles[i].label);
        NSSwitch* toggle = [[NSSwitch alloc] initWithFrame:NSZeroRect];
        toggle.target = self;
        toggle.action = @selector(toggleOption:);
        toggle.tag = static_cast<NSInteger>(i);
        toggle.accessibilityLabel = text.stringValue;
        NSStackView* row = spreadRow(text, toggle);
        addRow(column, row);
        fillWidth(row, column);
        [switches addObject:toggle];
        [labels addObject:text];
    }
    optionSwitches_ = switches;
    optionLabels_ = labels;

    NSBox* divider = [[NSBox alloc] initWithFrame:NSZeroRect];
    divider.boxType = NSBoxSeparator;
    addRow(column, divider);
    fillWidth(divider, column);

    layoutRow_ = makeStatusRow(self, @selector(performStatusAction:), 0);
    permissionRow_ = makeStatusRow(self, @selector(performStatusAction:), 1);
    for (NSStackView* row in @[ layoutRow_.row, permissionRow_.row ]) {
        addRow(column, row);
        limitWidth(row, column);
    }
    NSTextField* typingSaveError = [self makeSaveErrorLabel];
    addRow(column, typingSaveError);
    limitWidth(typingSaveError, column);

    const Footer links = footer(context_.version, context_.vendorSite);
    manualURL_ = links.manualURL;
    updateURL_ = links.updateURL;
    NSStackView* footerRow = stack(NSUserInterfaceLayoutOrientationHorizontal, @[]);
    [footerRow addView:ui::secondaryLabel(links.versionText) inGravity:NSStackViewGravityLeading];
    [footerRow addView:linkButton(kManualLink, self, @selector(openManual:))
             inGravity:NSStackViewGravityTrailing];
    [footerRow addView:linkButton(kUpdateLink, self, @selector(openUpdate:))
             inGravity:NSStackViewGravityTrailing];
    [tab addSubview:footerRow];

    [NSLayoutConstraint activateConstraints:@[
        [column.topAnchor constraintEqualToAnchor:tab.topAnchor constant:kTabMargin],
        [column.leadingAnchor constraintEqualToAnchor:tab.leadingAnchor constant:kTabMargin],
        [column.trailingAnchor constraintEqualToAnchor:tab.trailingAnchor constant:-kTabMargin],
        [footerRow.leadingAnchor constraintEqualToAnchor:tab.leadingAnchor constant:kTabMargin],
        [footerRow.trailingAnchor constraintEqualToAnchor:tab.trailingAnchor constant:-kTabMargin],
        [footerRow.bottomAnchor constraintEqualToAnchor:tab.bottomAnchor constant:-kTabMargin],
        [column.bottomAnchor constraintLessThanOrEqualToAnchor:footerRow.topAnchor
                                                      constant:-kRowSpacing],
    ]];
    return tab;
}

- (NSView*)makeExclusionsTab {
    NSView* tab = [[NSView alloc] initWithFrame:NSZeroRect];

    exclusionsSwitch_ = [[NSSwitch alloc] initWithFrame:NSZeroRect];
    exclusionsSwitch_.target = self;
    exclusionsSwitch_.action = @selector(toggleExclusions:);
    NSTextField* toggleText = ui::label(kExclusionsToggle);
    exclusionsSwitch_.accessibilityLabel = toggleText.stringValue;
    NSStackView* toggleRow = spreadRow(toggleText, exclusionsSwitch_);

    exclusionsTable_ = ui::listTable(self, kListRowHeight);
    NSScrollView* list = ui::scrolled(exclusionsTable_);
    emptyListLabel_ = ui::secondaryLabel(kEmptyList);

    newIDField_ = [NSTextField textFieldWithString:@""];
    newIDField_.placeholderString = ui::toNSString(kNewIDPlaceholder);
    newIDField_.delegate = self;
    [newIDField_ setContentHuggingPriority:NSLayoutPriorityDefaultLow
                            forOrientation:NSLayoutConstraintOrientationHorizontal];
    addButton_ = [NSButton buttonWithTitle:ui::toNSString(kAddButton)
                                    target:self
                                    action:@selector(addTyped:)];
    pickButton_ = [NSButton buttonWithTitle:ui::toNSString(kPickButton)
                                     target:self
                                     action:@selector(pickApps:)];
    NSStackView* inputRow = stack(NSUserInterfaceLayoutOrientationHorizontal,
                                  @[ newIDField_, addButton_, pickButton_ ]);
    // In order and filling the row: the field takes the width the buttons leave.
    inputRow.distribution = NSStackViewDistributionFill;

    NSTextField* help = [NSTextField wrappingLabelWithString:ui::toNSString(kExclusionsHelp)];
    help.textColor = NSColor.secondaryLabelColor;
    help.font = [NSFont systemFontOfSize:NSFont.smallSystemFontSize];
    help.preferredMaxLayoutWidth = kHelpTextWidth;

    NSTextField* exclusionsSaveError = [self makeSaveErrorLabel];
    ui::column(tab, @[ toggleRow, list, inputRow, help, exclusionsSaveError ], kTabMargin,
               kRowSpacing);
    [tab addSubview:emptyListLabel_];
    ui::centre(emptyListLabel_, list);
    return tab;
}

- (NSTextField*)makeSaveErrorLabel {
    NSTextField* field = [NSTextField wrappingLabelWithString:ui::toNSString(kSaveFailedText)];
    field.textColor = NSColor.systemRedColor;
    field.preferredMaxLayoutWidth = kHelpTextWidth;
    field.hidden = YES;
    saveErrorLabels_ = saveErrorLabels_ ? [saveErrorLabels_ arrayByAddingObject:field] : @[ field ];
    return field;
}

#pragma mark Keeping in step with Settings

// onChange comes synchronously from inside a setter, often from the action
// of a control that the refresh would replace; the refresh waits for the
// next turn of the loop and runs once for any number of changes.
- (void)settingsChanged {
    if (refreshPending_) return;
    refreshPending_ = YES;
    __weak VantoSettingsWindowController* weakSelf = self;
    dispatch_async(dispatch_get_main_queue(), ^{
      [weakSelf applySettings];
    });
}

- (void)applySettings {
    refreshPending_ = NO;
    ui::guarded([&] {
        const Settings& settings = *context_.settings;
        telexChoice_.state = stateOf(settings.telex());
        for (std::size_t i = 0; i < kOptionToggles.size(); ++i) {
            const OptionToggle& toggle = kOptionToggles[i];
            const bool enabled = isEnabled(toggle, settings);
            optionSwitches_[i].state = stateOf((settings.*toggle.value)());
            optionSwitches_[i].enabled = enabled;
            optionLabels_[i].textColor =
                enabled ? NSColor.labelColor : NSColor.disabledControlTextColor;
        }
        exclusionsOn_ = settings.exclusionsOn();
        exclusionsSwitch_.state = stateOf(exclusionsOn_);
        std::vector<Exclusion> exclusions = settings.exclusions();
        std::vector<ExclusionLabel> labels;
        labels.reserve(exclusions.size());
        for (const Exclusion& exclusion : exclusions)
            labels.push_back(ExclusionLabel::of(*context_.workspace, exclusion.id));
        exclusions_ = std::move(exclusions);
        labels_ = std::move(labels);
        const std::string_view saveError = saveStatus(settings);
        for (NSTextField* field in saveErrorLabels_) field.hidden = saveError.empty();
    });
    [exclusionsTable_ reloadData];
    exclusionsTable_.enabled = exclusionsOn_;
    emptyListLabel_.hidden = !exclusions_.empty();
    newIDField_.enabled = exclusionsOn_;
    pickButton_.enabled = exclusionsOn_;
    [self updateAddButton];
}

#pragma mark Typing tab

// The group's one choice: clicking it again changes nothing and saves nothing.
- (void)chooseTelex:(NSButton*)sender {
    const bool on = sender.state == NSControlStateValueOn;
    ui::guarded([&] {
        if (context_.settings->telex() != on) context_.settings->setTelex(on);
    });
}

- (void)toggleOption:(NSSwitch*)sender {
    const NSInteger index = sender.tag;
    if (index < 0 || static_cast<std::size_t>(index) >= kOptionToggles.size()) return;
    const OptionToggle& toggle = kOptionToggles[static_cast<std::size_t>(index)];
    const bool on = sender.state == NSControlStateValueOn;
    ui::guarded([&] { (context_.settings->*toggle.setValue)(on); });
}

- (void)refreshStatus {
    ui::guarded([&] {
        show(layoutRow_, layoutStatus(context_.layoutEnabled()));
        show(permissionRow_, permissionStatus(context_.trusted()));
    });
}

- (void)performStatusAction:(NSButton*)sender {
    const StatusRowViews& row = sender.tag == 0 ? layoutRow_ : permissionRow_;
    ui::guarded([&] {
        switch (row.action) {
        case StatusRow::Action::showSetupDialog:
            context_.showSetupDialog();
            break;
        case StatusRow::Action::showAccessibilityDialog:
            context_.showAccessibilityDialog();
            break;
        case StatusRow::Action::none:
            break;
        }
    });
    // What the dialog led to (a permission granted) shows at once.
    [self refreshStatus];
}

- (void)openManual:(id)sender {
    openAddress(manualURL_);
}

- (void)openUpdate:(id)sender {
    openAddress(updateURL_);
}

// The status rows are read while the typing tab shows in an open window;
// the timer runs in the common modes so that it also ticks under a dialog.
- (void)updateStatusRefresh {
    const BOOL wanted = open_ && tabs_.selectedTabViewItem == typingItem_;
    if (!wanted) {
        [statusTimer_ invalidate];
        statusTimer_ = nil;
        return;
    }
    if (statusTimer_ != nil) return;
    [self refreshStatus];
    __weak VantoSettingsWindowController* weakSelf = self;
    NSTimer* timer = [NSTimer timerWithTimeInterval:kStatusRefreshInterval
                                            repeats:YES
                                              block:^(NSTimer*) {
                                                [weakSelf refreshStatus];
                                              }];
    timer.tolerance = kStatusRefreshTolerance;
    [NSRunLoop.mainRunLoop addTimer:timer forMode:NSRunLoopCommonModes];
    statusTimer_ = timer;
}

- (void)tabView:(NSTabView*)tabView didSelectTabViewItem:(NSTabViewItem*)tabViewItem {
    [self updateStatusRefresh];
}

#pragma mark Exclusions tab

- (void)toggleExclusions:(NSSwitch*)sender {
    const bool on = sender.state == NSControlStateValueOn;
    ui::guarded([&] { context_.settings->setExclusionsOn(on); });
}

- (void)updateAddButton {
    bool typed = false;
    ui::guarded(
        [&] { typed = !trimmedWhiteSpace(ui::fromNSString(newIDField_.stringValue)).empty(); });
    addButton_.enabled = exclusionsOn_ && typed;
}

- (void)controlTextDidChange:(NSNotification*)notification {
    [self updateAddButton];
}

- (void)addTyped:(id)sender {
    bool added = false;
    NSString* typed = newIDField_.stringValue;
    ui::guarded([&] { added = addExclusion(*context_.settings, ui::fromNSString(typed)); });
    if (added) newIDField_.stringValue = @"";
    [self updateAddButton];
}

- (void)pickApps:(id)sender {
    if (picker_ != nil || self.window.attachedSheet != nil) return;
    ui::guarded([&] {
        picker_ = [[VantoAppPickerSheet alloc] initWithSettings:*context_.settings
                                                      workspace:*context_.workspace
                                                     recentApps:context_.recentApps()
                                                    ownBundleID:context_.ownBundleID];
    });
    if (picker_ == nil) return;
    __weak VantoSettingsWindowController* weakSelf = self;
    [picker_ beginSheetOnWindow:self.window
                     completion:^{
                       // Let AppKit finish with the sheet before it goes.
                       dispatch_async(dispatch_get_main_queue(), ^{
                         VantoSettingsWindowController* strongSelf = weakSelf;
                         if (strongSelf != nil) strongSelf->picker_ = nil;
                       });
                     }];
}

// The list's row for index, if the table still shows it.
- (const Exclusion*)exclusionAt:(NSInteger)index {
    if (index < 0 || static_cast<std::size_t>(index) >= exclusions_.size()) return nullptr;
    return &exclusions_[static_cast<std::size_t>(index)];
}

- (void)toggleExclusion:(NSButton*)sender {
    const Exclusion* exclusion = [self exclusionAt:sender.tag];
    if (exclusion == nullptr) return;
    const bool on = sender.state == NSControlStateValueOn;
    ui::guarded([&] { setExclusionEnabled(*context_.settings, exclusion->id, on); });
}

// Removal goes by position. A row clicked before the table caught up with a
// change (another process's, or a removal just made) may no longer sit where
// the list has it; then nothing is removed rather than its neighbour.
- (void)removeExclusion:(NSButton*)sender {
    const Exclusion* shown = [self exclusionAt:sender.tag];
    if (shown == nullptr) return;
    const auto index = static_cast<std::size_t>(sender.tag);
    ui::guarded([&] {
        const std::vector<Exclusion> current = context_.settings->exclusions();
        if (index < current.size() && current[index].id == shown->id)
            removeExclusion(*context_.settings, index);
    });
}

- (NSInteger)numberOfRowsInTableView:(NSTableView*)tableView {
    return static_cast<NSInteger>(labels_.size());
}

- (NSView*)tableView:(NSTableView*)tableView
    viewForTableColumn:(NSTableColumn*)tableColumn
                   row:(NSInteger)row {
    const Exclusion* exclusion = [self exclusionAt:row];
    if (exclusion == nullptr || static_cast<std::size_t>(row) >= labels_.size()) return nil;
    const ExclusionLabel& label = labels_[static_cast<std::size_t>(row)];

    NSButton* check = [NSButton checkboxWithTitle:@""
                                           target:self
                                           action:@selector(toggleExclusion:)];
    check.state = stateOf(exclusion->enabled);
    check.tag = row;
    check.enabled = exclusionsOn_;

    NSImageView* icon = [[NSImageView alloc] initWithFrame:NSZeroRect];
    icon.imageScaling = NSImageScaleProportionallyUpOrDown;
    fixSize(icon, kListIconSize);
    NSString* title = ui::toNSString(label.id);
    NSString* caption = ui::toNSString(label.caption);
    if (label.kind == ExclusionLabel::Kind::webSite) {
        icon.image = ui::symbol(label.symbol, caption);
        icon.contentTintColor = NSColor.secondaryLabelColor;
    } else if (label.app) {
        icon.image = ui::appIcon(*label.app);
        title = ui::toNSString(label.app->name);
        caption = ui::toNSString(label.id);
    }
    NSTextField* titleText = ui::label({});
    titleText.stringValue = title;
    NSTextField* captionText = ui::secondaryLabel({});
    captionText.stringValue = caption;
    NSStackView* texts =
        stack(NSUserInterfaceLayoutOrientationVertical, @[ titleText, captionText ]);
    texts.spacing = 0;

    NSImage* removeImage =
        ui::symbol(kRemoveSymbol, nil) ?: [NSImage imageNamed:NSImageNameRemoveTemplate];
    NSButton* remove = [NSButton buttonWithImage:removeImage
                                          target:self
                                          action:@selector(removeExclusion:)];
    remove.bordered = NO;
    remove.tag = row;
    remove.enabled = exclusionsOn_;

    NSStackView* content = stack(NSUserInterfaceLayoutOrientationHorizontal, @[]);
    [content addView:check inGravity:NSStackViewGravityLeading];
    [content addView:icon inGravity:NSStackViewGravityLeading];
    [content addView:texts inGravity:NSStackViewGravityLeading];
    [content addView:remove inGravity:NSStackViewGravityTrailing];
    NSView* cell = [[NSView alloc] initWithFrame:NSZeroRect];
    [cell addSubview:content];
    [NSLayoutConstraint activateConstraints:@[
        [content.leadingAnchor constraintEqualToAnchor:cell.leadingAnchor constant:4],
        [content.trailingAnchor constraintEqualToAnchor:cell.trailingAnchor constant:-4],
        [content.centerYAnchor constraintEqualToAnchor:cell.centerYAnchor],
    ]];
    return cell;
}

- (BOOL)tableView:(NSTableView*)tableView shouldSelectRow:(NSInteger)row {
    return NO;
}

#pragma mark Window

- (void)windowWillClose:(NSNotification*)notification {
    open_ = NO;
    [self updateStatusRefresh];
    ui::guarded([&] {
        if (context_.closed) context_.closed();
    });
}

@end
