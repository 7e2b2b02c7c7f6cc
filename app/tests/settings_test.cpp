#include "settings/settings.h"

#include "platform/portable/portable_main_loop.h"
#include "platform/portable/portable_notifications.h"
#include "platform/portable/portable_property_lists.h"
#include "platform/portable/portable_user_defaults.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace vanto {
namespace {

// A domain in memory that records every write. Settings reads each key only
// by its own type, so no conversions are needed here.
class FakeDefaults final : public UserDefaults {
  public:
    explicit FakeDefaults(bool standard) : standard_(standard) {}
    bool boolean(std::string_view key) override { return get<bool>(key).value_or(false); }
    std::int64_t integer(std::string_view key) override {
        return get<std::int64_t>(key).value_or(0);
    }
    std::optional<std::string> string(std::string_view key) override {
        return get<std::string>(key);
    }
    std::optional<Bytes> data(std::string_view key) override { return get<Bytes>(key); }
    bool setBoolean(std::string_view key, bool value) override { return put(key, value); }
    bool setInteger(std::string_view key, std::int64_t value) override { return put(key, value); }
    bool setString(std::string_view key, std::string_view value) override {
        return put(key, std::string(value));
    }
    bool setData(std::string_view key, const Bytes& value) override { return put(key, value); }
    bool
    updateData(std::string_view key,
               const std::function<std::optional<Bytes>(std::optional<Bytes>)>& change) override {
        auto next = change(get<Bytes>(key));
        return next && put(key, std::move(*next));
    }
    bool remove(std::string_view key) override {
        writes.emplace_back(key);
        return values.erase(std::string(key)) > 0;
    }
    void registerDefaults(const std::map<std::string, DefaultsValue>& defaults) override {
        for (const auto& [key, value] : defaults) registered.insert_or_assign(key, value);
    }
    bool isStandard() const override { return standard_; }

    std::map<std::string, DefaultsValue> values, registered;
    std::vector<std::string> writes;

  private:
    template <class T> std::optional<T> get(std::string_view key) const {
        for (const auto* map : {&values, &registered}) {
            if (auto it = map->find(std::string(key)); it != map->end()) {
                if (const T* value = std::get_if<T>(&it->second)) return *value;
                return std::nullopt;
            }
        }
        return std::nullopt;
    }
    bool put(std::string_view key, DefaultsValue value) {
        writes.emplace_back(key);
        if (refuse) return false;
        values.insert_or_assign(std::string(key), std::move(value));
        return true;
    }
    bool standard_;

  public:
    bool refuse = false; // every write fails, as on a full or read-only disk
};

// Records posts and delivers them at once to every observer.
class RecordingNotifications final : public DistributedNotifications {
  public:
    void post(std::string_view name, const std::optional<std::string>& object) override {
        posts.emplace_back(std::string(name), object);
        hub_.post(name, object);
    }
    std::unique_ptr<Token> observe(std::string_view name, Callback callback) override {
        ++observations;
        return hub_.observe(name, std::move(callback));
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> posts;
    int observations = 0;

  private:
    PortableNotificationHub hub_;
};

struct Counted {
    explicit Counted(Settings& s) {
        s.onChange = [this] { ++calls; };
    }
    int calls = 0;
};

class SettingsTest : public ::testing::Test {
  protected:
    FakeDefaults standard{true};
    RecordingNotifications notifications;
    PortablePropertyLists plists;
};

TEST_F(SettingsTest, FreshDomainReadsTheDefaults) {
    const Settings s(standard, notifications, plists, 100);
    EXPECT_TRUE(s.telex());
    EXPECT_TRUE(s.spellCheck());
    EXPECT_TRUE(s.stdTone());
    EXPECT_FALSE(s.telexW());
    EXPECT_FALSE(s.telexZ());
    EXPECT_FALSE(s.backspaceDeletesChar());
    EXPECT_FALSE(s.exclusionsOn());
    EXPECT_EQ(s.englishContext(), kEnglishContextDefault);
    EXPECT_TRUE(s.exclusions().empty());
    EXPECT_TRUE(standard.writes.empty());
    EXPECT_TRUE(notifications.posts.empty());
}

TEST_F(SettingsTest, AnyNonZeroInputMethodIsTelexAndSavedAsOne) {
    standard.values[std::string(kInputMethodKey)] = std::int64_t{2};
    Settings s(standard, notifications, plists, 100);
    EXPECT_TRUE(s.telex());
    s.setTelex(true);
    EXPECT_EQ(standard.values[std::string(kInputMethodKey)], DefaultsValue(std::int64_t{1}));
    s.setTelex(false);
    EXPECT_EQ(standard.values[std::string(kInputMethodKey)], DefaultsValue(std::int64_t{0}));
}

TEST_F(SettingsTest, EachSetterWritesItsKeyOnceAndAnnouncesOnce) {
    struct Case {
        std::string_view key;
        void (*set)(Settings&);
        bool (*get)(const Settings&);
    };
    const Case cases[] = {
        {kInputMethodKey, [](Settings& s) { s.setTelex(false); },
         [](const Settings& s) { return !s.telex(); }},
        {kSpellCheckKey, [](Settings& s) { s.setSpellCheck(false); },
         [](const Settings& s) { return !s.spellCheck(); }},
        {kStdToneKey, [](Settings& s) { s.setStdTone(false); },
         [](const Settings& s) { return !s.stdTone(); }},
        {kTelexWKey, [](Settings& s) { s.setTelexW(true); },
         [](const Settings& s) { return s.telexW(); }},
        {kTelexZKey, [](Settings& s) { s.setTelexZ(true); },
         [](const Settings& s) { return s.telexZ(); }},
        {kBackspaceDeletesCharKey, [](Settings& s) { s.setBackspaceDeletesChar(true); },
         [](const Settings& s) { return s.backspaceDeletesChar(); }},
        {kExclusionsOnKey, [](Settings& s) { s.setExclusionsOn(true); },
         [](const Settings& s) { return s.exclusionsOn(); }},
        {kEnglishContextKey, [](Settings& s) { s.setEnglishContext(true); },
         [](const Settings& s) { return s.englishContext(); }},
        {kEnglishContextKey, [](Settings& s) { s.setEnglishContext(false); },
         [](const Settings& s) { return !s.englishContext(); }},
        {kExclusionsKey,
         [](Settings& s) {
             s.setExclusions({{"com.adobe.*", true}});
         },
         [](const Settings& s) { return s.exclusions().size() == 1; }},
        // An unchanged value is saved and announced all the same.
        {kStdToneKey, [](Settings& s) { s.setStdTone(true); },
         [](const Settings& s) { return s.stdTone(); }},
    };
    for (const Case& c : cases) {
        FakeDefaults domain(true);
        RecordingNotifications center;
        Settings s(domain, center, plists, 4242);
        const Counted changes(s);
        c.set(s);
        EXPECT_TRUE(c.get(s)) << c.key;
        EXPECT_EQ(domain.writes, std::vector<std::string>{std::string(c.key)});
        EXPECT_EQ(changes.calls, 1) << c.key;
        ASSERT_EQ(center.posts.size(), 1u) << c.key;
        EXPECT_EQ(center.posts[0].first, kSettingsChangedNotification);
        EXPECT_EQ(center.posts[0].second, "4242");
        // What was saved is what the next load reads.
        const Settings again(domain, center, plists, 1);
        EXPECT_TRUE(c.get(again)) << c.key;
    }
}

TEST_F(SettingsTest, OtherProcessesReloadOnASaveTheWriterIgnoresItsOwn) {
    Settings writer(standard, notifications, plists, 100);
    Settings reader(standard, notifications, plists, 200);
    writer.observeExternalChanges();
    reader.observeExternalChanges();
    writer.observeExternalChanges(); // once only
    EXPECT_EQ(notifications.observations, 2);
    const Counted writerChanges(writer), readerChanges(reader);

    standard.values[std::string(kTelexZKey)] = true; // behind the writer's back
    writer.setTelexW(true);
    EXPECT_EQ(writerChanges.calls, 1);
    EXPECT_FALSE(writer.telexZ()); // it did not reload on its own notification
    EXPECT_EQ(readerChanges.calls, 1);
    EXPECT_TRUE(reader.telexW());
    EXPECT_TRUE(reader.telexZ());
    EXPECT_EQ(standard.writes, std::vector<std::string>{std::string(kTelexWKey)});

    // Without an object nobody can tell whose save it was: everyone reloads.
    notifications.post(kSettingsChangedNotification, std::nullopt);
    EXPECT_TRUE(writer.telexZ());
    EXPECT_EQ(writerChanges.calls, 2);
    EXPECT_EQ(readerChanges.calls, 2);
    EXPECT_EQ(notifications.posts.size(), 2u); // reloading announced nothing
}

TEST_F(SettingsTest, UndecodableExclusionsReadAsNoneAndStayStored) {
    // Which lists fail to decode is the exclusion coding's business; here,
    // what the store does with one.
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"truncated",
         [&] {
             Bytes b = encodeExclusions(plists, {{"com.adobe.*", true}}).value();
             b.resize(b.size() / 2);
             return b;
         }()},
    };
    for (const auto& [name, bytes] : cases) {
        FakeDefaults domain(true);
        domain.values[std::string(kExclusionsKey)] = bytes;
        domain.values[std::string(kExclusionsOnKey)] = true;
        Settings s(domain, notifications, plists, 100);
        s.load();
        EXPECT_TRUE(s.exclusions().empty()) << name;
        EXPECT_TRUE(s.exclusionsOn()) << name; // the rest of the settings still load
        EXPECT_TRUE(domain.writes.empty()) << name;
        EXPECT_EQ(domain.values[std::string(kExclusionsKey)], DefaultsValue(bytes)) << name;
    }
    // The stored value is a text, not data at all.
    FakeDefaults domain(true);
    domain.values[std::string(kExclusionsKey)] = std::string("com.adobe.*");
    EXPECT_TRUE(Settings(domain, notifications, plists, 100).exclusions().empty());
}

TEST_F(SettingsTest, AFlagStoredWithTheWrongTypeReadsAsOffAndTheRestStillLoads) {
    const std::vector<std::pair<const char*, DefaultsValue>> cases = {
        {"text", std::string("yes")},
        {"data", Bytes{1}},
    };
    for (const auto& [name, value] : cases) {
        FakeDefaults domain(true);
        domain.values[std::string(kEnglishContextKey)] = value;
        domain.values[std::string(kTelexZKey)] = true;
        Settings s(domain, notifications, plists, 100);
        EXPECT_FALSE(s.englishContext()) << name;
        EXPECT_TRUE(s.telexZ()) << name;
        EXPECT_TRUE(domain.writes.empty()) << name;
        s.setEnglishContext(true); // the next save replaces it
        EXPECT_EQ(domain.values[std::string(kEnglishContextKey)], DefaultsValue(true)) << name;
    }
}

// The window must never show a change that is not kept: after a failed save
// the settings read what the store holds, say that the save failed, and
// tell nobody else (there is nothing new to reload).
TEST_F(SettingsTest, AFailedSaveIsReportedAndShowsWhatIsKept) {
    const struct {
        const char* name;
        void (*set)(Settings&);
        bool (*changed)(const Settings&);
        bool refuse;
    } cases[] = {
        {"the store refuses", [](Settings& s) { s.setTelexW(true); },
         [](const Settings& s) { return s.telexW(); }, true},
        {"telex, the store refuses", [](Settings& s) { s.setTelex(false); },
         [](const Settings& s) { return !s.telex(); }, true},
        {"the list cannot be stored",
         [](Settings& s) {
             s.setExclusions({{"com.adobe.*", true}, {"bad\xff", true}});
         },
         [](const Settings& s) { return !s.exclusions().empty(); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDefaults domain(true);
        RecordingNotifications center;
        Settings s(domain, center, plists, 7);
        const Counted changes(s);
        domain.refuse = c.refuse;
        c.set(s);
        EXPECT_TRUE(s.saveFailed());
        EXPECT_FALSE(c.changed(s));
        EXPECT_EQ(changes.calls, 1);
        EXPECT_TRUE(center.posts.empty());

        domain.refuse = false;
        s.setSpellCheck(false);
        EXPECT_FALSE(s.saveFailed()) << "a save that works clears it";
        EXPECT_EQ(center.posts.size(), 1u);
    }
}

TEST_F(SettingsTest, AnotherDomainNeitherAnnouncesNorListens) {
    FakeDefaults scratch(false);
    Settings s(scratch, notifications, plists, 100);
    const Counted changes(s);
    s.observeExternalChanges();
    s.setTelexW(true);
    EXPECT_TRUE(scratch.boolean(kTelexWKey));
    EXPECT_TRUE(standard.writes.empty());
    EXPECT_EQ(changes.calls, 1);
    EXPECT_TRUE(notifications.posts.empty());
    EXPECT_EQ(notifications.observations, 0);
}

// The agent and the helper are two processes, each with its own store, hub
// and main loop; the helper's save reaches the agent on its main loop.
TEST(SettingsOnFiles, ASaveOfTheHelperReachesTheRunningAgent) {
    char pattern[] = "/tmp/vanto-settings-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::filesystem::path folder = pattern;
    {
        PortableMainLoop agentLoop, helperLoop;
        const auto on = [](PortableMainLoop& loop) {
            return [&loop](std::function<void()> task) { loop.post(std::move(task)); };
        };
        PortableNotificationHub agentHub(folder / "sockets", on(agentLoop));
        PortableNotificationHub helperHub(folder / "sockets", on(helperLoop));
        PortableUserDefaultsProvider agentStore(folder), helperStore(folder);
        PortablePropertyLists plists;
        Settings agent(agentStore.standard(), agentHub, plists, 1);
        Settings helper(helperStore.standard(), helperHub, plists, 2);
        agent.observeExternalChanges();
        helper.observeExternalChanges();
        const Counted agentChanges(agent), helperChanges(helper);

        helper.setTelexW(true);
        EXPECT_EQ(helperChanges.calls, 1);
        for (int i = 0; i < 500 && agentChanges.calls == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            agentLoop.runPending();
        }
        EXPECT_EQ(agentChanges.calls, 1) << "reloaded once, on its main loop";
        EXPECT_TRUE(agent.telexW());
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        helperLoop.runPending();
        EXPECT_EQ(helperChanges.calls, 1) << "the helper's own save did not come back to it";
    }
    std::filesystem::remove_all(folder);
}

// A text that is not UTF-8, written into the domain by another program,
// used to make every later save of the whole domain fail.
TEST(SettingsOnFiles, AStrangeValueInTheDomainBlocksNoSave) {
    char pattern[] = "/tmp/vanto-settings-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::filesystem::path folder = pattern;
    {
        const std::string xml = "<plist><dict><key>setupPromptedVersion</key><string>\xff</string>"
                                "<key>isIgnoreApp</key><true/></dict></plist>";
        std::ofstream(folder / "norbel.inputmethod.Vanto.plist") << xml;
        PortableUserDefaultsProvider store(folder);
        PortableNotificationHub hub;
        PortablePropertyLists plists;
        Settings settings(store.standard(), hub, plists, 1);
        EXPECT_TRUE(settings.exclusionsOn());
        settings.setTelexW(true);
        settings.setExclusions({{"com.adobe.*", true}});
        EXPECT_FALSE(settings.saveFailed());
        PortableUserDefaultsProvider again(folder);
        const Settings reread(again.standard(), hub, plists, 2);
        EXPECT_TRUE(reread.telexW());
        EXPECT_TRUE(reread.exclusionsOn());
        EXPECT_EQ(reread.exclusions(), (std::vector<Exclusion>{{"com.adobe.*", true}}));
    }
    std::filesystem::remove_all(folder);
}

// Two processes, each with its own store object on the same folder.
TEST(SettingsOnFiles, AChangeSavedByOneProcessReachesTheOther) {
    char pattern[] = "/tmp/vanto-settings-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::filesystem::path folder = pattern;
    {
        PortableUserDefaultsProvider agentStore(folder), helperStore(folder);
        PortableNotificationHub hub;
        PortablePropertyLists plists;
        Settings agent(agentStore.standard(), hub, plists, 1);
        Settings helper(helperStore.standard(), hub, plists, 2);
        agent.observeExternalChanges();
        const std::vector<Exclusion> list = {{"com.adobe.*", true}, {"https://*.vn/*", false}};
        helper.setExclusions(list);
        helper.setTelex(false);
        EXPECT_EQ(agent.exclusions(), list);
        EXPECT_FALSE(agent.telex());
    }
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace vanto
