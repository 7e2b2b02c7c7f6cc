// The portable adapters behind installation and start-up.
#include "platform/portable/portable_bundle.h"
#include "platform/portable/portable_files.h"
#include "platform/portable/portable_input_sources.h"
#include "platform/portable/portable_processes.h"
#include "platform/portable/portable_property_lists.h"

#include "pipeline_rig.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sys/stat.h>
#include <thread>

namespace vanto::testing {
namespace {

namespace fs = std::filesystem;

TEST(PortablePropertyListsXml, WritesXmlThatReadsBackTheSame) {
    const PortablePropertyLists plists;
    const PlistValue values[] = {
        PlistDictionary{{"Label", std::string("a <b> & \"c\"")},
                        {"n", std::int64_t{-5}},
                        {"max", std::int64_t{INT64_MAX}},
                        {"flags", PlistArray{true, false}},
                        {"data", Bytes{0, 1, 0xff}},
                        {"đ", PlistDictionary{}}},
        PlistArray{},
    };
    for (const PlistValue& value : values) {
        const auto bytes = plists.encodeXml(value);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(std::string(bytes->begin(), bytes->begin() + 5), "<?xml");
        EXPECT_EQ(plists.decode(*bytes), value);
    }
    EXPECT_FALSE(plists.encodeXml(std::string("a\0b", 3))) << "refused as by the binary format";
}

class PortableInputSourcesTest : public ::testing::Test {
  protected:
    PortableInputSourcesTest() {
        fs::create_directories(bundle() / "Contents/Resources");
        std::ofstream(bundle() / "Contents/Info.plist")
            << "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleIdentifier</key>"
               "<string>norbel.keyboardlayout.Vanto</string></dict></plist>";
        std::ofstream(bundle() / "Contents/Resources/Vanto Telex.keylayout") << "<keyboard/>";
    }
    fs::path bundle() const { return folder.path() / "Vanto.bundle"; }
    fs::path state() const { return folder.path() / "cache/input-sources.plist"; }

    TempFolder folder;
};

TEST_F(PortableInputSourcesTest, ARegisteredLayoutWaitsForTheUserToAddIt) {
    PortableInputSources sources(state());
    EXPECT_TRUE(sources.installed("norbel.keyboardlayout.Vanto").empty());
    ASSERT_EQ(sources.enabled().size(), 1u);
    const InputSource system = sources.enabled()[0];
    EXPECT_EQ(sources.currentKeyboardSource(), system);

    sources.registerBundle(bundle());
    const InputSource layout{std::string("norbel.keyboardlayout.Vanto"),
                             std::string("norbel.keyboardlayout.Vanto.vanto telex"), false, true,
                             false};
    EXPECT_EQ(sources.installed("norbel.keyboardlayout.Vanto"), std::vector<InputSource>{layout});
    EXPECT_FALSE(sources.select(layout)) << "not in the menu";

    int changes = 0;
    auto observation = sources.onSelectionChange([&] { ++changes; });
    sources.setEnabled(true);
    ASSERT_TRUE(sources.select(*sources.installed("norbel.keyboardlayout.Vanto").begin()));
    ASSERT_TRUE(sources.select(*sources.installed("norbel.keyboardlayout.Vanto").begin()));
    EXPECT_EQ(changes, 1) << "only a change of the selection is announced";
    observation.reset();
    // Another process sees the same.
    PortableInputSources other(state());
    EXPECT_EQ(other.currentKeyboardSource()->bundleID, "norbel.keyboardlayout.Vanto");
    EXPECT_EQ(other.enabled().size(), 2u);
    EXPECT_EQ(other.currentKeyboardSource(), other.installed("norbel.keyboardlayout.Vanto")[0]);

    other.registerBundle(bundle());
    EXPECT_TRUE(sources.currentKeyboardSource()->selected) << "registering again changes nothing";
    fs::remove_all(bundle());
    EXPECT_TRUE(sources.installed("norbel.keyboardlayout.Vanto").empty())
        << "a removed bundle goes";
    EXPECT_EQ(sources.currentKeyboardSource(), system);
}

TEST(PortableProcesses, RunsWaitsAndReportsTheExitStatus) {
    PortableProcesses processes;
    EXPECT_EQ(processes.run("/bin/sh", {"-c", "exit 3"}, {}), 3);
    EXPECT_EQ(processes.run("/bin/sh", {"-c", "kill -9 $$"}, {}), std::nullopt);
    EXPECT_EQ(processes.run("/nonexistent/launchctl", {}, {}), std::nullopt);
    EXPECT_TRUE(processes.stoodIn().empty());
    EXPECT_EQ(processes.launch("/nonexistent/Vanto", {}), nullptr);
}

// On Linux the macOS programs the installer calls are not there, or are
// other programs: none of them may run.
TEST(PortableProcesses, MacOnlyProgramsAreStoodInFor) {
    PortableProcesses processes;
    const Processes::Quiet quiet{.output = true, .error = true};
    EXPECT_EQ(processes.run("/bin/launchctl", {"bootout", "gui/0/x"}, quiet), std::nullopt);
    EXPECT_EQ(processes.run("/usr/bin/killall", {"TextInputMenuAgent"}, {}), std::nullopt);
    const std::vector<PortableProcesses::StoodIn> expected{
        {"/bin/launchctl", {"bootout", "gui/0/x"}},
        {"/usr/bin/killall", {"TextInputMenuAgent"}},
    };
    EXPECT_EQ(processes.stoodIn(), expected);
}

TEST(PortableProcesses, QuietStreamsGoToTheNullDevice) {
    TempFolder folder;
    const fs::path seen = folder.path() / "seen";
    std::error_code error;
    const std::string out = fs::read_symlink("/proc/self/fd/1", error).string();
    const std::string err = fs::read_symlink("/proc/self/fd/2", error).string();
    const struct {
        Processes::Quiet quiet;
        std::string expected;
    } cases[] = {
        {{}, out + "\n" + err + "\n"},
        {{.error = true}, out + "\n/dev/null\n"},
        {{.output = true, .error = true}, "/dev/null\n/dev/null\n"},
    };
    PortableProcesses processes;
    for (const auto& c : cases) {
        ASSERT_EQ(
            processes.run("/bin/sh",
                          {"-c", "exec 3>" + seen.string() +
                                     "; echo \"$(readlink /proc/$$/fd/1 /proc/$$/fd/2)\" >&3"},
                          c.quiet),
            0);
        std::ifstream in(seen);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.expected);
    }
}

// Only "another holds it" may read as another instance; every other
// failure is one the agent must report.
TEST(PortableInstanceLock, OnlyOneHolderAndAPrivateFile) {
    TempFolder folder;
    const fs::path file = folder.path() / "caches/app/instance.lock";
    PortableInstanceLock lock;
    EXPECT_EQ(lock.lockForLife(file), std::error_code());
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(lock.lockForLife(file), std::errc::operation_would_block)
        << "taken, even within the process";
    EXPECT_EQ(lock.lockForLife(folder.path() / "caches/app/instance.lock/x"),
              std::errc::not_a_directory);
    const fs::path fifo = folder.path() / "fifo.lock";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(lock.lockForLife(fifo), FileError::notRegular) << "without hanging";
    EXPECT_EQ(lock.lockForLife("relative/instance.lock"), std::errc::no_such_file_or_directory);
}

TEST(PortableProcesses, ALaunchedChildRunsUntilItEnds) {
    PortableProcesses processes;
    const auto child = processes.launch("/bin/sh", {"-c", "sleep 0.2"});
    ASSERT_TRUE(child);
    EXPECT_TRUE(child->isRunning());
    for (int i = 0; i < 500 && child->isRunning(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(child->isRunning());
}

} // namespace
} // namespace vanto::testing
