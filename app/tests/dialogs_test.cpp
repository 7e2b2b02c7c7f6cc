// The helper's alerts: what each answer does, and whom the secure-input
// alert names.
#include "platform/portable/portable_context.h"
#include "platform/portable/portable_main_loop.h"
#include "platform/portable/portable_workspace.h"
#include "setup_fakes.h"
#include "shell_rig.h"
#include "ui/dialogs.h"

#include <gtest/gtest.h>

namespace vanto {
namespace {

using testing::app;

class ScriptedAlerts final : public Alerts {
  public:
    std::size_t run(const Alert& alert) override {
        shown.push_back(alert);
        return answer;
    }
    std::size_t answer = 0;
    std::vector<Alert> shown;
};

struct DialogRig {
    explicit DialogRig(int systemVersion = 14)
        : dialogs(alerts, workspace, client, loop, layout, processes,
                  {"/Applications/Vanto.app", systemVersion}) {}
    ScriptedAlerts alerts;
    PortableWorkspace workspace;
    PortableAccessibilityClient client;
    PortableMainLoop loop{PortableMainLoop::Clock::manual};
    testing::FakeLayout layout;
    testing::FakeProcesses processes;
    Dialogs dialogs;
};

TEST(Dialogs, AccessibilityAnswers) {
    const std::string privacy(Dialogs::kAccessibilityPrivacyURL);
    const struct {
        std::size_t answer;
        int prompts;
        std::vector<std::string> opened;
        std::vector<std::string> revealed;
    } cases[] = {
        {0, 1, {}, {}},
        {1, 0, {privacy}, {"/Applications/Vanto.app"}},
        {2, 0, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        DialogRig rig;
        rig.alerts.answer = c.answer;
        rig.dialogs.showAccessibilityDialog();
        EXPECT_EQ(rig.client.trustPrompts(), c.prompts);
        EXPECT_EQ(rig.workspace.openedURLs(), c.opened);
        // The settings window comes up first; the bundle is shown beside it.
        rig.loop.advance(Dialogs::kRevealDelay / 2);
        EXPECT_TRUE(rig.workspace.revealedFiles().empty());
        rig.loop.advance(Dialogs::kRevealDelay);
        EXPECT_EQ(rig.workspace.revealedFiles(), c.revealed);
    }
}

// macOS keeps an earlier build's permission under Vanto's name: the first
// button removes it and lets the system ask again, or, when it cannot be
// removed, shows the list so the user removes it by hand.
TEST(Dialogs, StaleGrantIsClearedBeforeTheSystemAsksAgain) {
    const std::string privacy(Dialogs::kAccessibilityPrivacyURL);
    const struct {
        const char* name;
        std::size_t answer;
        std::optional<int> tccutil;
        std::size_t resets;
        int prompts;
        std::vector<std::string> opened;
    } cases[] = {
        {"cleared", 0, 0, 1, 1, {}},
        {"refused", 0, 1, 1, 0, {privacy}},
        {"tool missing", 0, std::nullopt, 1, 0, {privacy}},
        {"reveal", 1, 0, 0, 0, {privacy}},
        {"close", 2, 0, 0, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DialogRig rig;
        rig.processes.answer = [&](const auto&) { return c.tccutil; };
        rig.alerts.answer = c.answer;
        rig.dialogs.showAccessibilityDialog(true);
        ASSERT_EQ(rig.alerts.shown.size(), 1u);
        EXPECT_EQ(rig.alerts.shown[0].message, Dialogs::kStaleGrantMessage);
        EXPECT_EQ(rig.alerts.shown[0].buttons[0], "Xoá quyền cũ");
        EXPECT_EQ(rig.processes.ran.size(), c.resets);
        if (c.resets) {
            EXPECT_EQ(rig.processes.ran[0],
                      (testing::FakeProcesses::Call{
                          "/usr/bin/tccutil",
                          {"reset", "Accessibility", "norbel.inputmethod.Vanto"},
                          true,
                          true}));
        }
        EXPECT_EQ(rig.client.trustPrompts(), c.prompts);
        EXPECT_EQ(rig.workspace.openedURLs(), c.opened);
    }
}

TEST(Dialogs, SetupOpensTheKeyboardSettingsOfTheSystemVersion) {
    const struct {
        int version;
        bool loginNeeded;
        std::size_t answer;
        std::vector<std::string> opened;
    } cases[] = {
        {14, false, 0, {std::string(Dialogs::kKeyboardSettingsURL)}},
        {13, false, 0, {std::string(Dialogs::kKeyboardSettingsURL)}},
        {12, false, 0, {std::string(Dialogs::kLegacyKeyboardSettingsURL)}},
        {14, false, 1, {}},
        {14, true, 0, {}}, // the log-out advice has only "Đóng"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        DialogRig rig(c.version);
        rig.layout.loginNeeded = c.loginNeeded;
        rig.alerts.answer = c.answer;
        rig.dialogs.showSetupDialog();
        ASSERT_EQ(rig.alerts.shown.size(), 1u);
        EXPECT_EQ(rig.alerts.shown[0].message,
                  c.loginNeeded ? Dialogs::kLoginMessage : Dialogs::kSetupMessage);
        EXPECT_EQ(rig.alerts.shown[0].buttons.size(), c.loginNeeded ? 1u : 2u);
        EXPECT_EQ(rig.workspace.openedURLs(), c.opened);
    }
}

TEST(Dialogs, SecureInputNamesTheHolder) {
    const struct {
        const char* name;
        int pid;
        const char* message;
    } cases[] = {
        {"login window", 40, "Hãy thử khoá màn hình rồi mở lại"},
        {"named application", 41, "Hãy thử thoát app \"Mật khẩu\""},
        {"application without a name", 42, "Hãy thử thoát app \"com.example.vault\""},
        {"no such process", 99, "Hãy thử thoát app \"đang bật Secure Input\""},
        {"no process known", 0, "Hãy thử thoát app \"đang bật Secure Input\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DialogRig rig;
        rig.workspace.setRunningApplications({{"com.apple.loginwindow", 40, "loginwindow", false},
                                              {"com.example.passwords", 41, "Mật khẩu", true},
                                              {"com.example.vault", 42, "", true}});
        rig.alerts.answer = 0;
        rig.dialogs.showSecureInputDialog(c.pid);
        ASSERT_EQ(rig.alerts.shown.size(), 1u);
        EXPECT_EQ(rig.alerts.shown[0].message, c.message);
        EXPECT_EQ(rig.alerts.shown[0].style, Alert::Style::critical);
        EXPECT_EQ(rig.workspace.openedURLs(),
                  std::vector<std::string>{std::string(Dialogs::kVendorSite) +
                                           "/vanto/manual/secure-input"});
    }
}

} // namespace
} // namespace vanto
