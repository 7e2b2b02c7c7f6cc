// The settings window's behaviour without its views: the exclusion list,
// its labels, the application picker and the window's key equivalents.
#include "pipeline/key_event.h"
#include "pipeline_rig.h"
#include "platform/portable/portable_notifications.h"
#include "platform/portable/portable_property_lists.h"
#include "platform/portable/portable_user_defaults.h"
#include "platform/portable/portable_workspace.h"
#include "settings/settings.h"
#include "ui/settings_window_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace vanto {
namespace {

using namespace SettingsWindow;
using testing::PipelineRig;

TEST(SettingsWindow, AddingAnIdentifier) {
    const struct {
        const char* name;
        std::vector<Exclusion> before;
        const char* typed;
        bool added;
        std::vector<Exclusion> after;
    } cases[] = {
        {"trimmed", {}, "  com.example.*  ", true, {{"com.example.*", true}}},
        {"any white space",
         {},
         "\t\xC2\xA0https://a.vn/*\xE3\x80\x80\n",
         true,
         {{"https://a.vn/*", true}}},
        {"only white space", {{"a", true}}, " \t\xC2\xA0", false, {{"a", true}}},
        {"unchecked entry checked again",
         {{"com.example.*", false}, {"b", true}},
         "com.example.*",
         true,
         {{"com.example.*", true}, {"b", true}}},
        {"identifiers compare exactly",
         {{"com.Example", false}},
         "com.example",
         true,
         {{"com.Example", false}, {"com.example", true}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PipelineRig rig;
        rig.settings.setExclusions(c.before);
        EXPECT_EQ(addExclusion(rig.settings, c.typed), c.added);
        EXPECT_EQ(rig.settings.exclusions(), c.after);
    }
}

// Two windows, each in its own process with its own store, both change the
// list before either has heard of the other's change: neither change is lost.
TEST(SettingsWindow, ListChangesOfTwoProcessesAreBothKept) {
    char pattern[] = "/tmp/vanto-window-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::filesystem::path folder = pattern;
    {
        PortableUserDefaultsProvider storeA(folder), storeB(folder);
        PortableNotificationHub hubA, hubB; // neither hears the other
        PortablePropertyLists plists;
        Settings a(storeA.standard(), hubA, plists, 1), b(storeB.standard(), hubB, plists, 2);
        ASSERT_TRUE(addExclusion(a, "com.a"));
        ASSERT_TRUE(addExclusion(b, "com.b"));
        setExclusionEnabled(a, "com.a", false);
        EXPECT_EQ(b.exclusions(), (std::vector<Exclusion>{{"com.a", true}, {"com.b", true}}));
        removeExclusion(b, 1);
        a.load();
        EXPECT_EQ(a.exclusions(), (std::vector<Exclusion>{{"com.a", false}}));

        // At the same time, from two threads with a store each.
        const auto addMany = [&](PortableUserDefaultsProvider& store, char prefix) {
            Settings s(store.standard(), hubA, plists, prefix);
            for (int i = 0; i < 15; ++i)
                addExclusion(s, std::string(1, prefix) + std::to_string(i));
        };
        std::thread first(addMany, std::ref(storeA), 'x');
        addMany(storeB, 'y');
        first.join();
        a.load();
        EXPECT_EQ(a.exclusions().size(), 31u);
    }
    std::filesystem::remove_all(folder);
}

TEST(SettingsWindow, CheckboxAndRemoveControl) {
    PipelineRig rig;
    rig.settings.setExclusions({{"a", true}, {"b", true}, {"a", true}});
    setExclusionEnabled(rig.settings, "a", false);
    setExclusionEnabled(rig.settings, "missing", false);
    EXPECT_EQ(rig.settings.exclusions(),
              (std::vector<Exclusion>{{"a", false}, {"b", true}, {"a", true}}));
    removeExclusion(rig.settings, 1);
    removeExclusion(rig.settings, 5);
    EXPECT_EQ(rig.settings.exclusions(), (std::vector<Exclusion>{{"a", false}, {"a", true}}));
}

class WithApps : public ::testing::Test {
  protected:
    void SetUp() override {
        workspace.install("com.apple.TextEdit",
                          {"/System/Applications/TextEdit.app", "TextEdit", true});
        workspace.install("com.apple.Notes", {"/System/Applications/Notes.app", "Ghi chú", true});
        workspace.install("com.coccoc.Coccoc", {"/Applications/CocCoc.app", "Cốc Cốc", true});
        workspace.install("com.example.Agent", {"/Applications/Agent.app", "Agent", false});
        workspace.install("com.apple.ScreenSharing",
                          {"/System/Applications/ScreenSharing.app", "Screen Sharing", true});
        workspace.install(std::string(kOwnBundleID), {"/Applications/Vanto.app", "Vanto", true});
    }
    PortableWorkspace workspace;
};

TEST_F(WithApps, ExclusionLabels) {
    using Kind = ExclusionLabel::Kind;
    workspace.setRunningApplications({{"com.example.Running", 5, "Chạy", true}});
    const struct {
        const char* id;
        Kind kind;
        const char* name; // "" when no application is shown
        std::string_view caption;
    } cases[] = {
        {"https://*.bank.vn/*", Kind::webSite, "", kWebSiteCaption},
        {"http://intra", Kind::webSite, "", kWebSiteCaption},
        {"com.adobe.*", Kind::pattern, "", kPatternCaption},
        {"com.apple.Notes", Kind::application, "Ghi chú", ""},
        {"com.example.Running", Kind::application, "Chạy", ""},
        {"com.example.Agent", Kind::application, "", kMissingAppCaption},
        {"com.example.Gone", Kind::application, "", kMissingAppCaption},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        const ExclusionLabel label = ExclusionLabel::of(workspace, c.id);
        EXPECT_EQ(label.kind, c.kind);
        EXPECT_EQ(label.app ? label.app->name : "", c.name);
        EXPECT_EQ(label.caption, c.caption);
    }
}

std::vector<std::string> ids(const std::vector<AppEntry>& entries) {
    std::vector<std::string> result;
    for (const AppEntry& entry : entries) result.push_back(entry.id);
    return result;
}

TEST_F(WithApps, PickerOffersWhatCanStillBeExcluded) {
    PipelineRig rig;
    rig.settings.setExclusions({{"com.apple.TextEdit", false}});
    workspace.setRunningApplications({
        {"com.apple.Notes", 1, "Ghi chú", true},
        {std::string(kOwnBundleID), 2, "Vanto", false},
        {"com.example.Menu", 3, "Menu", false}, // an agent in the menu bar
        {"com.coccoc.Coccoc", 4, "Cốc Cốc", true},
        {"com.apple.ScreenSharing", 5, "Screen Sharing", true},
        {"com.coccoc.Coccoc", 6, "Cốc Cốc", true}, // a second instance
        {"com.apple.TextEdit", 7, "TextEdit", true},
        {"", 8, "no identifier", true},
    });
    const AppPicker picker(rig.settings, workspace,
                           {"com.apple.Notes", "com.example.Gone", std::string(kOwnBundleID),
                            "com.apple.loginwindow", "com.example.Agent"},
                           kOwnBundleID);
    EXPECT_EQ(ids(picker.recent()), std::vector<std::string>{"com.apple.Notes"});
    EXPECT_EQ(ids(picker.running()), std::vector<std::string>{"com.coccoc.Coccoc"});
}

TEST_F(WithApps, PickerFiltersAndConfirms) {
    PipelineRig rig;
    workspace.setRunningApplications(
        {{"com.coccoc.Coccoc", 4, "Cốc Cốc", true}, {"com.apple.TextEdit", 7, "TextEdit", true}});
    AppPicker picker(rig.settings, workspace, {"com.apple.Notes"}, kOwnBundleID);
    const struct {
        const char* query;
        std::vector<std::string_view> sections;
        std::string_view empty;
    } cases[] = {
        {"", {kRecentSection, kRunningSection}, kNothingToAdd},
        {"  CỐC ", {kRunningSection}, kNothingToAdd},
        {"APPLE.notes", {kRecentSection}, kNothingToAdd},
        {"firefox", {}, kNothingFound},
        {" \t", {kRecentSection, kRunningSection}, kNothingToAdd},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query);
        picker.query = c.query;
        std::vector<std::string_view> titles;
        for (const auto& section : picker.sections()) titles.push_back(section.title);
        EXPECT_EQ(titles, c.sections);
        if (titles.empty()) {
            EXPECT_EQ(picker.emptyText(), c.empty);
        }
    }

    EXPECT_EQ(picker.footerText(), kPickHint);
    EXPECT_FALSE(picker.canConfirm());
    picker.toggle("com.apple.TextEdit");
    picker.toggle("com.apple.Notes");
    picker.toggle("com.coccoc.Coccoc");
    picker.toggle("com.coccoc.Coccoc");
    EXPECT_EQ(picker.footerText(), "Đã chọn 2");
    picker.confirm();
    EXPECT_EQ(rig.settings.exclusions(),
              (std::vector<Exclusion>{{"com.apple.Notes", true}, {"com.apple.TextEdit", true}}));
}

TEST(SettingsWindow, PickerWithNothingToOffer) {
    PipelineRig rig;
    PortableWorkspace workspace;
    workspace.install("com.apple.TextEdit",
                      {"/System/Applications/TextEdit.app", "TextEdit", true});
    workspace.setRunningApplications({{"com.apple.TextEdit", 7, "TextEdit", true}});
    rig.settings.setExclusions({{"com.apple.TextEdit", true}});
    const AppPicker picker(rig.settings, workspace, {}, kOwnBundleID);
    EXPECT_TRUE(picker.sections().empty());
    EXPECT_EQ(picker.emptyText(), kNothingToAdd);
}

TEST(SettingsWindow, KeyEquivalents) {
    using enum EditingAction;
    constexpr std::uint64_t cmd = ModifierFlags::Command, shift = ModifierFlags::Shift;
    constexpr std::uint64_t leftCommandKey = 0x8; // a device-dependent bit
    const struct {
        std::uint64_t flags;
        const char* characters;
        EditingAction action;
    } cases[] = {
        {cmd, "w", close},
        {cmd | leftCommandKey, "w", close},
        {cmd, "z", undo},
        {cmd | shift, "Z", redo},
        {cmd | shift, "z", redo},
        {cmd, "v", paste},
        {cmd, "A", selectAll},
        {cmd | shift, "c", none},
        {cmd | ModifierFlags::Option, "c", none},
        {cmd | ModifierFlags::Control, "v", none},
        {cmd | ModifierFlags::CapsLock, "w", close},
        {cmd | ModifierFlags::CapsLock, "V", paste},
        {0, "w", none},
        {shift, "z", none},
        {cmd, "q", none},
        {cmd, "", none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.flags << " " << c.characters);
        EXPECT_EQ(editingAction(c.flags, c.characters), c.action);
    }
    EXPECT_EQ(selector(redo), "redo:");
    EXPECT_EQ(selector(selectAll), "selectAll:");
    EXPECT_EQ(selector(close), "");
}

TEST(SettingsWindow, FooterLinksCarryTheVersion) {
    const Footer f = footer("1.2.0", "https://site.example");
    EXPECT_EQ(f.versionText, "Vanto v1.2.0");
    EXPECT_EQ(f.manualURL, "https://site.example/vanto/manual");
    EXPECT_EQ(f.updateURL, "https://site.example/vanto?update=1.2.0");
    EXPECT_EQ(footer("1.2 beta&x", "s").updateURL, "s/vanto?update=1.2%20beta%26x");
}

} // namespace
} // namespace vanto
