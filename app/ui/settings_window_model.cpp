#include "settings_window_model.h"

#include "context/browser_address.h"
#include "pipeline/app_profile.h"
#include "pipeline/key_event.h"
#include "settings/settings.h"
#include "settings/unicode.h"

#include <algorithm>
#include <filesystem>

namespace vanto::SettingsWindow {

const std::array<OptionToggle, 6> kOptionToggles = {{
    {"Kiểm tra chính tả (giữ nguyên từ tiếng Anh)", &Settings::spellCheck, &Settings::setSpellCheck,
     false},
    {"Dấu thanh cân đối: hòa, thủy (tắt: hoà, thuỷ)", &Settings::stdTone, &Settings::setStdTone,
     false},
    {"Gõ nhanh chữ ư bằng phím w", &Settings::telexW, &Settings::setTelexW, true},
    {"Xoá dấu thanh bằng phím z", &Settings::telexZ, &Settings::setTelexZ, true},
    {"Phím ⌫ xoá cả ký tự: việt → việ (tắt: việt → viêt)", &Settings::backspaceDeletesChar,
     &Settings::setBackspaceDeletesChar, false},
    // Only Telex letters turn English words Vietnamese.
    {"Nhận biết tiếng Anh theo ngữ cảnh", &Settings::englishContext, &Settings::setEnglishContext,
     true},
}};

bool isEnabled(const OptionToggle& toggle, const Settings& settings) {
    return !toggle.needsTelex || settings.telex();
}

std::string_view saveStatus(const Settings& settings) {
    return settings.saveFailed() ? kSaveFailedText : std::string_view();
}

StatusRow layoutStatus(bool layoutEnabled) {
    if (layoutEnabled) return {kOkSymbol, kLayoutEnabledText, {}, StatusRow::Action::none};
    return {kWarningSymbol, kLayoutMissingText, kLayoutHelpButton,
            StatusRow::Action::showSetupDialog};
}

StatusRow permissionStatus(bool trusted) {
    if (trusted) return {kOkSymbol, kTrustedText, {}, StatusRow::Action::none};
    return {kWarningSymbol, kUntrustedText, kGrantButton,
            StatusRow::Action::showAccessibilityDialog};
}

namespace {

bool isAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A version is ours, but it lands in a query: anything beyond the
// characters a query takes as they are is escaped.
std::string queryEscaped(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : text) {
        if (isAsciiAlnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    return out;
}

bool isWhiteSpace(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

} // namespace

Footer footer(std::string_view version, std::string_view site) {
    return {std::string(kVersionPrefix) + std::string(version),
            std::string(site) + std::string(kManualPath),
            std::string(site) + std::string(kUpdatePath) + queryEscaped(version)};
}

std::optional<AppEntry> appEntry(Workspace& workspace, const std::string& bundleID) {
    if (bundleID.empty()) return std::nullopt;
    const std::optional<std::string> path = workspace.applicationPath(bundleID);
    for (const RunningApp& app : workspace.runningApplications()) {
        if (app.bundleID != bundleID || !app.regular) continue;
        std::string name = app.name;
        if (name.empty()) name = workspace.applicationName(bundleID).value_or("");
        if (name.empty() && path) name = std::filesystem::path(*path).stem().string();
        if (name.empty()) name = bundleID;
        return AppEntry{bundleID, std::move(name), path.value_or("")};
    }
    if (!path) return std::nullopt;
    std::optional<std::string> name = workspace.applicationName(bundleID);
    if (!name) return std::nullopt;
    return AppEntry{bundleID, std::move(*name), *path};
}

std::string trimmedWhiteSpace(std::string_view text) {
    std::u32string scalars = toScalars(text);
    const auto first = std::find_if_not(scalars.begin(), scalars.end(), isWhiteSpace);
    const auto last = std::find_if_not(scalars.rbegin(), scalars.rend(), isWhiteSpace).base();
    if (first >= last) return {};
    return fromScalars(std::u32string_view(&*first, static_cast<std::size_t>(last - first)));
}

// Each change is made to the stored list, which another process may have
// changed since this window last loaded it.
bool addExclusion(Settings& settings, std::string_view typed) {
    const std::string id = trimmedWhiteSpace(typed);
    if (id.empty()) return false;
    settings.updateExclusions([&](std::vector<Exclusion>& list) {
        const auto existing =
            std::find_if(list.begin(), list.end(), [&](const Exclusion& e) { return e.id == id; });
        if (existing != list.end())
            existing->enabled = true;
        else
            list.push_back({id, true});
    });
    return true;
}

void setExclusionEnabled(Settings& settings, std::string_view id, bool enabled) {
    const std::vector<Exclusion> shown = settings.exclusions();
    if (std::none_of(shown.begin(), shown.end(), [&](const Exclusion& e) { return e.id == id; }))
        return;
    settings.updateExclusions([&](std::vector<Exclusion>& list) {
        const auto entry =
            std::find_if(list.begin(), list.end(), [&](const Exclusion& e) { return e.id == id; });
        if (entry != list.end()) entry->enabled = enabled;
    });
}

void removeExclusion(Settings& settings, std::size_t index) {
    // The row the user saw, which in the stored list may have moved.
    const std::vector<Exclusion> shown = settings.exclusions();
    if (index >= shown.size()) return;
    const Exclusion row = shown[index];
    settings.updateExclusions([&](std::vector<Exclusion>& list) {
        const auto entry = std::find(list.begin(), list.end(), row);
        if (entry != list.end()) list.erase(entry);
    });
}

ExclusionLabel ExclusionLabel::of(Workspace& workspace, const std::string& id) {
    if (isAddressPattern(id))
        return {Kind::webSite, id, std::nullopt, kWebSiteSymbol, kWebSiteCaption};
    if (id.find('*') != std::string::npos)
        return {Kind::pattern, id, std::nullopt, {}, kPatternCaption};
    std::optional<AppEntry> app = appEntry(workspace, id);
    const std::string_view caption = app ? std::string_view() : kMissingAppCaption;
    return {Kind::application, id, std::move(app), {}, caption};
}

AppPicker::AppPicker(Settings& settings, Workspace& workspace,
                     const std::vector<std::string>& recentApps, std::string_view ownBundleID)
    : settings_(settings) {
    std::set<std::string> skipped;
    for (const Exclusion& exclusion : settings.exclusions()) skipped.insert(exclusion.id);
    skipped.insert(std::string(ownBundleID));
    const auto skip = [&](const std::string& id) {
        return skipped.contains(id) || matchesAny(kNeverTypeApps, id);
    };
    for (const std::string& id : recentApps) {
        if (skip(id)) continue;
        if (std::optional<AppEntry> entry = appEntry(workspace, id)) {
            recent_.push_back(std::move(*entry));
            skipped.insert(id);
        }
    }
    for (const RunningApp& app : workspace.runningApplications()) {
        if (!app.regular || skip(app.bundleID)) continue;
        if (std::optional<AppEntry> entry = appEntry(workspace, app.bundleID)) {
            running_.push_back(std::move(*entry));
            skipped.insert(app.bundleID);
        }
    }
}

bool AppPicker::shown(const AppEntry& entry) const {
    const std::string wanted = lowercased(trimmedWhiteSpace(query));
    if (wanted.empty()) return true;
    return lowercased(entry.name).find(wanted) != std::string::npos ||
           lowercased(entry.id).find(wanted) != std::string::npos;
}

std::vector<AppPicker::Section> AppPicker::sections() const {
    std::vector<Section> sections;
    for (const auto& [title, list] :
         {std::pair{kRecentSection, &recent_}, std::pair{kRunningSection, &running_}}) {
        Section section{title, {}};
        for (const AppEntry& entry : *list)
            if (shown(entry)) section.entries.push_back(entry);
        if (!section.entries.empty()) sections.push_back(std::move(section));
    }
    return sections;
}

std::string_view AppPicker::emptyText() const {
    return trimmedWhiteSpace(query).empty() ? kNothingToAdd : kNothingFound;
}

void AppPicker::toggle(const std::string& id) {
    if (!picked_.erase(id)) picked_.insert(id);
}

std::string AppPicker::footerText() const {
    if (picked_.empty()) return std::string(kPickHint);
    return std::string(kPickedPrefix) + std::to_string(picked_.size());
}

void AppPicker::confirm() {
    for (const auto* list : {&recent_, &running_})
        for (const AppEntry& entry : *list)
            if (picked_.contains(entry.id)) addExclusion(settings_, entry.id);
    picked_.clear();
}

EditingAction editingAction(std::uint64_t flags, std::string_view characters) {
    // Only the device-independent part counts: which side's key was held
    // does not matter. Caps Lock is a state the user may have left on, not a
    // key held with the shortcut; the system's own shortcuts ignore it too.
    constexpr std::uint64_t kDeviceIndependent = 0xFFFF0000;
    constexpr std::uint64_t kCommandShift = ModifierFlags::Command | ModifierFlags::Shift;
    const std::uint64_t held = flags & kDeviceIndependent & ~std::uint64_t{ModifierFlags::CapsLock};
    if ((held | ModifierFlags::Shift) != kCommandShift) return EditingAction::none;
    const bool shift = flags & ModifierFlags::Shift;
    const std::string key = lowercased(characters);
    if (shift) return key == "z" ? EditingAction::redo : EditingAction::none;
    if (key == "w") return EditingAction::close;
    if (key == "z") return EditingAction::undo;
    if (key == "x") return EditingAction::cut;
    if (key == "c") return EditingAction::copy;
    if (key == "v") return EditingAction::paste;
    if (key == "a") return EditingAction::selectAll;
    return EditingAction::none;
}

std::string_view selector(EditingAction action) {
    switch (action) {
    case EditingAction::undo:
        return "undo:";
    case EditingAction::redo:
        return "redo:";
    case EditingAction::cut:
        return "cut:";
    case EditingAction::copy:
        return "copy:";
    case EditingAction::paste:
        return "paste:";
    case EditingAction::selectAll:
        return "selectAll:";
    case EditingAction::none:
    case EditingAction::close:
        return {};
    }
    return {};
}

} // namespace vanto::SettingsWindow
