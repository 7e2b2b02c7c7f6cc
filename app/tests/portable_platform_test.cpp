#include "platform/portable/portable_notifications.h"
#include "platform/portable/portable_property_lists.h"
#include "platform/portable/portable_user_defaults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <future>
#include <mutex>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace vanto {
namespace {

namespace fs = std::filesystem;

class TemporaryFolder {
  public:
    TemporaryFolder() {
        char pattern[] = "/tmp/vanto-test-XXXXXX";
        if (::mkdtemp(pattern)) path_ = pattern;
    }
    ~TemporaryFolder() {
        std::error_code error;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
        fs::remove_all(path_, error);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

Bytes readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path& file, const Bytes& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// --- property lists

TEST(PortablePropertyLists, RoundTripsEveryKindOfNode) {
    const PortablePropertyLists plists;
    const PlistValue values[] = {
        true,
        false,
        std::int64_t{0},
        std::int64_t{-5},
        std::int64_t{INT64_MAX},
        std::int64_t{INT64_MIN},
        std::string(""),
        std::string("Tiếng Việt \xf0\x9f\x98\x80"),
        Bytes{},
        Bytes{0, 1, 0xff, 0},
        PlistArray{},
        PlistArray{true, std::string("a"), PlistArray{std::int64_t{1}}},
        PlistDictionary{{"k", PlistDictionary{{"đ", Bytes{7}}}}, {"", false}},
    };
    for (const PlistValue& value : values) {
        const auto bytes = plists.encode(value);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(std::string(bytes->begin(), bytes->begin() + 8), "bplist00");
        EXPECT_EQ(plists.decode(*bytes), value);
    }
}

TEST(PortablePropertyLists, ReadsXml) {
    const std::string xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>inputMethod</key><integer>-2</integer>
<key>ignoredApps</key><data>AAE=</data><key>isStdMode</key><true/></dict></plist>)";
    const PlistValue expected = PlistDictionary{
        {"inputMethod", std::int64_t{-2}}, {"ignoredApps", Bytes{0, 1}}, {"isStdMode", true}};
    EXPECT_EQ(PortablePropertyLists().decode(Bytes(xml.begin(), xml.end())), expected);
}

TEST(PortablePropertyLists, RefusesWhatItCannotReadOrWriteFaithfully) {
    const PortablePropertyLists plists;
    const Bytes good = plists.encode(PlistArray{std::string("abc"), true}).value();
    const std::string real = "<plist><array><real>1.5</real></array></plist>";
    const std::pair<const char*, Bytes> unreadable[] = {
        {"empty", {}},
        {"garbage", {'g', 'a', 'r', 'b', 'a', 'g', 'e'}},
        {"magic only", {'b', 'p', 'l', 'i', 's', 't', '0', '0'}},
        {"truncated", Bytes(good.begin(), good.end() - 4)},
        {"a real number", Bytes(real.begin(), real.end())},
    };
    for (const auto& [name, bytes] : unreadable) EXPECT_FALSE(plists.decode(bytes)) << name;

    const std::pair<const char*, PlistValue> unwritable[] = {
        {"invalid UTF-8", std::string("a\xff"
                                      "b")},
        {"NUL in a text", std::string("a\0b", 3)},
        {"NUL in a key", PlistDictionary{{std::string("k\0", 2), true}}},
        {"deep inside", PlistArray{PlistArray{std::string("\xc3")}}},
    };
    for (const auto& [name, value] : unwritable) EXPECT_FALSE(plists.encode(value)) << name;
}

// --- the defaults store

class PortableDefaults : public ::testing::Test {
  protected:
    fs::path folder() const { return temp.path() / "config" / "vanto"; }
    fs::path file(const char* domain) const { return folder() / (std::string(domain) + ".plist"); }
    TemporaryFolder temp;
};

TEST_F(PortableDefaults, EveryTypeSurvivesTheFile) {
    {
        PortableUserDefaultsProvider provider(folder());
        UserDefaults& d = provider.standard();
        EXPECT_TRUE(d.setBoolean("b", true));
        EXPECT_TRUE(d.setInteger("i", -7));
        EXPECT_TRUE(d.setString("s", "hoà"));
        EXPECT_TRUE(d.setData("d", Bytes{0, 9}));
        EXPECT_TRUE(d.setInteger("gone", 1));
        EXPECT_TRUE(d.remove("gone"));
    }
    EXPECT_TRUE(fs::exists(file("norbel.inputmethod.Vanto")));
    EXPECT_EQ(fs::status(folder()).permissions() & fs::perms::all, fs::perms::owner_all);
    PortableUserDefaultsProvider provider(folder());
    UserDefaults& d = provider.standard();
    EXPECT_TRUE(d.isStandard());
    EXPECT_TRUE(d.boolean("b"));
    EXPECT_EQ(d.integer("i"), -7);
    EXPECT_EQ(d.string("s"), "hoà");
    EXPECT_EQ(d.data("d"), (Bytes{0, 9}));
    EXPECT_EQ(d.integer("gone"), 0);
    // Booleans and integers read as each other; other mismatches as nothing.
    EXPECT_TRUE(d.boolean("i"));
    EXPECT_EQ(d.integer("b"), 1);
    EXPECT_FALSE(d.string("d"));
    EXPECT_FALSE(d.data("s"));
    EXPECT_FALSE(d.boolean("s"));
}

TEST_F(PortableDefaults, RegisteredDefaultsAreFallbacksKeptInMemory) {
    PortableUserDefaultsProvider provider(folder());
    UserDefaults& d = provider.standard();
    d.registerDefaults({{"on", true}, {"n", std::int64_t{1}}, {"s", std::string("x")}});
    EXPECT_TRUE(d.boolean("on"));
    EXPECT_EQ(d.integer("n"), 1);
    EXPECT_EQ(d.string("s"), "x");
    EXPECT_FALSE(d.boolean("never"));
    EXPECT_FALSE(fs::exists(folder())); // reading and registering write nothing
    d.setBoolean("on", false);          // a written value hides the default
    EXPECT_FALSE(d.boolean("on"));
    d.remove("on");
    EXPECT_TRUE(d.boolean("on"));
    // Another object of the same domain never saw the registration.
    EXPECT_EQ(PortableUserDefaultsProvider(folder()).standard().integer("n"), 0);
}

TEST_F(PortableDefaults, SuitesAreSeparateFilesAndNamesStayInTheFolder) {
    PortableUserDefaultsProvider provider(folder());
    auto scratch = provider.suite("scratch");
    ASSERT_TRUE(scratch);
    EXPECT_FALSE(scratch->isStandard());
    scratch->setBoolean("k", true);
    EXPECT_FALSE(provider.standard().boolean("k"));
    EXPECT_TRUE(fs::exists(file("scratch")));
    for (const char* name : {"", "../escape", "a/b", ".hidden", ".."})
        EXPECT_FALSE(provider.suite(name)) << name;
    provider.removePersistentDomain("../vanto/scratch");
    EXPECT_TRUE(fs::exists(file("scratch")));
    provider.removePersistentDomain("scratch");
    EXPECT_FALSE(fs::exists(file("scratch")));
    EXPECT_FALSE(scratch->boolean("k"));
}

TEST_F(PortableDefaults, WritesReplaceTheFileWhole) {
    PortableUserDefaultsProvider provider(folder());
    UserDefaults& d = provider.standard();
    d.setString("keep", "old");
    const Bytes before = readBytes(file("norbel.inputmethod.Vanto"));
    EXPECT_EQ(entries(folder()), std::vector<std::string>{"norbel.inputmethod.Vanto.plist"});

    // A write that cannot complete (the disk "fills up" after 4 KiB) leaves
    // the old file as it was and no temporary file behind.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = d.setData("big", Bytes(64 * 1024, 0x5a));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(readBytes(file("norbel.inputmethod.Vanto")), before);
    EXPECT_EQ(entries(folder()), std::vector<std::string>{"norbel.inputmethod.Vanto.plist"});
    EXPECT_EQ(d.string("keep"), "old");
    EXPECT_FALSE(d.data("big"));

    if (::geteuid() != 0) { // the superuser writes into read-only folders
        fs::permissions(folder(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(d.setString("keep", "new"));
        fs::permissions(folder(), fs::perms::owner_all);
        EXPECT_EQ(readBytes(file("norbel.inputmethod.Vanto")), before);
    }
}

std::vector<fs::path> keptAside(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".corrupt") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

Bytes xmlPlist(const std::string& body) {
    const std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body + "</plist>";
    return Bytes(text.begin(), text.end());
}

// Another program, or a careless disk, left values the settings do not use.
// Each costs only itself: the other keys read as written, every later save
// works, and the file as it was is kept aside once, under a name of its own.
TEST_F(PortableDefaults, WhatCannotBeReadCostsOnlyItself) {
    const std::string keep =
        "<key>isStdMode</key><false/><key>inputMethod</key><integer>0</integer>";
    const struct {
        const char* name;
        std::string strange;
    } cases[] = {
        {"a text that is not UTF-8", "<key>setupPromptedVersion</key><string>1.\xff</string>"},
        {"a real", "<key>isEnableTelexZ</key><real>1.5</real>"},
        {"a date", "<key>isEnableTelexZ</key><date>2020-01-01T00:00:00Z</date>"},
        {"an array holding a real", "<key>x</key><array><real>2.5</real></array>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder());
        fs::create_directories(folder());
        const fs::path domain = file("norbel.inputmethod.Vanto");
        const Bytes before = xmlPlist("<dict>" + keep + c.strange + "</dict>");
        writeBytes(domain, before);
        PortableUserDefaultsProvider provider(folder());
        UserDefaults& d = provider.standard();
        d.registerDefaults({{"isStdMode", true}, {"inputMethod", std::int64_t{1}}});
        EXPECT_FALSE(d.boolean("isStdMode"));
        EXPECT_EQ(d.integer("inputMethod"), 0);
        EXPECT_FALSE(d.string("setupPromptedVersion"));
        EXPECT_EQ(readBytes(domain), before) << "reading changes nothing";

        ASSERT_TRUE(d.setBoolean("isEnableTelexW", true));
        ASSERT_TRUE(d.setString("setupPromptedVersion", "1.2.0"));
        EXPECT_FALSE(d.boolean("isStdMode"));
        EXPECT_EQ(d.integer("inputMethod"), 0);
        EXPECT_TRUE(d.boolean("isEnableTelexW"));
        EXPECT_EQ(d.string("setupPromptedVersion"), "1.2.0");
        const auto aside = keptAside(folder());
        ASSERT_EQ(aside.size(), 1u) << "kept once, not at every save";
        EXPECT_EQ(readBytes(aside[0]), before);
    }
}

TEST_F(PortableDefaults, AFileThatIsNoPropertyListIsKeptAsideUnderANameOfItsOwn) {
    const Bytes garbage = {'{', 'n', 'o', 't', ' ', 'a', ' ', 'p', 'l', 'i', 's', 't'};
    const Bytes notADictionary = PortablePropertyLists().encode(PlistArray{true}).value();
    fs::create_directories(folder());
    const fs::path domain = file("norbel.inputmethod.Vanto");
    PortableUserDefaultsProvider provider(folder());
    UserDefaults& d = provider.standard();
    d.registerDefaults({{"isStdMode", true}});
    for (const Bytes& contents : {garbage, notADictionary, garbage}) {
        writeBytes(domain, contents);
        EXPECT_TRUE(d.boolean("isStdMode"));
        EXPECT_FALSE(d.data("ignoredApps"));
        ASSERT_TRUE(d.setBoolean("isStdMode", false));
        EXPECT_FALSE(d.boolean("isStdMode"));
    }
    // Three in the same second, none overwriting another.
    const auto aside = keptAside(folder());
    ASSERT_EQ(aside.size(), 3u);
    std::vector<Bytes> kept;
    for (const fs::path& f : aside) kept.push_back(readBytes(f));
    EXPECT_EQ(std::count(kept.begin(), kept.end(), garbage), 2);
    EXPECT_EQ(std::count(kept.begin(), kept.end(), notADictionary), 1);
    EXPECT_EQ(aside[0].filename().string().rfind("norbel.inputmethod.Vanto.plist.", 0), 0u);
}

// Something at the path that cannot be read is not corruption: it is left
// where it is, reads as nothing written, and every save fails. A FIFO must
// not hang the reader (the agent reads while it holds the instance lock).
TEST_F(PortableDefaults, SomethingUnreadableAtThePathRefusesSavesAndStays) {
    const struct {
        const char* name;
        std::function<void(const fs::path&)> make;
    } cases[] = {
        {"a FIFO", [](const fs::path& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); }},
        {"a folder", [](const fs::path& f) { fs::create_directory(f); }},
        {"a link to itself", [](const fs::path& f) { fs::create_symlink(f.filename(), f); }},
        {"a file without permission",
         [](const fs::path& f) {
             writeBytes(f, xmlPlist("<dict/>"));
             fs::permissions(f, fs::perms::none);
         }},
    };
    for (const auto& c : cases) {
        if (std::string_view(c.name) == "a file without permission" && ::geteuid() == 0)
            continue; // the superuser reads it all the same
        SCOPED_TRACE(c.name);
        fs::remove_all(folder());
        fs::create_directories(folder());
        const fs::path domain = file("norbel.inputmethod.Vanto");
        c.make(domain);
        const auto type = fs::symlink_status(domain).type();
        PortableUserDefaultsProvider provider(folder());
        UserDefaults& d = provider.standard();
        d.registerDefaults({{"isStdMode", true}});
        EXPECT_TRUE(d.boolean("isStdMode"));
        EXPECT_FALSE(d.setBoolean("isStdMode", false));
        EXPECT_TRUE(d.boolean("isStdMode"));
        EXPECT_EQ(fs::symlink_status(domain).type(), type);
        EXPECT_TRUE(keptAside(folder()).empty());
    }
}

// A writer killed between its temporary file and the rename leaves the
// temporary file; the next write of the domain removes it, and only it.
TEST_F(PortableDefaults, TheNextWriteRemovesTemporaryFilesOfKilledWriters) {
    fs::create_directories(folder());
    const std::vector<std::string> left = {".norbel.inputmethod.Vanto.plist.a1B2c3",
                                           ".norbel.inputmethod.Vanto.plist.zzzzzz"};
    const std::vector<std::string> others = {".scratch.plist.a1B2c3", "notes.txt",
                                             ".norbel.inputmethod.Vanto.plist.toolongname"};
    for (const auto& names : {left, others})
        for (const std::string& name : names) writeBytes(folder() / name, Bytes{1});
    PortableUserDefaultsProvider provider(folder());
    ASSERT_TRUE(provider.standard().setBoolean("k", true));
    std::vector<std::string> expected = others;
    expected.push_back("norbel.inputmethod.Vanto.plist");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries(folder()), expected);
}

// The settings stay the user's alone whatever the umask of the process that
// first saves them.
TEST_F(PortableDefaults, ThePermissionsHoldWhateverTheUmask) {
    for (const mode_t mask : {mode_t{0}, mode_t{077}, mode_t{0777}}) {
        fs::remove_all(temp.path() / "config");
        const mode_t saved = ::umask(mask);
        const bool written =
            PortableUserDefaultsProvider(folder()).standard().setBoolean("k", true);
        ::umask(saved);
        ASSERT_TRUE(written) << mask;
        EXPECT_EQ(fs::status(folder()).permissions() & fs::perms::all, fs::perms::owner_all);
        EXPECT_EQ(fs::status(temp.path() / "config").permissions() & fs::perms::all,
                  fs::perms::owner_all);
        EXPECT_EQ(fs::status(file("norbel.inputmethod.Vanto")).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write);
    }
}

TEST_F(PortableDefaults, FolderFollowsXdgConfigHome) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string oldXdg = xdg ? xdg : "";
    ::setenv("HOME", (temp.path() / "home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (temp.path() / "xdg").c_str(), 1);
    PortableUserDefaultsProvider().standard().setBoolean("k", true);
    EXPECT_TRUE(fs::exists(temp.path() / "xdg" / "vanto" / "norbel.inputmethod.Vanto.plist"));
    ::setenv("XDG_CONFIG_HOME", "relative", 1); // only an absolute path counts
    EXPECT_EQ(PortableUserDefaultsProvider::configFolder(),
              temp.path() / "home" / ".config" / "vanto");
    // Nor for the home folder: a relative one would follow the working folder.
    ::setenv("HOME", "home", 1);
    EXPECT_EQ(PortableUserDefaultsProvider::configFolder(), fs::path());
    PortableUserDefaultsProvider homeless;
    EXPECT_FALSE(homeless.standard().setBoolean("k", true));
    EXPECT_EQ(homeless.standardFile(), fs::path());
    ::setenv("HOME", home.c_str(), 1);
    xdg ? ::setenv("XDG_CONFIG_HOME", oldXdg.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
}

// --- notifications

TEST(PortableNotificationHub, DeliversByNameUntilTheTokenGoes) {
    PortableNotificationHub hub;
    std::vector<std::optional<std::string>> seen;
    auto token = hub.observe("a", [&](const std::optional<std::string>& o) { seen.push_back(o); });
    hub.post("a", std::string("1"));
    hub.post("b", std::string("2"));
    hub.post("a", std::nullopt);
    token.reset();
    hub.post("a", std::string("3"));
    EXPECT_EQ(seen, (std::vector<std::optional<std::string>>{"1", std::nullopt}));
}

// A process that ended without removing its socket leaves a socket nobody
// reads; the next post removes it, and the others still get the message.
TEST(PortableNotificationHub, OtherProcessesGetPostsAndTheGoneAreForgotten) {
    TemporaryFolder temp;
    const fs::path folder = temp.path() / "sockets";
    std::vector<std::function<void()>> arrived;
    std::mutex mutex;
    PortableNotificationHub listener(folder, [&](std::function<void()> task) {
        std::lock_guard lock(mutex);
        arrived.push_back(std::move(task));
    });
    std::vector<std::optional<std::string>> seen;
    const auto token =
        listener.observe("a", [&](const std::optional<std::string>& o) { seen.push_back(o); });

    const fs::path gone = folder / "1-0";
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, gone.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);

    PortableNotificationHub poster(folder, [](std::function<void()>) {});
    poster.post("a", std::string("1"));
    poster.post("b", std::string("2"));
    poster.post("a", std::nullopt);
    const auto count = [&] {
        std::lock_guard lock(mutex);
        return arrived.size();
    };
    for (int i = 0; i < 500 && count() < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(seen.empty()) << "delivered only where deliver runs it";
    std::lock_guard lock(mutex);
    for (const auto& task : arrived) task();
    EXPECT_EQ(seen, (std::vector<std::optional<std::string>>{"1", std::nullopt}));
    EXPECT_FALSE(fs::exists(fs::symlink_status(gone)));
}

TEST(PortableNotificationHub, ObserversMayPostObserveAndLeaveFromTheirCallback) {
    auto hub = std::make_unique<PortableNotificationHub>();
    int echoes = 0;
    std::unique_ptr<DistributedNotifications::Token> self, late;
    auto echo = hub->observe("echo", [&](const auto&) { ++echoes; });
    self = hub->observe("ping", [&](const auto&) {
        hub->post("echo", std::nullopt);
        late = hub->observe("ping", [](const auto&) {});
        self.reset(); // must not wait for itself
    });
    hub->post("ping", std::nullopt);
    hub->post("ping", std::nullopt);
    EXPECT_EQ(echoes, 1);
    hub.reset();
    late.reset(); // a token may outlive its hub
}

TEST(PortableNotificationHub, DroppingATokenWaitsForItsRunningCallback) {
    PortableNotificationHub hub;
    std::promise<void> entered, release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> finished{false};
    auto token = hub.observe("slow", [&](const auto&) {
        entered.set_value();
        released.wait();
        finished = true;
    });
    std::thread poster([&] { hub.post("slow", std::nullopt); });
    entered.get_future().wait();
    std::thread dropper([&] {
        token.reset();
        EXPECT_TRUE(finished); // the callback was done before the token went
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    release.set_value();
    dropper.join();
    poster.join();
}

} // namespace
} // namespace vanto
