// The application shell driven through the portable stand-ins: input-source
// switches, activations, Spotlight, secure input and the setup prompts.
#include "shell_rig.h"

#include <gtest/gtest.h>

namespace vanto {
namespace {

using testing::app;
using testing::ShellRig;

constexpr const char* kAccessibility = "accessibility";
constexpr const char* kSetup = "setup";
constexpr const char* kSettings = "settings";
constexpr int kSpotlightPID = 77;

TEST(AppDelegate, LaunchFollowsTheLayoutAndTheFrontApplication) {
    ShellRig rig;
    AppDelegate& shell = rig.launch();
    EXPECT_TRUE(shell.isActive());
    EXPECT_EQ(shell.focusedBundleID(), "com.apple.TextEdit");
    EXPECT_EQ(rig.profileInForce().bundleID, "com.apple.TextEdit");
    EXPECT_EQ(rig.helper.noted, std::vector<std::string>{"com.apple.TextEdit"});
    ASSERT_TRUE(rig.host.waitForTap(5));
    EXPECT_TRUE(rig.host.tapEnabled());
    rig.type("vieetj");
    EXPECT_EQ(rig.text(), "việt");
}

TEST(AppDelegate, ABurstOfInputSourceChangesCostsOneUpdate) {
    ShellRig rig;
    AppDelegate& shell = rig.launch();
    const int before = rig.layout.selectionQueries;
    // Away from Vanto and back within the delay: one look, at the end.
    rig.layout.choose(false);
    rig.loop.advance(0.05);
    rig.layout.choose(true);
    EXPECT_EQ(rig.layout.selectionQueries, before);
    EXPECT_TRUE(shell.recheckPending());
    rig.loop.advance(AppDelegate::kRecheckDelay);
    EXPECT_EQ(rig.layout.selectionQueries, before + 1);
    EXPECT_FALSE(shell.recheckPending());
    EXPECT_TRUE(shell.isActive());
    rig.loop.advance(10);
    EXPECT_EQ(rig.layout.selectionQueries, before + 1);
}

TEST(AppDelegate, BecomingInactiveMidWordWritesItsCommittedForm) {
    ShellRig rig;
    rig.launch();
    rig.type("vieetjk"); // shown as "việtk", not a word: committed as typed
    ASSERT_EQ(rig.text(), "việtk");
    const std::size_t writes = rig.screen.requests.size();
    rig.layout.choose(false);
    rig.loop.advance(AppDelegate::kRecheckDelay);
    EXPECT_EQ(rig.text(), "vieetjk");
    EXPECT_EQ(rig.screen.requests.size(), writes + 1);
    EXPECT_EQ(rig.liveKeys(), 0u);
}

TEST(AppDelegate, ActivationDropsTheWordWithoutWriting) {
    ShellRig rig;
    rig.launch();
    rig.type("vieet");
    const std::string shown = rig.text();
    const std::size_t writes = rig.screen.requests.size();
    for (const RunningApp& next :
         {app("com.apple.Notes", 11), app("", 12), app("com.apple.Notes", 11)}) {
        rig.workspace.activate(next);
        EXPECT_EQ(rig.screen.requests.size(), writes);
        EXPECT_EQ(rig.liveKeys(), 0u);
    }
    EXPECT_EQ(rig.text(), shown);
    // Notes again: a new word, not a continuation of "viêt".
    rig.type("j");
    EXPECT_EQ(rig.text(), shown + "j");
    EXPECT_EQ(rig.profileInForce().bundleID, "com.apple.Notes");
}

TEST(AppDelegate, VirtualMachineHandsTheLayoutBack) {
    struct Case {
        const char* name;
        bool activeBefore;
        bool throughVM;
        int reselections;
    };
    const Case cases[] = {
        {"active, then the VM", true, true, 1},
        {"inactive before the VM", false, true, 0},
        {"no VM in between", true, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShellRig rig;
        rig.layout.selected = c.activeBefore;
        rig.launch();
        rig.workspace.activate(app("com.apple.Safari", 20));
        rig.workspace.activate(
            app(c.throughVM ? "com.parallels.desktop.console" : "com.apple.Notes", 21));
        // Inside the machine the system switches to another input source.
        rig.layout.choose(false);
        rig.loop.advance(AppDelegate::kRecheckDelay);
        rig.workspace.activate(app("com.apple.TextEdit", 10));
        rig.loop.advance(AppDelegate::kReselectDelay / 2);
        EXPECT_EQ(rig.layout.selections, 0);
        rig.loop.advance(AppDelegate::kReselectDelay);
        EXPECT_EQ(rig.layout.selections, c.reselections);
        rig.loop.advance(AppDelegate::kRecheckDelay);
        EXPECT_EQ(rig.delegate->isActive(), c.reselections > 0);
    }
}

class SpotlightTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rig.workspace.setRunningApplications({app("com.apple.Spotlight", kSpotlightPID, false)});
        rig.launch();
        std::lock_guard<std::mutex> guard(rig.typist.lock);
        rig.typist.caretMoved = true;
    }
    bool caretMoved() {
        std::lock_guard<std::mutex> guard(rig.typist.lock);
        return rig.typist.caretMoved;
    }
    ShellRig rig;
};

TEST_F(SpotlightTest, OverlayComesWithTheSearchFieldAndGoesWithIt) {
    struct Step {
        const char* name;
        std::function<void(ShellRig&)> act;
        const char* inForce;
    };
    const Step steps[] = {
        {"search field focused", [](ShellRig& r) { r.client.focus(kSpotlightPID, true); },
         "com.apple.Spotlight"},
        {"another element", [](ShellRig& r) { r.client.focus(kSpotlightPID, false); },
         "com.apple.TextEdit"},
        {"focused again", [](ShellRig& r) { r.client.focus(kSpotlightPID, true); },
         "com.apple.Spotlight"},
        {"hidden", [](ShellRig& r) { r.client.hide(kSpotlightPID); }, "com.apple.TextEdit"},
        {"focused again", [](ShellRig& r) { r.client.focus(kSpotlightPID, true); },
         "com.apple.Spotlight"},
        {"Spotlight restarted",
         [](ShellRig& r) {
             r.workspace.setRunningApplications({app("com.apple.Spotlight", 78, false)});
         },
         "com.apple.TextEdit"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        {
            std::lock_guard<std::mutex> guard(rig.typist.lock);
            rig.typist.caretMoved = true;
        }
        step.act(rig);
        EXPECT_EQ(rig.profileInForce().bundleID, step.inForce);
        EXPECT_FALSE(caretMoved());
    }
    EXPECT_EQ(rig.client.observed(), std::vector<int>{78});
}

TEST_F(SpotlightTest, PermissionChangeKeepsTheObservedField) {
    rig.client.focus(kSpotlightPID, true);
    rig.accessibility.trusted = false;
    rig.loop.advance(AppDelegate::kAccessibilityPollInterval);
    rig.accessibility.trusted = true;
    rig.loop.advance(AppDelegate::kAccessibilityPollInterval);
    EXPECT_TRUE(rig.delegate->spotlightFocused());
    EXPECT_EQ(rig.client.observed(), std::vector<int>{kSpotlightPID});
}

TEST(AppDelegate, SpotlightIsObservedOnceThePermissionArrives) {
    ShellRig rig;
    rig.accessibility.trusted = false;
    rig.workspace.setRunningApplications({app("com.apple.Spotlight", kSpotlightPID, false)});
    rig.launch();
    EXPECT_TRUE(rig.client.observed().empty());
    EXPECT_FALSE(rig.tap.isRunning());
    rig.accessibility.trusted = true;
    rig.loop.advance(AppDelegate::kAccessibilityPollInterval + EventTap::kRestartDelay);
    EXPECT_EQ(rig.client.observed(), std::vector<int>{kSpotlightPID});
    ASSERT_TRUE(rig.host.waitForTap(5));
    EXPECT_TRUE(rig.host.tapEnabled());
}

TEST(AppDelegate, LockItemFollowsSecureInput) {
    ShellRig rig;
    AppDelegate& shell = rig.launch();
    const std::string lock(kLockItemTitle);
    rig.secureInput.setHolder(123);
    rig.loop.advance(AppDelegate::kSecureInputPollInterval);
    EXPECT_EQ(rig.statusBar.titles(), std::vector<std::string>{lock});
    EXPECT_TRUE(rig.statusBar.click(lock));
    EXPECT_EQ(rig.helper.launches.back(), (testing::FakeHelper::Launch{"secure-input", {"123"}}));
    // Another holder: still one lock.
    rig.secureInput.setHolder(124);
    rig.loop.advance(AppDelegate::kSecureInputPollInterval);
    EXPECT_EQ(shell.securePID(), 124);
    EXPECT_EQ(rig.statusBar.titles().size(), 1u);
    // Switched off, the lock stays until secure input ends.
    rig.layout.choose(false);
    rig.loop.advance(AppDelegate::kRecheckDelay);
    rig.secureInput.setHolder(0);
    rig.loop.advance(AppDelegate::kSecureInputPollInterval);
    EXPECT_TRUE(rig.statusBar.titles().empty());
    // Inactive with no lock shown: the poll asks nothing.
    rig.secureInput.setHolder(125);
    rig.loop.advance(5 * AppDelegate::kSecureInputPollInterval);
    EXPECT_TRUE(rig.statusBar.titles().empty());
    EXPECT_EQ(shell.securePID(), 0);
}

TEST(AppDelegate, AccessibilityIsRequestedAtMostOncePerRun) {
    ShellRig rig;
    rig.accessibility.trusted = false;
    rig.launch(); // both the activity update and the setup prompt would ask
    for (int i = 0; i < 3; ++i) {
        rig.layout.choose(false);
        rig.loop.advance(AppDelegate::kRecheckDelay);
        rig.layout.choose(true);
        rig.loop.advance(AppDelegate::kRecheckDelay);
    }
    EXPECT_EQ(rig.helper.commands(), std::vector<std::string>{kAccessibility});
    EXPECT_EQ(rig.domain->string(kSetupPromptedVersionKey), ShellRig::kVersion);
}

TEST(AppDelegate, SetupPromptsOncePerVersion) {
    struct Case {
        const char* name;
        const char* prompted; // the version stored, "" for none
        bool layoutEnabled, trusted, loginNeeded, openSettings;
        std::vector<std::string> commands;
        const char* stored;
    };
    const Case cases[] = {
        {"all done", "", true, true, false, false, {}, ""},
        {"prompted for this version",
         ShellRig::kVersion,
         false,
         true,
         false,
         false,
         {},
         ShellRig::kVersion},
        {"prompted for an older version",
         "1.1.0",
         false,
         true,
         false,
         false,
         {kSetup},
         ShellRig::kVersion},
        {"layout not in the menu", "", false, true, false, false, {kSetup}, ShellRig::kVersion},
        {"login needed: not recorded", "", false, true, true, false, {kSetup}, ""},
        {"permission missing", "", true, false, false, false, {kAccessibility}, ShellRig::kVersion},
        {"opened by the user", "", false, false, false, true, {kSettings}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShellRig rig;
        if (*c.prompted) rig.domain->setString(kSetupPromptedVersionKey, c.prompted);
        rig.layout.enabled = c.layoutEnabled;
        rig.layout.selected = false;
        rig.layout.loginNeeded = c.loginNeeded;
        rig.accessibility.trusted = c.trusted;
        rig.launch(false, c.openSettings);
        EXPECT_EQ(rig.helper.commands(), c.commands);
        EXPECT_EQ(rig.domain->string(kSetupPromptedVersionKey).value_or(""), c.stored);
    }
}

TEST(AppDelegate, SettingsChangeRecomputesTheFrontProfile) {
    ShellRig rig;
    rig.launch();
    EXPECT_FALSE(rig.profileInForce().ignored);
    rig.settings.setExclusions({{"com.apple.TextEdit", true}});
    EXPECT_FALSE(rig.profileInForce().ignored); // the switch is still off
    rig.settings.setExclusionsOn(true);
    EXPECT_TRUE(rig.profileInForce().ignored);
    rig.settings.setExclusions({{"com.apple.TextEdit", false}});
    EXPECT_FALSE(rig.profileInForce().ignored);
}

TEST(AppDelegate, AddressRuleIgnoresTheBrowserInFront) {
    ShellRig rig;
    rig.settings.setExclusions({{"https://*.bank.vn/*", true}, {"com.apple.Notes", true}});
    rig.settings.setExclusionsOn(true);
    rig.launch();
    const std::string chrome = *addressScript("com.google.Chrome");
    rig.scripting.setAnswer(chrome, "https://ib.bank.vn/login");
    rig.workspace.activate(app("com.google.Chrome", 30));
    rig.delegate->waitForAddressChecks();
    EXPECT_TRUE(rig.profileInForce().ignored);
    // The next activation computes the profile afresh.
    rig.scripting.setAnswer(chrome, "https://example.com/");
    rig.workspace.activate(app("com.google.Chrome", 30));
    rig.delegate->waitForAddressChecks();
    EXPECT_FALSE(rig.profileInForce().ignored);
}

TEST(AppDelegate, NoScriptRunsWithoutAddressRules) {
    ShellRig rig;
    rig.settings.setExclusions({{"https://*.bank.vn/*", false}, {"com.apple.Notes", true}});
    rig.settings.setExclusionsOn(true);
    rig.launch();
    rig.workspace.activate(app("com.apple.Safari", 31));
    rig.workspace.activate(app("com.google.Chrome", 30));
    rig.delegate->waitForAddressChecks();
    EXPECT_EQ(rig.scripting.compiled(), 0);
    EXPECT_EQ(rig.scripting.ran(), 0);
}

} // namespace
} // namespace vanto
