#include "platform/portable/portable_notifications.h"
#include "platform/portable/portable_property_lists.h"
#include "platform/portable/portable_user_defaults.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <future>
#include <sys/resource.h>
#include <sys/stat.h>
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

TEST_F(PortableDefaults, AnUnreadableFileReadsEmptyAndIsKeptAside) {
    const Bytes garbage = {'{', 'n', 'o', 't', ' ', 'a', ' ', 'p', 'l', 'i', 's', 't'};
    const PortablePropertyLists plists;
    const Bytes notADictionary = plists.encode(PlistArray{true}).value();
    for (const Bytes& contents : {garbage, notADictionary}) {
        fs::remove_all(folder());
        fs::create_directories(folder());
        writeBytes(file("norbel.inputmethod.Vanto"), contents);
        PortableUserDefaultsProvider provider(folder());
        UserDefaults& d = provider.standard();
        d.registerDefaults({{"isStdMode", true}});
        EXPECT_TRUE(d.boolean("isStdMode"));
        EXPECT_FALSE(d.data("ignoredApps"));
        EXPECT_EQ(readBytes(file("norbel.inputmethod.Vanto")), contents);

        ASSERT_TRUE(d.setBoolean("isStdMode", false));
        EXPECT_FALSE(d.boolean("isStdMode"));
        EXPECT_EQ(readBytes(folder() / "norbel.inputmethod.Vanto.plist.corrupt"), contents);
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
