#include "setup/command_line.h"

#include "platform/portable/portable_input_sources.h"
#include "setup_fakes.h"
#include "ui/app_delegate.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace vanto::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

TEST(CommandLine, ProcessIDsAreSigned32BitDecimalOrZero) {
    const struct {
        const char* text;
        std::int32_t expected;
    } cases[] = {
        {"123", 123},
        {"+123", 123},
        {"-7", -7},
        {"007", 7},
        {"0", 0},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483648", 0},
        {"-2147483649", 0},
        {"99999999999999999999", 0},
        {"12x", 0},
        {"", 0},
        {"+", 0},
        {"-", 0},
        {" 12", 0},
        {"12 ", 0},
        {"+-1", 0},
        {"1e3", 0},
        {"\xd9\xa1", 0}, // an Arabic-Indic one
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseProcessID(c.text), c.expected) << '"' << c.text << '"';
}

TEST(CommandLine, HelperRequestsSplitAtSpaces) {
    const struct {
        std::optional<std::string> object;
        Strings expected;
    } cases[] = {
        {std::nullopt, {}},
        {"", {}},
        {"settings", {"settings"}},
        {"secure-input 123", {"secure-input", "123"}},
        {"  secure-input   123 ", {"secure-input", "123"}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitHelperRequest(c.object), c.expected);
}

class RecordingHelperApp final : public HelperApp {
  public:
    void becomeAccessory() override { calls.push_back("accessory"); }
    void activate() override { calls.push_back("activate"); }
    void showAccessibilityDialog(bool staleGrant) override {
        calls.push_back(staleGrant ? "accessibility stale" : "accessibility");
    }
    void showSetupDialog() override { calls.push_back("setup"); }
    void showSecureInputExplanation(std::int32_t processID) override {
        calls.push_back("secure-input " + std::to_string(processID));
    }
    void showSettingsWindow() override {
        calls.push_back("settings window");
        windowOpen = true;
    }
    bool settingsWindowOpen() override { return windowOpen; }
    void run(std::function<void()> first) override { first(); }
    void terminate() override { calls.push_back("terminate"); }

    Strings calls;
    bool windowOpen = false;
};

TEST(CommandLine, TheHelperShowsWhatItIsAskedAndEndsAfterADialog) {
    const struct {
        Strings arguments;
        Strings calls;
    } cases[] = {
        {{"accessibility"}, {"activate", "accessibility", "terminate"}},
        {{"accessibility", "stale", "--recent"}, {"activate", "accessibility stale", "terminate"}},
        {{"accessibility", "--recent", "stale"}, {"activate", "accessibility", "terminate"}},
        {{"setup", "--recent", "a"}, {"activate", "setup", "terminate"}},
        {{"secure-input", "+123"}, {"activate", "secure-input 123", "terminate"}},
        {{"secure-input", "12x"}, {"activate", "secure-input 0", "terminate"}},
        {{"secure-input"}, {"activate", "secure-input 0", "terminate"}},
        {{"secure-input", "--recent", "com.apple.TextEdit"},
         {"activate", "secure-input 0", "terminate"}},
        // The settings window stays; its closing ends the helper.
        {{"settings"}, {"activate", "settings window"}},
        {{}, {"activate", "settings window"}},
        {{"Accessibility"}, {"activate", "settings window"}},
    };
    for (const auto& c : cases) {
        RecordingHelperApp app;
        handleHelperCommand(app, c.arguments);
        EXPECT_EQ(app.calls, c.calls);
    }
    RecordingHelperApp app;
    app.windowOpen = true;
    handleHelperCommand(app, {"accessibility"});
    EXPECT_EQ(app.calls, (Strings{"activate", "accessibility"}))
        << "the open window keeps it alive";
}

// --- select, deselect and status on the system's input sources

const InputSource kUS{std::nullopt, "com.apple.keylayout.US", true, true, false};
const InputSource kTelex{std::string(kLayoutBundleID), "norbel.keyboardlayout.Vanto.vanto", true,
                         true, true};

struct CommandCase {
    const char* name;
    std::vector<InputSource> sources;
    const char* output;
    Strings selections;
};

void expectCommand(const char* command, const CommandCase& c) {
    SCOPED_TRACE(c.name);
    SetupRig rig;
    rig.inputSources.sources = c.sources;
    CommandLine commandLine(rig.platform, rig.workspace, rig.out.file(), rig.err.file());
    EXPECT_EQ(commandLine.runCommand(command), 0);
    // No agent runs here.
    const std::string tapLine = std::string_view(command) == "status" ? "event tap: none\n" : "";
    EXPECT_EQ(rig.out.text(), c.output + tapLine);
    EXPECT_EQ(rig.err.text(), "");
    EXPECT_EQ(rig.inputSources.selections, c.selections);
}

InputSource with(InputSource source, std::optional<bool> enabled, std::optional<bool> selected) {
    source.enabled = enabled;
    source.selected = selected;
    return source;
}

// The agent records its tap; "status" believes the record only while the
// process that wrote it runs.
TEST(CommandLine, StatusSaysWhichTapTheAgentRuns) {
    const struct {
        const char* name;
        std::optional<std::string> tap;
        int recordedPID;
        int runningPID;
        const char* line;
    } cases[] = {
        {"session", "session", 321, 321, "event tap: session\n"},
        {"hardware level", "hid", 321, 321, "event tap: hid\n"},
        {"agent gone", "session", 321, 400, "event tap: none\n"},
        {"no record", std::nullopt, 0, 321, "event tap: none\n"},
        {"unknown value", "usb", 321, 321, "event tap: none\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        SetupRig rig;
        PortableUserDefaultsProvider defaults(folder.path());
        Platform& platform = rig.platform;
        Platform withDefaults{platform.keyboardEvents,
                              platform.eventTapHost,
                              platform.accessibility,
                              platform.processInfo,
                              defaults,
                              platform.notifications,
                              platform.propertyLists,
                              platform.inputSources,
                              platform.processes,
                              platform.loginRecords,
                              platform.fileStatus,
                              platform.bundle,
                              platform.instanceLock,
                              platform.mainLoop,
                              platform.workspace,
                              platform.accessibilityClient,
                              platform.secureInput,
                              platform.browserScripting,
                              platform.statusBar,
                              platform.alerts};
        if (c.tap) defaults.standard().setString(kEventTapKey, *c.tap);
        defaults.standard().setInteger(kEventTapProcessKey, c.recordedPID);
        rig.workspace.running = {{"norbel.inputmethod.Vanto", c.runningPID, "Vanto", false}};
        CommandLine commandLine(withDefaults, rig.workspace, rig.out.file(), rig.err.file());
        EXPECT_EQ(commandLine.runCommand("status"), 0);
        EXPECT_EQ(rig.out.text(),
                  "norbel.keyboardlayout.Vanto not installed\n" + std::string(c.line));
    }
}

TEST(CommandLine, DeselectChoosesTheFirstOtherSelectableSource) {
    InputSource noBundle{std::nullopt, "com.apple.keylayout.Vietnamese", true, true, false};
    InputSource palette{std::string("com.apple.CharacterPaletteIM"), "com.apple.CharacterPaletteIM",
                        true, false, false};
    InputSource telexTwin{std::string(kLayoutBundleID), "norbel.keyboardlayout.Vanto.other", true,
                          true, false};
    InputSource unknownEnabled{std::string("x"), "x.unknown", std::nullopt, true, false};
    const CommandCase cases[] = {
        {"not selected", {kUS, with(kTelex, true, false)}, "", {}},
        {"first in the system's order",
         {kTelex, kUS, noBundle},
         "select com.apple.keylayout.US\n",
         {"com.apple.keylayout.US"}},
        {"skipping what cannot be selected or is Vanto's",
         {kTelex, palette, telexTwin, unknownEnabled, noBundle},
         "select com.apple.keylayout.Vietnamese\n",
         {"com.apple.keylayout.Vietnamese"}},
        {"nothing else", {kTelex, palette}, "", {}},
    };
    for (const auto& c : cases) expectCommand("deselect", c);
}

// A switch the system refuses is a failed command, with the reason on
// standard error.
TEST(CommandLine, ASelectionThatFailsIsReported) {
    const struct {
        const char* command;
        std::vector<InputSource> sources;
        const char* out;
        const char* err;
    } cases[] = {
        {"select",
         {kUS, with(kTelex, true, false)},
         "select norbel.keyboardlayout.Vanto.vanto\n",
         "Vanto: could not select norbel.keyboardlayout.Vanto.vanto\n"},
        {"deselect",
         {kTelex, kUS},
         "select com.apple.keylayout.US\n",
         "Vanto: could not select com.apple.keylayout.US\n"},
    };
    for (const auto& c : cases) {
        SetupRig rig;
        rig.inputSources.sources = c.sources;
        rig.inputSources.refuse = true;
        CommandLine commandLine(rig.platform, rig.workspace, rig.out.file(), rig.err.file());
        EXPECT_EQ(commandLine.runCommand(c.command), 1) << c.command;
        EXPECT_EQ(rig.out.text(), c.out);
        EXPECT_EQ(rig.err.text(), c.err);
    }
}

TEST(CommandLine, StatusReadsMissingPropertiesAsFalse) {
    const CommandCase cases[] = {
        {"not installed", {kUS}, "norbel.keyboardlayout.Vanto not installed\n", {}},
        {"selected",
         {kTelex},
         "norbel.keyboardlayout.Vanto.vanto isEnabled:true isSelected:true needsLogin:false\n",
         {}},
        {"nothing known",
         {InputSource{std::string(kLayoutBundleID), std::nullopt, std::nullopt, std::nullopt,
                      std::nullopt}},
         " isEnabled:false isSelected:false needsLogin:false\n",
         {}},
    };
    for (const auto& c : cases) expectCommand("status", c);
}

// --- the real program, in a home of its own

struct Result {
    int status = -1; // the exit status; -1 when it did not exit by itself in time
    std::string out, err;
};

// On a Mac the program is the real one: it would boot the user's agent out
// of launchd and write the user's settings domain.
#ifdef __APPLE__
constexpr bool kRealMacProgram = true;
#else
constexpr bool kRealMacProgram = false;
#endif

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (kRealMacProgram) GTEST_SKIP() << "the real program runs against this user's session";
    }

    fs::path home() const { return folder.path() / "home"; }
    fs::path caches() const { return home() / ".cache/norbel.inputmethod.Vanto"; }
    fs::path installed() const { return home() / "Library/Keyboard Layouts/Vanto.bundle"; }
    fs::path agentPlist() const {
        return home() / "Library/LaunchAgents/norbel.inputmethod.Vanto.agent.plist";
    }

    // Starts the program (through the shell when shellPrefix is given) with
    // its output going to files; 0 when it could not start.
    // stream: where the process's output goes; a long-lived process gets
    // its own so that what its helpers print never mixes with another's.
    pid_t start(const Strings& arguments, const std::string& shellPrefix = "",
                const std::string& stream = "") {
        Strings argv;
        if (!shellPrefix.empty()) argv = {"/bin/sh", "-c", shellPrefix + "; exec \"$0\" \"$@\""};
        argv.push_back(VANTO_EXECUTABLE);
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        std::vector<char*> args;
        for (std::string& a : argv) args.push_back(a.data());
        args.push_back(nullptr);

        Strings env{"HOME=" + home().string(), "XDG_CACHE_HOME=" + (home() / ".cache").string(),
                    "XDG_CONFIG_HOME=" + (home() / ".config").string()};
        for (char** e = environ; *e; ++e) {
            const std::string_view entry(*e);
            if (!entry.starts_with("HOME=") && !entry.starts_with("XDG_")) env.emplace_back(entry);
        }
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        const std::string out = outFile().string() + stream, err = errFile().string() + stream;
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_t pid = 0;
        if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid = 0;
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    Result run(const Strings& arguments, const std::string& shellPrefix = "") {
        Result result;
        const pid_t pid = start(arguments, shellPrefix);
        if (pid == 0) return result;
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                return result;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
        result.out = read(outFile());
        result.err = read(errFile());
        return result;
    }

    static std::string read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path outFile() const { return folder.path() / "out"; }
    fs::path errFile() const { return folder.path() / "err"; }

    TempFolder folder;
};

constexpr const char* kUsage = "usage: Vanto [install|select|deselect|status|selftest|settings]\n";

// --- the command line

TEST_F(ProgramTest, AnUnknownCommandPrintsTheUsage) {
    for (const Strings& arguments :
         {Strings{"Settings"}, Strings{"Help"}, Strings{""}, Strings{"--recent"}, Strings{"-v"}}) {
        const Result r = run(arguments);
        EXPECT_EQ(r.status, 2) << arguments[0];
        EXPECT_EQ(r.err, kUsage);
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(ProgramTest, TheWordsANewcomerTriesFirstAnswer) {
    for (const char* word : {"--help", "-h", "help"}) {
        const Result r = run({word});
        EXPECT_EQ(r.status, 0) << word;
        EXPECT_EQ(r.out.rfind(kUsage, 0), 0u) << word << ": " << r.out;
        EXPECT_NE(r.out.find("\n  install "), std::string::npos) << word;
        EXPECT_EQ(r.err, "");
    }
    for (const char* word : {"--version", "version"}) {
        const Result r = run({word});
        EXPECT_EQ(r.status, 0) << word;
        EXPECT_EQ(r.out, std::string("Vanto ") + VANTO_VERSION + "\n");
        EXPECT_EQ(r.err, "");
    }
}

// Started by hand in a terminal, the agent says where what the user changes
// is kept.
TEST_F(ProgramTest, TheAgentStartedByHandSaysWhereItsSettingsLive) {
    const pid_t agent = start({}, "", "-agent");
    ASSERT_NE(agent, 0);
    const std::string expected =
        "Vanto: settings in " + (home() / ".config/vanto/norbel.inputmethod.Vanto.plist").string() +
        "\n";
    std::string out;
    for (int i = 0; i < 1000 && out.find(expected) == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        out = read(outFile().string() + "-agent");
    }
    EXPECT_NE(out.find(expected), std::string::npos) << out;
    ::kill(agent, SIGKILL);
    int status = 0;
    ::waitpid(agent, &status, 0);
}

// A FIFO where the settings belong used to hang whoever read them.
TEST_F(ProgramTest, AFifoAtTheSettingsPathHangsNobody) {
    fs::create_directories(home() / ".config/vanto");
    ASSERT_EQ(::mkfifo((home() / ".config/vanto/norbel.inputmethod.Vanto.plist").c_str(), 0600), 0);
    const Result r = run({"settings"});
    EXPECT_EQ(r.status, 0) << "the helper read its settings and ended";
}

TEST_F(ProgramTest, InstallsAndReportsTheLayoutsState) {
    Result r = run({"status"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "norbel.keyboardlayout.Vanto not installed\nevent tap: none\n");

    r = run({"install"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");

    // The agent the login starts is the program that ran "install".
    const std::string xml = read(agentPlist());
    const auto plist = PortablePropertyLists().decode(Bytes(xml.begin(), xml.end()));
    ASSERT_TRUE(plist);
    const auto& entries = std::get<PlistDictionary>(*plist);
    EXPECT_EQ(
        entries.at("ProgramArguments"),
        PlistValue(PlistArray{fs::canonical(VANTO_EXECUTABLE).string(), std::string("agent")}));

    r = run({"status"});
    EXPECT_EQ(r.out, "norbel.keyboardlayout.Vanto.vanto isEnabled:false isSelected:false "
                     "needsLogin:false\nevent tap: none\n");
}

// A write the system refuses (here: no file may grow) fails the install and
// leaves the agent's property list as it was, never half written.
TEST_F(ProgramTest, AFailedWriteOfTheAgentIsReportedAndLosesNothing) {
    ASSERT_EQ(run({"install"}).status, 0);
    const std::string before = read(agentPlist());
    ASSERT_FALSE(before.empty());
    // The standard streams are files too: nothing can be printed, so only the
    // exit status tells.
    EXPECT_EQ(run({"install"}, "trap '' XFSZ; ulimit -f 0").status, 1);
    EXPECT_EQ(read(agentPlist()), before);
    EXPECT_EQ(run({"install"}).status, 0) << "the next install succeeds";
}

// What "install" registered, the user adds to the menu; the commands that
// follow, each a process of its own, see it and switch.
TEST_F(ProgramTest, SelectsAndDeselectsTheLayout) {
    ASSERT_EQ(run({"install"}).status, 0);
    EXPECT_EQ(run({"select"}).out, "Vanto is not in the input menu yet\n");
    PortableInputSources(caches() / "input-sources.plist").setEnabled(true);

    const struct {
        const char* command;
        const char* out;
    } steps[] = {
        {"deselect", ""},
        {"select", "select norbel.keyboardlayout.Vanto.vanto\n"},
        {"select", ""},
        {"status",
         "norbel.keyboardlayout.Vanto.vanto isEnabled:true isSelected:true needsLogin:false\n"
         "event tap: none\n"},
        {"deselect", "select com.apple.keylayout.US\n"},
        {"deselect", ""},
        {"status",
         "norbel.keyboardlayout.Vanto.vanto isEnabled:true isSelected:false needsLogin:false\n"
         "event tap: none\n"},
    };
    for (const auto& step : steps) {
        const Result r = run({step.command});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, step.out) << step.command;
        EXPECT_EQ(r.err, "");
    }
}

// Root may remove anything, so the removal is made to fail another way: the
// other bundle is nested deeper than the program may hold folders open.
TEST_F(ProgramTest, AnOtherLayoutThatCannotBeRemovedStopsTheInstall) {
    const fs::path other = home() / "Library/Keyboard Layouts/Vanto Direct.bundle";
    fs::path deep = other;
    for (int i = 0; i < 64; ++i) deep /= "d";
    fs::create_directories(deep);
    const Result r = run({"install"}, "ulimit -n 24");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "install failed: removing " + other.string() + ": Too many open files\n");
    EXPECT_TRUE(fs::exists(deep));
    EXPECT_FALSE(fs::exists(installed())) << "nothing else happened";
    EXPECT_FALSE(fs::exists(agentPlist()));
}

// --- installed files

// Under any umask, what runs at the user's login is the user's alone to
// change.
TEST_F(ProgramTest, InstalledFilesHaveTheirModesWhateverTheUmask) {
    const Result r = run({"install"}, "umask 000");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto mode = [](const fs::path& p) {
        return fs::status(p).permissions() & fs::perms::all;
    };
    const fs::perms folder = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec;
    const fs::perms file = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                           fs::perms::others_read;
    EXPECT_EQ(mode(home() / "Library"), folder);
    EXPECT_EQ(mode(agentPlist().parent_path()), folder);
    EXPECT_EQ(mode(agentPlist()), file);
    EXPECT_EQ(mode(installed().parent_path()), folder);
    for (const auto& entry : fs::recursive_directory_iterator(installed()))
        EXPECT_EQ(mode(entry.path()), entry.is_directory() ? folder : file) << entry.path();
    for (const auto& entry : fs::directory_iterator(agentPlist().parent_path()))
        EXPECT_EQ(entry.path(), agentPlist()) << "no temporary file is left";
}

// --- the lock

// Whether some process holds the instance lock, asked the way a second
// agent would.
bool lockHeld(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

TEST_F(ProgramTest, ASecondAgentEndsAtOnce) {
    const pid_t first = start({"agent"}, "", "-first");
    ASSERT_NE(first, 0);
    const fs::path lock = caches() / "instance.lock";
    for (int i = 0; i < 2000 && !lockHeld(lock); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(lockHeld(lock));
    EXPECT_EQ(fs::status(lock).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    const Result second = run({"agent"});
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(second.err, "");

    int status = 0;
    EXPECT_EQ(::waitpid(first, &status, WNOHANG), 0) << "the first agent runs on";
    ::kill(first, SIGKILL);
    ::waitpid(first, &status, 0);
    EXPECT_FALSE(lockHeld(lock)) << "the lock ends with its process";
}

// Only a lock held by another agent means another agent. Any other failure
// exits 1 with the reason, so that the launch agent starts it again and the
// user can see why nothing types.
TEST_F(ProgramTest, AnAgentThatCannotTakeTheLockSaysWhyAndFails) {
    fs::create_directories(home());
    std::ofstream(home() / ".cache") << "a file where the caches folder belongs";
    const Result r = run({"agent"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Vanto: " + (caches() / "instance.lock").string() + ": Not a directory\n");
    EXPECT_EQ(r.out, "");
}

// A relative HOME would put the lock under the folder the agent was started
// from: two agents started from two folders would both run.
TEST_F(ProgramTest, ARelativeHomeIsRefusedEverywhere) {
    const std::string relative =
        "cd '" + folder.path().string() +
        "' && unset XDG_CACHE_HOME XDG_CONFIG_HOME; HOME=home; export HOME";
    const std::string reason = "the home folder is unknown: HOME is not an absolute path\n";
    Result r = run({"agent"}, relative);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Vanto: " + reason);
    r = run({"install"}, relative);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "install failed: " + reason);
    r = run({"selftest"}, relative);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Vanto: " + reason);
    EXPECT_FALSE(fs::exists(folder.path() / "home")) << "nothing under the working folder";
}

} // namespace
} // namespace vanto::testing
