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
