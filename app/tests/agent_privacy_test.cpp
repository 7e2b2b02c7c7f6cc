// The agent keeps what the user types in memory only: a session of typing
// through the whole agent leaves no file but the settings domain, and says
// nothing on the terminal.
#include "pipeline/event_tap.h"
#include "pipeline/key_sender.h"
#include "pipeline/typist.h"
#include "platform/portable/portable_context.h"
#include "platform/portable/portable_events.h"
#include "platform/portable/portable_main_loop.h"
#include "platform/portable/portable_notifications.h"
#include "platform/portable/portable_process_info.h"
#include "platform/portable/portable_user_defaults.h"
#include "platform/portable/portable_workspace.h"
#include "settings/settings.h"
#include "shell_rig.h"
#include "ui/app_delegate.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>

namespace vanto {
namespace {

namespace fs = std::filesystem;

// Points the variables that decide where a program keeps files at folders
// of its own, and puts the old values back afterwards.
class ScratchEnvironment {
  public:
    explicit ScratchEnvironment(const fs::path& root) : workingFolder_(fs::current_path()) {
        for (const char* name : kVariables) {
            if (const char* value = std::getenv(name)) saved_[name] = value;
            const fs::path folder = root / name;
            fs::create_directories(folder);
            ::setenv(name, folder.c_str(), 1);
        }
        fs::create_directories(root / "cwd");
        fs::current_path(root / "cwd");
    }
    ~ScratchEnvironment() {
        fs::current_path(workingFolder_);
        for (const char* name : kVariables) {
            const auto old = saved_.find(name);
            if (old == saved_.end())
                ::unsetenv(name);
            else
                ::setenv(name, old->second.c_str(), 1);
        }
    }

  private:
    static constexpr const char* kVariables[] = {
        "HOME",           "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME",
        "XDG_STATE_HOME", "XDG_RUNTIME_DIR", "TMPDIR"};
    fs::path workingFolder_;
    std::map<std::string, std::string> saved_;
};

std::vector<fs::path> filesUnder(const fs::path& root) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (!entry.is_directory()) files.push_back(fs::relative(entry.path(), root));
    return files;
}

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The agent as start-up wires it, on the portable adapters.
struct Agent {
    PortableKeyboardEvents events;
    PortableEventTapHost host;
    PortableAccessibility accessibility;
    PortableProcessInfo processInfo;
    PortableUserDefaultsProvider defaults; // reads the scratch environment
    PortableNotificationHub notifications;
    PortablePropertyLists plists;
    PortableMainLoop loop{PortableMainLoop::Clock::manual};
    PortableWorkspace workspace;
    PortableAccessibilityClient client;
    PortableSecureInput secureInput;
    PortableBrowserScripting scripting;
    PortableStatusBar statusBar;
    testing::FakeLayout layout;
    testing::FakeHelper helper;
    Settings settings{defaults.standard(), notifications, plists, processInfo.processID()};
    KeySender sender{events};
    Typist typist{settings, sender, &processInfo};
    EventTap tap{host,
                 events,
                 accessibility,
                 typist,
                 sender.ownSourceStateID(),
                 [this](double seconds, std::function<void()> task) {
                     loop.after(seconds, std::move(task));
                 }};
    AppDelegate shell{{loop, workspace, accessibility, client, secureInput, scripting, statusBar},
                      settings,
                      defaults.standard(),
                      typist,
                      tap,
                      layout,
                      helper,
                      {"", "1.0.0"}};

    ~Agent() {
        tap.stop();
        tap.waitUntilStopped();
    }

    void key(char16_t c) {
        PlatformEvent down =
            PortableKeyboardEvents::userKey(EventType::KeyDown, c == u' ' ? 49 : 50, {c});
        PlatformEvent up = down;
        up.type = EventType::KeyUp;
        host.deliver(EventType::KeyDown, &down);
        host.deliver(EventType::KeyUp, &up);
    }
};

TEST(AgentPrivacy, TypingLeavesNoTraceOutsideMemory) {
    testing::TempFolder root;
    ScratchEnvironment environment(root.path());
    const std::u16string typed = u"Tooi vieets thuw bias maatj khaaur tieengs Vieetj ";

    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    {
        Agent agent;
        agent.layout.enabled = false; // the setup prompt records its version
        agent.secureInput.setHolder(0);
        agent.workspace.setRunningApplications({{"com.apple.Spotlight", 5, "Spotlight", false}});
        agent.workspace.activate({"com.apple.TextEdit", 10, "TextEdit", true});
        agent.shell.applicationDidFinishLaunching();
        ASSERT_TRUE(agent.host.waitForTap(5));
        for (int round = 0; round < 3; ++round) {
            for (const char16_t c : typed) agent.key(c);
            agent.client.focus(5, true);
            for (const char16_t c : typed) agent.key(c);
            agent.client.hide(5);
            agent.secureInput.setHolder(round == 1 ? 99 : 0);
            agent.layout.choose(round != 1);
            agent.workspace.activate({"com.apple.Notes", 11 + round, "Notes", true});
            agent.loop.advance(3);
        }
        EXPECT_FALSE(agent.events.takePosted().empty()); // it did type
    }
    const std::string out = ::testing::internal::GetCapturedStdout();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "");

    const fs::path settingsFile =
        fs::path("XDG_CONFIG_HOME") / "vanto" / "norbel.inputmethod.Vanto.plist";
    EXPECT_EQ(filesUnder(root.path()), std::vector<fs::path>{settingsFile});
    const std::string stored = contents(root.path() / settingsFile);
    for (const char* word : {"Vieetj", "Việt", "tiếng", "khẩu"})
        EXPECT_EQ(stored.find(word), std::string::npos) << word;
}

} // namespace
} // namespace vanto
