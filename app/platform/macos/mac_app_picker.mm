// The sheet of the exclusions tab that offers the applications recently
// typed into and the running ones, to exclude several at once.
#import "platform/macos/mac_settings_window.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

using namespace vanto::SettingsWindow;
namespace ui = vanto::mac::ui;

namespace {

constexpr CGFloat kSheetWidth = 440;
// Shorter than the settings window, which the sheet hangs from.
constexpr CGFloat kSheetHeight = 380;
constexpr CGFloat kMargin = 16;
constexpr CGFloat kSpacing = 8;
constexpr CGFloat kEntryHeight = 36;
constexpr CGFloat kTitleHeight = 24;
constexpr CGFloat kIconSize = 24;
constexpr CGFloat kPickedSize = 16;

// A line of the list: a section's title, or one of its applications.
struct PickerRow {
    std::string_view title; // a title row when not empty
    AppEntry entry;
};

} // namespace

@interface VantoAppPickerSheet () <NSSearchFieldDelegate, NSTableViewDataSource,
                                   NSTableViewDelegate>
@end

@implementation VantoAppPickerSheet {
    std::unique_ptr<AppPicker> picker_;
    std::vector<PickerRow> rows_;
    VantoEditingWindow* sheet_;
    NSSearchField* search_;
    NSTableView* table_;
    NSTextField* emptyLabel_;
    NSTextField* footerLabel_;
    NSButton* confirmButton_;
}

- (instancetype)initWithSettings:(vanto::Settings&)settings
                       workspace:(vanto::Workspace&)workspace
                      recentApps:(const std::vector<std::string>&)recentApps
                     ownBundleID:(std::string_view)ownBundleID {
    self = [super init];
    if (self == nil) return nil;
    ui::guarded([&] {
        picker_ = std::make_unique<AppPicker>(settings, workspace, recentApps, ownBundleID);
    });
    if (!picker_) return nil;
    [self buildSheet];
    return self;
}

- (void)dealloc {
    // The sheet may outlive this object by an autorelease; its views must
    // not call back into it.
    table_.dataSource = nil;
    table_.delegate = nil;
    search_.delegate = nil;
}

- (void)buildSheet {
    sheet_ =
        [[VantoEditingWindow alloc] initWithContentRect:NSMakeRect(0, 0, kSheetWidth, kSheetHeight)
                                              styleMask:NSWindowStyleMaskTitled
                                                backing:NSBackingStoreBuffered
                                                  defer:YES];
    [sheet_ setReleasedWhenClosed:NO];
    NSView* content = sheet_.contentView;

    NSTextField* title = ui::label(kPickerTitle);
    title.font = [NSFont boldSystemFontOfSize:NSFont.systemFontSize];

    search_ = [[NSSearchField alloc] initWithFrame:NSZeroRect];
    search_.placeholderString = ui::toNSString(kSearchPlaceholder);
    search_.delegate = self;
    // The clear button changes the text without a text-change message.
    search_.target = self;
    search_.action = @selector(queryChanged:);
    search_.translatesAutoresizingMaskIntoConstraints = NO;

    table_ = ui::listTable(self, kEntryHeight);
    table_.target = self;
    table_.action = @selector(rowClicked:);
    NSScrollView* list = ui::scrolled(table_);
    emptyLabel_ = ui::secondaryLabel({});

    footerLabel_ = ui::secondaryLabel({});
    NSButton* cancel = [NSButton buttonWithTitle:ui::toNSString(kCancelButton)
                                          target:self
                                          action:@selector(cancel:)];
    cancel.keyEquivalent = @"\033";
    confirmButton_ = [NSButton buttonWithTitle:ui::toNSString(kAddButton)
                                        target:self
                                        action:@selector(confirm:)];
    confirmButton_.keyEquivalent = @"\r";
    NSStackView* footer = [NSStackView stackViewWithViews:@[]];
    footer.orientation = NSUserInterfaceLayoutOrientationHorizontal;
    footer.spacing = kSpacing;
    footer.translatesAutoresizingMaskIntoConstraints = NO;
    [footer addView:footerLabel_ inGravity:NSStackViewGravityLeading];
    [footer addView:cancel inGravity:NSStackViewGravityTrailing];
    [footer addView:confirmButton_ inGravity:NSStackViewGravityTrailing];

    ui::column(content, @[ title, search_, list, footer ], kMargin, kSpacing);
    [content addSubview:emptyLabel_];
    ui::centre(emptyLabel_, list);
    sheet_.initialFirstResponder = search_;
}

- (void)beginSheetOnWindow:(NSWindow*)parent completion:(void (^)(void))done {
    [self reload];
    void (^finished)(void) = [done copy];
    [parent beginSheet:sheet_
        completionHandler:^(NSModalResponse) {
          if (finished) finished();
        }];
}

- (void)reload {
    std::vector<PickerRow> rows;
    std::string_view emptyText;
    std::string footerText;
    ui::guarded([&] {
        for (const AppPicker::Section& section : picker_->sections()) {
            rows.push_back({section.title, {}});
            for (const AppEntry& entry : section.entries) rows.push_back({{}, entry});
        }
        emptyText = picker_->emptyText();
        footerText = picker_->footerText();
    });
    rows_ = std::move(rows);
    [table_ reloadData];
    emptyLabel_.stringValue = ui::toNSString(emptyText);
    emptyLabel_.hidden = !rows_.empty();
    footerLabel_.stringValue = ui::toNSString(footerText);
    confirmButton_.enabled = picker_->canConfirm();
}

- (const PickerRow*)rowAt:(NSInteger)index {
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) return nullptr;
    return &rows_[static_cast<std::size_t>(index)];
}

#pragma mark Actions

- (void)queryChanged:(id)sender {
    bool changed = false;
    ui::guarded([&] {
        std::string query = ui::fromNSString(search_.stringValue);
        if (query == picker_->query) return;
        picker_->query = std::move(query);
        changed = true;
    });
    if (changed) [self reload];
}

- (void)controlTextDidChange:(NSNotification*)notification {
    [self queryChanged:search_];
}

- (void)rowClicked:(id)sender {
    const PickerRow* row = [self rowAt:table_.clickedRow];
    if (row == nullptr || !row->title.empty()) return;
    const std::string id = row->entry.id;
    ui::guarded([&] { picker_->toggle(id); });
    [self reload];
}

- (void)cancel:(id)sender {
    [self finish:NSModalResponseCancel];
}

- (void)confirm:(id)sender {
    if (!picker_->canConfirm()) return;
    ui::guarded([&] { picker_->confirm(); });
    [self finish:NSModalResponseOK];
}

- (void)finish:(NSModalResponse)response {
    if (NSWindow* parent = sheet_.sheetParent) [parent endSheet:sheet_ returnCode:response];
}

#pragma mark Table

- (NSInteger)numberOfRowsInTableView:(NSTableView*)tableView {
    return static_cast<NSInteger>(rows_.size());
}

- (BOOL)tableView:(NSTableView*)tableView isGroupRow:(NSInteger)row {
    const PickerRow* line = [self rowAt:row];
    return line != nullptr && !line->title.empty();
}

- (CGFloat)tableView:(NSTableView*)tableView heightOfRow:(NSInteger)row {
    return [self tableView:tableView isGroupRow:row] ? kTitleHeight : kEntryHeight;
}

- (BOOL)tableView:(NSTableView*)tableView shouldSelectRow:(NSInteger)row {
    return NO;
}

- (NSView*)tableView:(NSTableView*)tableView
    viewForTableColumn:(NSTableColumn*)tableColumn
                   row:(NSInteger)row {
    const PickerRow* line = [self rowAt:row];
    if (line == nullptr) return nil;
    NSView* cell = [[NSView alloc] initWithFrame:NSZeroRect];
    if (!line->title.empty()) {
        NSTextField* title = ui::secondaryLabel(line->title);
        title.font = [NSFont boldSystemFontOfSize:NSFont.smallSystemFontSize];
        title.translatesAutoresizingMaskIntoConstraints = NO;
        [cell addSubview:title];
        [NSLayoutConstraint activateConstraints:@[
            [title.leadingAnchor constraintEqualToAnchor:cell.leadingAnchor constant:4],
            [title.trailingAnchor constraintLessThanOrEqualToAnchor:cell.trailingAnchor],
            [title.centerYAnchor constraintEqualToAnchor:cell.centerYAnchor],
        ]];
        return cell;
    }

    const AppEntry& entry = line->entry;
    NSImageView* icon = [[NSImageView alloc] initWithFrame:NSZeroRect];
    icon.image = ui::appIcon(entry);
    icon.imageScaling = NSImageScaleProportionallyUpOrDown;
    NSTextField* name = ui::label(entry.name);
    NSTextField* identifier = ui::secondaryLabel(entry.id);
    NSStackView* texts = [NSStackView stackViewWithViews:@[ name, identifier ]];
    texts.orientation = NSUserInterfaceLayoutOrientationVertical;
    texts.alignment = NSLayoutAttributeLeading;
    texts.spacing = 0;
    NSImageView* picked = [[NSImageView alloc] initWithFrame:NSZeroRect];
    bool isPicked = false;
    ui::guarded([&] { isPicked = picker_->isPicked(entry.id); });
    if (isPicked) {
        picked.image = ui::symbol(kPickedSymbol, nil);
        picked.contentTintColor = NSColor.controlAccentColor;
    }

    NSStackView* content = [NSStackView stackViewWithViews:@[]];
    content.orientation = NSUserInterfaceLayoutOrientationHorizontal;
    content.spacing = kSpacing;
    [content addView:icon inGravity:NSStackViewGravityLeading];
    [content addView:texts inGravity:NSStackViewGravityLeading];
    [content addView:picked inGravity:NSStackViewGravityTrailing];
    content.translatesAutoresizingMaskIntoConstraints = NO;
    icon.translatesAutoresizingMaskIntoConstraints = NO;
    picked.translatesAutoresizingMaskIntoConstraints = NO;
    [cell addSubview:content];
    [NSLayoutConstraint activateConstraints:@[
        [icon.widthAnchor constraintEqualToConstant:kIconSize],
        [icon.heightAnchor constraintEqualToConstant:kIconSize],
        [picked.widthAnchor constraintEqualToConstant:kPickedSize],
        [picked.heightAnchor constraintEqualToConstant:kPickedSize],
        [content.leadingAnchor constraintEqualToAnchor:cell.leadingAnchor constant:4],
        [content.trailingAnchor constraintEqualToAnchor:cell.trailingAnchor constant:-4],
        [content.centerYAnchor constraintEqualToAnchor:cell.centerYAnchor],
    ]];
    return cell;
}

@end
