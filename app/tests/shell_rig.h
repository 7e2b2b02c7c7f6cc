// The application shell on the portable stand-ins, with a typist writing into
// an in-memory screen and a scratch settings domain. Time moves only when a
// test advances the main loop.
#pragma once

#include "pipeline/event_tap.h"
#include "pipeline_rig.h"
#include "platform/portable/portable_context.h"
#include "platform/portable/portable_main_loop.h"
#include "platform/portable/portable_workspace.h"
#include "ui/app_delegate.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace vanto::testing {

class FakeAccessibility final : public Accessibility {
  public:
    bool isTrusted() override { return trusted; }
    std::atomic<bool> trusted{true};
};

// Counts the activities held against App Nap.
class FakeProcessInfo final : public ProcessInfo {
  public:
    class Held final : public Activity {
      public:
        explicit Held(int& count) : count_(count) { ++count_; }
        ~Held() override { --count_; }

      private:
        int& count_;
    };
    int processID() override { return 4242; }
    std::uint64_t physicalFootprint() override { return 0; }
    void relieveMemoryPressure() override {}
    std::unique_ptr<Activity> beginUserActivity(std::string_view) override {
        return std::make_unique<Held>(activities);
    }
    int activities = 0;
};

// The layout in the input menu, switched by the test playing the user.
class FakeLayout final : public LayoutControl {
  public:
    class Token final : public Subscription {
      public:
        explicit Token(FakeLayout& owner) : owner_(owner) {}
        ~Token() override { owner_.handlers_.clear(); }

      private:
        FakeLayout& owner_;
    };

    bool isLayoutSelected() override {
        ++selectionQueries;
        return selected;
    }
    bool layoutEnabled() override { return enabled; }
    bool selectLayout() override {
        ++selections;
        if (!enabled) return false;
        choose(true);
        return true;
    }
    bool needsLogin() override { return loginNeeded; }
    std::unique_ptr<Subscription>
    onSelectedInputSourceChange(std::function<void()> handler) override {
        handlers_.push_back(std::move(handler));
        return std::make_unique<Token>(*this);
    }

    // The user picks an input source: the system announces it twice, as it
    // does for one switch.
    void choose(bool vanto) {
        selected = vanto;
        for (int i = 0; i < 2; ++i)
            for (const auto& handler : handlers_) handler();
    }

    bool selected = true;
    bool enabled = true;
    bool loginNeeded = false;
    int selectionQueries = 0;
    int selections = 0;

  private:
    std::vector<std::function<void()>> handlers_;
};

class FakeHelper final : public HelperLaunching {
  public:
    struct Launch {
        std::string command;
        std::vector<std::string> parameters;
        bool operator==(const Launch&) const = default;
    };
    void launchHelper(const std::string& command,
                      const std::vector<std::string>& parameters) override {
        launches.push_back({command, parameters});
    }
    void noteRecentApp(const std::string& bundleID) override { noted.push_back(bundleID); }
    std::vector<std::string> recentApps() const override { return noted; }

    std::vector<std::string> commands() const {
        std::vector<std::string> result;
        for (const Launch& launch : launches) result.push_back(launch.command);
        return result;
    }

    std::vector<Launch> launches;
    std::vector<std::string> noted;
};

inline RunningApp app(const std::string& bundleID, int pid, bool regular = true) {
    return {bundleID, pid, "", regular};
}

class ShellRig {
  public:
    static constexpr const char* kVersion = "1.2.0";

    ShellRig()
        : defaults_(folder_.path()), domain(defaults_.suite("norbel.inputmethod.Vanto.test")),
          settings(*domain, notifications_, plists_, 4242), typist(settings, screen) {}

    ~ShellRig() {
        delegate.reset();
        tap.stop();
        tap.waitUntilStopped();
    }

    // Launches the agent with TextEdit in front, unless told otherwise.
    AppDelegate& launch(bool textEditInFront = true, bool openSettings = false) {
        if (textEditInFront) workspace.activate(app("com.apple.TextEdit", 10));
        delegate = std::make_unique<AppDelegate>(ports(), settings, *domain, typist, tap, layout,
                                                 helper, AppIdentity{"", version, codeIdentity});
        delegate->openSettings = openSettings;
        delegate->applicationDidFinishLaunching();
        return *delegate;
    }

    ShellPorts ports() {
        return {loop,        workspace, accessibility, client,
                secureInput, scripting, statusBar,     processInfo};
    }

    // Keys through the typist's gate, as the tap hands them over.
    void type(std::string_view keys) { feedText(events, typist, &screen.screen, keys, true); }
    std::string text() const { return screen.screen.text(); }
    std::uint64_t liveKeys() {
        std::lock_guard<std::mutex> guard(typist.lock);
        return vt_engine_raw_len(typist.engine().ptr());
    }
    AppProfile profileInForce() {
        std::lock_guard<std::mutex> guard(typist.lock);
        return typist.app();
    }

  private:
    TempFolder folder_;
    PortableUserDefaultsProvider defaults_;
    PortableNotificationHub notifications_;
    PortablePropertyLists plists_;

  public:
    std::unique_ptr<UserDefaults> domain;
    Settings settings;
    RecordingScreen screen;
    Typist typist;
    PortableKeyboardEvents events;
    PortableMainLoop loop{PortableMainLoop::Clock::manual};
    PortableWorkspace workspace;
    FakeAccessibility accessibility;
    PortableAccessibilityClient client;
    PortableSecureInput secureInput;
    PortableBrowserScripting scripting;
    PortableStatusBar statusBar;
    FakeProcessInfo processInfo;
    // Who the agent is at the next launch.
    std::string version = kVersion;
    std::string codeIdentity = "cdhash H\"01\"";
    PortableEventTapHost host;
    EventTap tap{host,
                 events,
                 accessibility,
                 typist,
                 events.privateSourceStateID(),
                 [this](double seconds, std::function<void()> task) {
                     loop.after(seconds, std::move(task));
                 }};
    FakeLayout layout;
    FakeHelper helper;
    std::unique_ptr<AppDelegate> delegate;
};

} // namespace vanto::testing
