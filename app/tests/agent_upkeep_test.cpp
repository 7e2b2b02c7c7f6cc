// What keeps the agent typing on a real system: the permission of an earlier
// build, a tap the system refuses, App Nap and the user reopening the app.
#include "shell_rig.h"

#include <gtest/gtest.h>

namespace vanto {
namespace {

using testing::FakeHelper;
using testing::ShellRig;
using Location = EventTapHost::Location;

constexpr const char* kThisBuild = "cdhash H\"02\"";

// macOS lists the permission by name and checks it by the build's identity:
// a build that is not trusted although an earlier one was meets the
// permission of that earlier build.
TEST(AgentUpkeep, AnEarlierBuildsPermissionIsNamedAsSuch) {
    const struct {
        const char* name;
        const char* version;  // recorded; nullptr for no record
        const char* identity; // recorded
        bool trusted;
        std::vector<FakeHelper::Launch> launches;
    } cases[] = {
        {"never trusted", nullptr, nullptr, false, {{"accessibility", {}}}},
        {"this build, revoked", ShellRig::kVersion, kThisBuild, false, {{"accessibility", {}}}},
        {"new ad-hoc signature",
         ShellRig::kVersion,
         "cdhash H\"01\"",
         false,
         {{"accessibility", {"stale"}}}},
        {"new version", "1.1.0", kThisBuild, false, {{"accessibility", {"stale"}}}},
        {"new build, trusted", "1.1.0", "cdhash H\"01\"", true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ShellRig rig;
        rig.codeIdentity = kThisBuild;
        rig.accessibility.trusted = c.trusted;
        if (c.version) {
            rig.domain->setString(kTrustedVersionKey, c.version);
            rig.domain->setString(kTrustedCodeIdentityKey, c.identity);
        }
        AppDelegate& shell = rig.launch();
        EXPECT_EQ(rig.helper.launches, c.launches);
        EXPECT_EQ(shell.staleGrant(), !c.launches.empty() && !c.launches[0].parameters.empty());
        // Only a trusted build is recorded.
        EXPECT_EQ(rig.domain->string(kTrustedCodeIdentityKey),
                  c.trusted ? std::optional<std::string>(kThisBuild)
                            : (c.identity ? std::optional<std::string>(c.identity) : std::nullopt));
    }
}

TEST(AgentUpkeep, APermissionGrantedLaterIsRecordedForThisBuild) {
    ShellRig rig;
    rig.codeIdentity = kThisBuild;
    rig.accessibility.trusted = false;
    rig.domain->setString(kTrustedVersionKey, "1.1.0");
    rig.domain->setString(kTrustedCodeIdentityKey, "cdhash H\"01\"");
    AppDelegate& shell = rig.launch();
    EXPECT_TRUE(shell.staleGrant());

    rig.accessibility.trusted = true;
    rig.loop.advance(AppDelegate::kAccessibilityPollInterval + EventTap::kRestartDelay);
    EXPECT_FALSE(shell.staleGrant());
    EXPECT_EQ(rig.domain->string(kTrustedVersionKey), ShellRig::kVersion);
    EXPECT_EQ(rig.domain->string(kTrustedCodeIdentityKey), kThisBuild);
    ASSERT_TRUE(rig.host.waitForTap(5));
}

// The system refuses the tap for a while: the poll starts it as soon as it
// can, and only while Vanto is wanted.
TEST(AgentUpkeep, ARefusedTapIsTriedAgainWhileTypingIsWanted) {
    ShellRig rig;
    rig.host.setRefused(Location::HID, true);
    rig.host.setRefused(Location::Session, true);
    AppDelegate& shell = rig.launch();
    rig.tap.waitUntilStopped();
    EXPECT_FALSE(rig.tap.isRunning());
    rig.loop.advance(3 * AppDelegate::kAccessibilityPollInterval);
    rig.tap.waitUntilStopped();
    EXPECT_FALSE(rig.tap.isRunning());

    rig.layout.choose(false);
    rig.loop.advance(AppDelegate::kRecheckDelay);
    ASSERT_FALSE(shell.isActive());
    rig.host.setRefused(Location::HID, false);
    rig.loop.advance(3 * AppDelegate::kAccessibilityPollInterval);
    EXPECT_FALSE(rig.host.waitForTap(0.2)) << "not wanted, not started";

    // Switched on: started with the activity update, before the next poll.
    rig.layout.choose(true);
    rig.loop.advance(AppDelegate::kRecheckDelay);
    ASSERT_TRUE(rig.host.waitForTap(5));
    EXPECT_EQ(rig.tap.location(), Location::HID);
    EXPECT_TRUE(rig.host.tapEnabled());
    rig.type("vieetj");
    EXPECT_EQ(rig.text(), "việt");
}

// Where the hardware level is refused, the session level types the same.
TEST(AgentUpkeep, TheSessionTapStandsInForARefusedHardwareTap) {
    ShellRig rig;
    rig.host.setRefused(Location::HID, true);
    rig.launch();
    ASSERT_TRUE(rig.host.waitForTap(5));
    EXPECT_EQ(rig.tap.location(), Location::Session);
    rig.type("tieengs");
    EXPECT_EQ(rig.text(), "tiếng");

    // Recorded for "status" with the agent's process, and gone with the tap.
    rig.loop.advance(AppDelegate::kAccessibilityPollInterval);
    EXPECT_EQ(rig.domain->string(kEventTapKey), "session");
    EXPECT_EQ(rig.domain->integer(kEventTapProcessKey), 4242);
    rig.accessibility.trusted = false;
    rig.loop.advance(AppDelegate::kAccessibilityPollInterval);
    rig.tap.waitUntilStopped();
    rig.loop.advance(AppDelegate::kAccessibilityPollInterval);
    EXPECT_EQ(rig.domain->string(kEventTapKey), std::nullopt);
}

TEST(AgentUpkeep, TheRecordOfTheTapEndsWithTheAgent) {
    ShellRig rig;
    rig.launch();
    ASSERT_TRUE(rig.host.waitForTap(5));
    rig.loop.advance(AppDelegate::kAccessibilityPollInterval);
    EXPECT_EQ(rig.domain->string(kEventTapKey), "hid");
    rig.delegate.reset();
    EXPECT_EQ(rig.domain->string(kEventTapKey), std::nullopt);
    EXPECT_EQ(rig.domain->integer(kEventTapProcessKey), 0);
}

TEST(AgentUpkeep, TheAgentHoldsOffAppNapForItsWholeLife) {
    ShellRig rig;
    EXPECT_EQ(rig.processInfo.activities, 0);
    rig.launch();
    EXPECT_EQ(rig.processInfo.activities, 1);
    rig.delegate.reset();
    EXPECT_EQ(rig.processInfo.activities, 0);
}

// Opening Vanto.app while the agent runs reaches the agent, which has no
// window: it shows the settings through the helper, and the system does
// nothing more.
TEST(AgentUpkeep, ReopeningTheApplicationOpensTheSettings) {
    ShellRig rig;
    rig.launch();
    rig.helper.launches.clear();
    EXPECT_FALSE(rig.loop.reopen());
    EXPECT_EQ(rig.helper.commands(), std::vector<std::string>{"settings"});
    rig.delegate.reset();
    EXPECT_FALSE(rig.loop.reopen());
    EXPECT_EQ(rig.helper.launches.size(), 1u) << "no handler outlives the agent";
}

} // namespace
} // namespace vanto
