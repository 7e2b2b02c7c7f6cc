// What the settings window shows and does, without drawing anything: its
// texts, the typing options, the status rows, the exclusion list with its
// labels, the application picker and the window's key equivalents. The
// views of each platform only lay this out.
#pragma once

#include "platform/workspace.h"
#include "settings/exclusion.h"

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vanto {

class Settings;

namespace SettingsWindow {

inline constexpr std::string_view kTitle = "Vanto – Bộ gõ tiếng Việt";
inline constexpr int kContentWidth = 560;
inline constexpr int kContentHeight = 452;

inline constexpr std::string_view kTypingTab = "Kiểu gõ";
inline constexpr std::string_view kExclusionsTab = "Loại trừ";

// Typing tab.
inline constexpr std::string_view kInputMethodLabel = "Kiểu gõ:";
inline constexpr std::string_view kTelexChoice = "Telex";
inline constexpr std::string_view kOkSymbol = "checkmark.circle.fill";
inline constexpr std::string_view kWarningSymbol = "exclamationmark.triangle.fill";
inline constexpr std::string_view kLayoutEnabledText = "Vanto đã có trong menu nhập liệu";
inline constexpr std::string_view kLayoutMissingText = "Chưa thêm Vanto vào menu nhập liệu.";
inline constexpr std::string_view kLayoutHelpButton = "Hướng dẫn…";
inline constexpr std::string_view kTrustedText = "Đã có quyền Accessibility";
inline constexpr std::string_view kUntrustedText =
    "Chưa có quyền Accessibility: Vanto chưa gõ được tiếng Việt.";
inline constexpr std::string_view kGrantButton = "Cấp quyền…";
inline constexpr std::string_view kVersionPrefix = "Vanto v";
inline constexpr std::string_view kManualLink = "Hướng dẫn";
inline constexpr std::string_view kManualPath = "/vanto/manual";
inline constexpr std::string_view kUpdateLink = "Kiểm tra bản mới";
inline constexpr std::string_view kUpdatePath = "/vanto?update=";
// Under either tab while the last change could not be saved; the controls
// show what is kept.
inline constexpr std::string_view kSaveFailedText =
    "Không lưu được thay đổi, thiết lập vẫn như cũ.";
// How often the status rows are read again while the typing tab shows.
inline constexpr double kStatusRefreshInterval = 1.0;

// Exclusions tab.
inline constexpr std::string_view kExclusionsToggle =
    "Vanto không gõ tiếng Việt trong các app và trang web sau";
inline constexpr std::string_view kEmptyList = "Chưa có mục nào";
inline constexpr std::string_view kNewIDPlaceholder = "com.example.* hoặc https://…";
inline constexpr std::string_view kAddButton = "Thêm";
inline constexpr std::string_view kPickButton = "Chọn app…";
inline constexpr std::string_view kExclusionsHelp =
    "Dấu * khớp mọi ký tự. Trang web chỉ được nhận ra trên Safari và các trình duyệt Chromium.";
inline constexpr std::string_view kWebSiteSymbol = "globe";
inline constexpr std::string_view kWebSiteCaption = "Trang web";
inline constexpr std::string_view kPatternCaption = "Mẫu bundle id";
inline constexpr std::string_view kMissingAppCaption = "App chưa cài đặt";

// Application picker.
inline constexpr std::string_view kPickerTitle = "Chọn app để loại trừ";
inline constexpr std::string_view kSearchPlaceholder = "Tìm theo tên hoặc bundle id";
inline constexpr std::string_view kRecentSection = "Vừa gõ tiếng Việt";
inline constexpr std::string_view kRunningSection = "Đang mở";
inline constexpr std::string_view kNothingFound = "Không tìm thấy app";
inline constexpr std::string_view kNothingToAdd = "Không có app nào để thêm";
inline constexpr std::string_view kPickHint = "Bấm vào app để chọn";
inline constexpr std::string_view kPickedPrefix = "Đã chọn ";
inline constexpr std::string_view kCancelButton = "Huỷ";
inline constexpr std::string_view kPickedSymbol = "checkmark.circle.fill";

// One switch of the typing tab, bound to one property of Settings.
struct OptionToggle {
    std::string_view label;
    bool (Settings::*value)() const;
    void (Settings::*setValue)(bool);
    bool needsTelex; // meaningless with digit keys: shown disabled, value kept
};
extern const std::array<OptionToggle, 6> kOptionToggles;
bool isEnabled(const OptionToggle& toggle, const Settings& settings);
// The error line: kSaveFailedText after a failed save, else empty.
std::string_view saveStatus(const Settings& settings);

// A status row of the typing tab.
struct StatusRow {
    enum class Action { none, showSetupDialog, showAccessibilityDialog };
    std::string_view symbol;
    std::string_view text;
    std::string_view button; // empty: no button
    Action action = Action::none;
};
StatusRow layoutStatus(bool layoutEnabled);
StatusRow permissionStatus(bool trusted);

struct Footer {
    std::string versionText;
    std::string manualURL;
    std::string updateURL;
};
// site: the vendor's web site, without a trailing "/".
Footer footer(std::string_view version, std::string_view site);

// An application as lists show it.
struct AppEntry {
    std::string id;       // bundle identifier
    std::string name;     // display name
    std::string iconPath; // the bundle whose icon to show; empty: a generic one
    bool operator==(const AppEntry&) const = default;
};
// The entry of an application that can take the keyboard, from the running
// ones or the installed ones; nothing for one that is not installed, or
// that is an agent or a background tool.
std::optional<AppEntry> appEntry(Workspace& workspace, const std::string& bundleID);

// text without white space (of any script) at either end.
std::string trimmedWhiteSpace(std::string_view text);

// Adds the identifier typed or picked: trimmed; an existing entry with
// exactly that identifier is switched on again instead of added twice.
// False, with nothing saved, when nothing is left after trimming.
bool addExclusion(Settings& settings, std::string_view typed);
// The row's checkbox: the first entry with that identifier.
void setExclusionEnabled(Settings& settings, std::string_view id, bool enabled);
// The row's remove control; an index past the end does nothing.
void removeExclusion(Settings& settings, std::size_t index);

// The label of one row of the exclusion list.
struct ExclusionLabel {
    enum class Kind { webSite, pattern, application };
    Kind kind;
    std::string id;
    std::optional<AppEntry> app; // an installed application's icon and name
    std::string_view symbol;     // web sites only
    std::string_view caption;    // empty for an installed application

    static ExclusionLabel of(Workspace& workspace, const std::string& id);
};

// The sheet for picking applications to exclude. The lists are made once,
// when the sheet is shown.
class AppPicker {
  public:
    struct Section {
        std::string_view title;
        std::vector<AppEntry> entries;
    };

    AppPicker(Settings& settings, Workspace& workspace, const std::vector<std::string>& recentApps,
              std::string_view ownBundleID);

    const std::vector<AppEntry>& recent() const { return recent_; }
    const std::vector<AppEntry>& running() const { return running_; }

    // Bound to the search field.
    std::string query;
    // The sections with what the query lets through; empty ones left out.
    std::vector<Section> sections() const;
    // What to show when no section is left.
    std::string_view emptyText() const;

    void toggle(const std::string& id);
    bool isPicked(const std::string& id) const { return picked_.contains(id); }
    std::string footerText() const;
    bool canConfirm() const { return !picked_.empty(); }
    // Adds every picked application, in the order the lists show them.
    void confirm();

  private:
    bool shown(const AppEntry& entry) const;

    Settings& settings_;
    std::vector<AppEntry> recent_;
    std::vector<AppEntry> running_;
    std::set<std::string> picked_;
};

// Key equivalents of the settings window, which has no menu bar to carry
// them.
enum class EditingAction { none, close, undo, redo, cut, copy, paste, selectAll };
// flags: the event's modifier flags; characters: its characters ignoring
// modifiers.
EditingAction editingAction(std::uint64_t flags, std::string_view characters);
// The responder message an action sends; empty for none and close.
std::string_view selector(EditingAction action);

} // namespace SettingsWindow
} // namespace vanto
