#include "setup/installer.h"

#include "setup_fakes.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/resource.h>

namespace vanto::testing {
namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

constexpr const char* kAddLine = "layout: add Vanto in System Settings > Keyboard > Input Sources "
                                 "(not listed? log out and in first)\n";

class InstallerTest : public ::testing::Test {
  protected:
    InstallerTest()
        : installer(rig.platform, rig.workspace, home(), rig.out.file(), rig.err.file()) {
        rig.bundle.resources = folder.path() / "Resources";
        writeFile(source() / "Contents/Info.plist", "<plist>layout</plist>");
        writeFile(source() / "Contents/Resources/Vanto.keylayout", "<keyboard/>");
    }
    fs::path home() const { return folder.path() / "home"; }
    fs::path source() const { return folder.path() / "Resources/Vanto.bundle"; }
    fs::path installed() const { return home() / "Library/Keyboard Layouts/Vanto.bundle"; }
    fs::path agentPlist() const {
        return home() / "Library/LaunchAgents/norbel.inputmethod.Vanto.agent.plist";
    }
    std::string installedLine() const { return "layout: installed " + installed().string() + "\n"; }
    std::string agentLine() const { return "login agent: " + agentPlist().string() + "\n"; }

    TempFolder folder;
    SetupRig rig;
    Installer installer;
};

TEST_F(InstallerTest, InstallsTheLayoutAndTheAgentAndRefreshesTheMenu) {
    // launchd has the job once it is bootstrapped.
    bool loaded = false;
    rig.processes.answer = [&](const FakeProcesses::Call& call) -> std::optional<int> {
        if (call.executable != "/bin/launchctl") return 0;
        if (call.arguments[0] == "bootstrap") loaded = true;
        if (call.arguments[0] == "print") return loaded ? 0 : 113;
        return call.arguments[0] == "bootout" ? 3 : 0;
    };
    ASSERT_EQ(installer.install(), 0);
    EXPECT_EQ(rig.out.text(), installedLine() + agentLine() + kAddLine);
    EXPECT_EQ(rig.err.text(), "");
    EXPECT_EQ(snapshotBundle(installed()), snapshotBundle(source()));
    EXPECT_EQ(rig.inputSources.registered, std::vector<fs::path>{installed()});

    // Out of sight of the user, one after the other, the old agent first.
    const std::string service = "gui/501/norbel.inputmethod.Vanto.agent";
    const std::vector<FakeProcesses::Call> expected{
        {"/bin/launchctl", {"bootout", service}, true, true},
        {"/bin/launchctl", {"print", service}, true, true},
        {"/bin/launchctl", {"bootstrap", "gui/501", agentPlist().string()}, true, true},
        {"/bin/launchctl", {"print", service}, true, true},
        {"/usr/bin/killall", {"TextInputMenuAgent"}, false, true},
    };
    EXPECT_EQ(rig.processes.ran, expected);
    EXPECT_EQ(rig.workspace.terminated, std::vector<std::string>{"com.apple.systempreferences"});
}

// A launchd that never takes the agent: the install fails with exit 1 and
// says which step, instead of printing success.
TEST_F(InstallerTest, AnAgentThatDoesNotLoadFailsTheInstall) {
    rig.processes.answer = [](const FakeProcesses::Call& call) -> std::optional<int> {
        return call.arguments[0] == "bootstrap" ? 5 : 113;
    };
    std::vector<double> sleeps;
    Installer patient(rig.platform, rig.workspace, home(), rig.out.file(), rig.err.file(),
                      [&](double s) { sleeps.push_back(s); });
    EXPECT_EQ(patient.install(), 1);
    EXPECT_EQ(rig.out.text(), installedLine()) << "no agent line, no status line";
    EXPECT_EQ(rig.err.text().rfind("install failed: loading the login agent " +
                                       agentPlist().string() + ": launchctl bootstrap answered 5",
                                   0),
              0u)
        << rig.err.text();
    EXPECT_EQ(sleeps.size(), 4u);
    EXPECT_TRUE(rig.workspace.terminated.empty()) << "later steps do not run";
}

// Without launchctl (any system but macOS) the property list is written and
// the install says that nothing was loaded.
TEST_F(InstallerTest, WithoutLaunchctlTheAgentIsWrittenButNotLoaded) {
    ASSERT_EQ(installer.install(), 0);
    EXPECT_EQ(rig.out.text(), installedLine() + agentLine() +
                                  "login agent: not loaded, launchctl cannot run on this system\n" +
                                  kAddLine);
    EXPECT_EQ(rig.processes.ran.size(), 2u) << "bootout, then only the menu refresh";
}

// The installed copy is replaced exactly when it is not the same as the
// application's.
TEST_F(InstallerTest, CopiesTheLayoutOnlyWhenItDiffers) {
    const struct {
        const char* name;
        std::function<void(const fs::path&)> change;
        bool copied;
    } cases[] = {
        {"unchanged", [](const fs::path&) {}, false},
        {"one file differs", [](const fs::path& b) { writeFile(b / "Contents/Info.plist", "x"); },
         true},
        {"an extra file", [](const fs::path& b) { writeFile(b / "Contents/extra", ""); }, true},
        {"a missing file",
         [](const fs::path& b) { fs::remove(b / "Contents/Resources/Vanto.keylayout"); }, true},
        {"only an empty folder",
         [](const fs::path& b) {
             fs::remove_all(b);
             fs::create_directories(b);
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(installer.installLayout());
        c.change(installed());
        SetupRig rig2;
        rig2.bundle.resources = rig.bundle.resources;
        Installer again(rig2.platform, rig2.workspace, home(), rig2.out.file(), rig2.err.file());
        ASSERT_FALSE(again.installLayout());
        EXPECT_EQ(rig2.out.text(), c.copied ? installedLine() : "");
        EXPECT_EQ(snapshotBundle(installed()), snapshotBundle(source()));
        EXPECT_EQ(rig2.inputSources.registered, std::vector<fs::path>{installed()})
            << "registered also when nothing was copied";
    }
}

TEST_F(InstallerTest, RemovesTheOtherLayoutFirst) {
    const fs::path other = installed().parent_path() / "Vanto Direct.bundle";
    writeFile(other / "Contents/Info.plist", "old");
    ASSERT_FALSE(installer.installLayout());
    EXPECT_FALSE(fs::exists(other));
}

// A failing step stops the installation: nothing after it happens.
TEST_F(InstallerTest, AFailingStepStopsTheInstallation) {
    writeFile(home() / "Library/Keyboard Layouts", "a file where the folder should be");
    EXPECT_EQ(installer.install(), 1);
    const std::string err = rig.err.text();
    const std::string prefix =
        "install failed: copying the layout to " + installed().string() + ": ";
    EXPECT_EQ(err.rfind(prefix, 0), 0u) << err;
    EXPECT_GT(err.size(), prefix.size() + 1) << "the system's reason follows";
    EXPECT_EQ(rig.out.text(), "");
    EXPECT_FALSE(fs::exists(agentPlist()));
    EXPECT_TRUE(rig.processes.ran.empty());
    EXPECT_TRUE(rig.workspace.terminated.empty());
}

// The disk fills up while the launch agent is written: the failure is
// reported, the agent that was there stays whole, and nothing is left over.
TEST_F(InstallerTest, ALaunchAgentThatCannotBeWrittenIsReported) {
    writeFile(agentPlist(), "<plist>the earlier agent</plist>");
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error = installer.installAgent();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorDescription, "writing " + agentPlist().string() + ": File too large");
    std::ifstream in(agentPlist());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              "<plist>the earlier agent</plist>");
    std::vector<fs::path> left;
    for (const auto& entry : fs::directory_iterator(agentPlist().parent_path()))
        left.push_back(entry.path());
    EXPECT_EQ(left, std::vector<fs::path>{agentPlist()});
    EXPECT_TRUE(rig.processes.ran.empty()) << "launchd is not asked to load it";
}

TEST_F(InstallerTest, AMissingSourceKeepsTheInstalledLayout) {
    ASSERT_FALSE(installer.installLayout());
    writeFile(installed() / "Contents/extra", "");
    fs::remove_all(source());
    const auto error = installer.installLayout();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorDescription,
              "copying the layout to " + installed().string() + ": No such file or directory");
    EXPECT_TRUE(fs::exists(installed() / "Contents/Info.plist"));
}

TEST_F(InstallerTest, WithoutAHomeNothingIsInstalled) {
    Installer homeless(rig.platform, rig.workspace, {}, rig.out.file(), rig.err.file());
    EXPECT_EQ(homeless.install(), 1);
    EXPECT_EQ(rig.err.text(),
              "install failed: the home folder is unknown: HOME is not an absolute path\n");
    EXPECT_FALSE(homeless.needsLogin());
}

TEST_F(InstallerTest, TheStatusLineSaysWhatTheUserHasToDo) {
    const struct {
        bool enabled;
        bool loggedInBefore;
        const char* line;
    } cases[] = {
        {true, true, "layout: Vanto is in the input menu\n"},
        {false, true,
         "layout: log out and in (macOS lists a new keyboard only after that), then add Vanto in "
         "System Settings > Keyboard > Input Sources\n"},
        {false, false, kAddLine},
    };
    for (const auto& c : cases) {
        SetupRig r;
        r.bundle.resources = rig.bundle.resources;
        r.inputSources.sources = {{std::string(kLayoutBundleID),
                                   "norbel.keyboardlayout.Vanto.vanto", c.enabled, true, false}};
        r.fileStatus.changed[installed()] = 2000;
        if (c.loggedInBefore) r.loginRecords.list = {{true, "lan", "console", 1000}};
        Installer i(r.platform, r.workspace, home(), r.out.file(), r.err.file());
        ASSERT_EQ(i.install(), 0);
        const std::string out = r.out.text();
        EXPECT_EQ(out.substr(out.rfind("\n", out.size() - 2) + 1), c.line);
    }
}

TEST_F(InstallerTest, LoginTimeIsTheLatestConsoleLoginOfTheUser) {
    const struct {
        const char* name;
        std::vector<LoginRecord> records;
        std::optional<std::int64_t> expected;
    } cases[] = {
        {"none", {}, std::nullopt},
        {"the latest wins",
         {{true, "lan", "console", 300},
          {true, "lan", "console", 900},
          {true, "lan", "console", 500}},
         900},
        {"another user", {{true, "minh", "console", 900}, {true, "lan", "console", 100}}, 100},
        {"a remote shell", {{true, "lan", "ttys001", 900}}, std::nullopt},
        {"not a login", {{false, "lan", "console", 900}}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rig.loginRecords.list = c.records;
        EXPECT_EQ(installer.loginTime(), c.expected);
    }
    rig.loginRecords.list = {{true, "", "console", 900}};
    rig.loginRecords.user = "";
    EXPECT_EQ(installer.loginTime(), std::nullopt) << "an unknown user matches no record";
}

TEST_F(InstallerTest, ALayoutInstalledAfterTheLoginNeedsAnother) {
    const struct {
        std::optional<std::int64_t> login, changed;
        bool expected;
    } cases[] = {
        {1000, 2000, true},          {2000, 2000, false}, {3000, 2000, false},
        {std::nullopt, 2000, false}, // no console login: a remote shell
        {1000, std::nullopt, false}, // not installed
    };
    for (const auto& c : cases) {
        rig.loginRecords.list.clear();
        if (c.login) rig.loginRecords.list.push_back({true, "lan", "console", *c.login});
        rig.fileStatus.changed.clear();
        if (c.changed) rig.fileStatus.changed[installed()] = *c.changed;
        EXPECT_EQ(installer.needsLogin(), c.expected);
    }
}

} // namespace
} // namespace vanto::testing
