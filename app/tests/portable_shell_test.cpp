// The portable stand-ins of the shell's services: the main loop's clock and
// timers, the workspace's notifications and the terminal alerts.
#include "platform/portable/portable_alerts.h"
#include "platform/portable/portable_main_loop.h"
#include "platform/portable/portable_workspace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

namespace vanto {
namespace {

TEST(PortableMainLoop, TasksRunInTheOrderTheyComeDue) {
    PortableMainLoop loop(PortableMainLoop::Clock::manual);
    std::vector<std::string> ran;
    loop.after(0.3, [&] { ran.push_back("0.3"); });
    loop.after(0.1, [&] {
        ran.push_back("0.1");
        loop.after(0.1, [&] { ran.push_back("0.1+0.1"); });
    });
    loop.post([&] { ran.push_back("now"); });
    auto timer = loop.every(0.25, 0.1, [&] { ran.push_back("tick"); });
    EXPECT_TRUE(ran.empty()); // never inside the call that queues
    loop.advance(0.6);
    EXPECT_EQ(ran, (std::vector<std::string>{"now", "0.1", "0.1+0.1", "tick", "0.3", "tick"}));
    timer.reset();
    loop.advance(10);
    EXPECT_EQ(ran.size(), 6u);
    EXPECT_EQ(loop.waiting(), 0u);
    EXPECT_DOUBLE_EQ(loop.now(), 10.6);
}

TEST(PortableMainLoop, RealLoopRunsUntilQuitFromAnotherThread) {
    PortableMainLoop loop;
    int ran = 0;
    loop.after(0.01, [&] { ++ran; });
    std::thread other([&] {
        loop.post([&] {
            ++ran;
            loop.quit();
        });
    });
    loop.run();
    other.join();
    EXPECT_GE(ran, 1);
    loop.quit(); // a quit before run ends the next run at once
    loop.run();
}

TEST(PortableWorkspace, ActivationStartsTheApplicationAndTellsObservers) {
    PortableWorkspace workspace;
    std::vector<std::string> seen;
    auto running = workspace.onRunningApplicationsChange([&] { seen.push_back("running"); });
    auto activation = workspace.onActivation([&](const RunningApp& app) {
        EXPECT_EQ(workspace.frontmostApplication()->bundleID, app.bundleID);
        seen.push_back(app.bundleID);
    });
    workspace.activate({"com.apple.TextEdit", 10, "TextEdit", true});
    workspace.activate({"com.apple.TextEdit", 10, "TextEdit", true});
    EXPECT_EQ(seen,
              (std::vector<std::string>{"running", "com.apple.TextEdit", "com.apple.TextEdit"}));
    workspace.terminateApplications("com.apple.TextEdit");
    EXPECT_FALSE(workspace.frontmostApplication());
    activation.reset();
    workspace.activate({"com.apple.Notes", 11, "Notes", true});
    EXPECT_EQ(seen.back(), "running");
}

// An alert answered by the given input; returns the choice and the output.
std::pair<std::size_t, std::string> answer(const Alert& alert, const std::string& input) {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::fputs(input.c_str(), in);
    std::rewind(in);
    const std::size_t chosen = PortableAlerts(in, out).run(alert);
    std::string printed(static_cast<std::size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    printed.resize(std::fread(printed.data(), 1, printed.size(), out));
    std::fclose(in);
    std::fclose(out);
    return {chosen, printed};
}

TEST(PortableAlerts, NumberedButtonsAndTheChoiceTypedBack) {
    const Alert alert{Alert::Style::informational, "Tin nhắn", "Giải thích", {"Một", "Hai", "Ba"}};
    const struct {
        const char* input;
        std::size_t chosen;
    } cases[] = {
        {"2\n", 1}, {" 3 \n", 2}, {"0\nx\n4\n1\n", 0}, {"", 0}, {"abc", 0}, {"3", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        const auto [chosen, printed] = answer(alert, c.input);
        EXPECT_EQ(chosen, c.chosen);
        EXPECT_EQ(printed.rfind("Tin nhắn\nGiải thích\n  1. Một\n  2. Hai\n  3. Ba\n", 0), 0u)
            << printed;
    }
    // One button: nothing to ask.
    EXPECT_EQ(answer({Alert::Style::critical, "M", "", {"Đóng"}}, "zzz").second,
              "(!) M\n  1. Đóng\n");
}

} // namespace
} // namespace vanto
