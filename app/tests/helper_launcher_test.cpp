#include "setup/helper_launcher.h"

#include "setup/command_line.h"
#include "setup_fakes.h"

#include <gtest/gtest.h>

namespace vanto::testing {
namespace {

using Strings = std::vector<std::string>;

class HelperLauncherTest : public ::testing::Test {
  protected:
    HelperLauncherTest() {
        token = notifications.observe(kShowHelperNotification,
                                      [this](const std::optional<std::string>& object) {
                                          requests.push_back(object.value_or("(none)"));
                                      });
    }

    FakeProcesses processes;
    PortableNotificationHub notifications;
    UiHelperLauncher launcher{processes, notifications, "/opt/Vanto/Vanto",
                              std::string(kOwnBundleID)};
    Strings requests;
    std::unique_ptr<DistributedNotifications::Token> token;
};

TEST_F(HelperLauncherTest, ARunningHelperIsToldInsteadOfStartingAnother) {
    launcher.noteRecentApp("com.apple.TextEdit");
    launcher.noteRecentApp("com.microsoft.Word");
    launcher.launchHelper("settings", {});
    ASSERT_EQ(processes.launched.size(), 1u);
    EXPECT_EQ(processes.launched[0].executable, "/opt/Vanto/Vanto");
    EXPECT_EQ(processes.launched[0].arguments,
              (Strings{"settings", "--recent", "com.microsoft.Word", "com.apple.TextEdit"}));

    notifications.post(kHelperReadyNotification, "600");
    launcher.launchHelper("secure-input", {"123"});
    launcher.launchHelper("settings", {});
    EXPECT_EQ(processes.launched.size(), 1u);
    EXPECT_EQ(requests, (Strings{"secure-input 123", "settings"}));

    *processes.running = false;
    launcher.launchHelper("secure-input", {"77"});
    ASSERT_EQ(processes.launched.size(), 2u) << "a helper that ended is replaced";
    EXPECT_EQ(
        processes.launched[1].arguments,
        (Strings{"secure-input", "77", "--recent", "com.microsoft.Word", "com.apple.TextEdit"}));
    EXPECT_EQ(requests.size(), 2u);
}

// A helper listens for requests only some time after it starts; what the
// agent asks meanwhile (the settings after the accessibility dialog) waits
// for its announcement instead of being lost.
TEST_F(HelperLauncherTest, RequestsWaitUntilTheStartingHelperIsReady) {
    launcher.launchHelper("accessibility", {});
    launcher.launchHelper("settings", {});
    launcher.launchHelper("settings", {});
    launcher.launchHelper("secure-input", {"9"});
    EXPECT_TRUE(requests.empty());
    EXPECT_EQ(processes.launched.size(), 1u);

    notifications.post(kHelperReadyNotification, "600");
    EXPECT_EQ(requests, (Strings{"settings", "secure-input 9"})) << "in order, repeats once";
    notifications.post(kHelperReadyNotification, "600");
    EXPECT_EQ(requests.size(), 2u) << "nothing is sent twice";

    // A helper that ended before it was ready takes its requests with it;
    // the next one starts with its own command.
    *processes.running = false;
    launcher.launchHelper("setup", {});
    launcher.launchHelper("settings", {});
    *processes.running = false;
    notifications.post(kHelperReadyNotification, "601");
    EXPECT_EQ(requests.size(), 2u);
    launcher.launchHelper("settings", {});
    ASSERT_EQ(processes.launched.size(), 3u);
    EXPECT_EQ(processes.launched[2].arguments[0], "settings");
}

// The helper says it is ready only once it listens: a request the agent
// sends the moment it hears that is shown, besides the helper's own.
TEST(HelperStart, TheHelperListensBeforeItSaysItIsReady) {
    SetupRig rig;
    Strings announced;
    const auto ready = rig.platform.notifications.observe(
        kHelperReadyNotification, [&](const std::optional<std::string>& object) {
            announced.push_back(object.value_or(""));
            rig.platform.notifications.post(kShowHelperNotification, "settings");
        });
    CommandLine commandLine(rig.platform, rig.workspace, rig.out.file(), rig.err.file());
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(commandLine.start({"settings"}), 0);
    const std::string shown = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(announced, Strings{std::to_string(rig.platform.processInfo.processID())});
    std::size_t windows = 0;
    for (std::size_t at = 0; (at = shown.find("settings window", at)) != std::string::npos; ++at)
        ++windows;
    EXPECT_EQ(windows, 2u) << shown;
}

TEST_F(HelperLauncherTest, AHelperThatFailedToStartIsTriedAgain) {
    processes.launchWorks = false;
    launcher.launchHelper("setup", {});
    processes.launchWorks = true;
    launcher.launchHelper("setup", {});
    EXPECT_EQ(processes.launched.size(), 2u);
    EXPECT_TRUE(requests.empty());
}

// A helper takes the agent's list from its command line in the agent's order.
TEST(HelperArguments, RecentAppsComeBackInTheAgentsOrder) {
    Strings fifteen{"settings", "--recent"};
    Strings firstTwelve;
    for (int i = 1; i <= 15; ++i) {
        fifteen.push_back("app" + std::to_string(i));
        if (i <= 12) firstTwelve.push_back("app" + std::to_string(i));
    }
    const struct {
        Strings arguments;
        Strings recent;
    } cases[] = {
        {{"settings", "--recent", "b", "a"}, {"b", "a"}},
        {{"settings", "--recent", "a", "a"}, {"a"}},
        {{"settings", "--recent", "a", "b", "a"}, {"a", "b"}},
        {fifteen, firstTwelve},
        {{"settings", "--recent", "norbel.inputmethod.Vanto", "com.apple.loginwindow", "", "x"},
         {"x"}},
        {{"secure-input", "42", "--recent"}, {}},
        {{"settings", "b", "a"}, {}},
    };
    for (const auto& c : cases) {
        FakeProcesses processes;
        PortableNotificationHub notifications;
        UiHelperLauncher launcher(processes, notifications, "/opt/Vanto/Vanto",
                                  std::string(kOwnBundleID));
        noteRecentArguments(launcher, c.arguments);
        EXPECT_EQ(launcher.recentApps(), c.recent);
    }
}

} // namespace
} // namespace vanto::testing
