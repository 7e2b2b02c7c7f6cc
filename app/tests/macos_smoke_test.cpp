// The real macOS adapters, as far as a machine without a user at it allows:
// nothing here selects an input source, posts a key or asks for a
// permission. Built and run on macOS only.
#include "platform/macos/mac_platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace vanto {
namespace {

class MacSmoke : public ::testing::Test {
  protected:
    mac::MacPlatform services;
    Platform& p = services.platform();
};

TEST_F(MacSmoke, PropertyListsComeBackAsWritten) {
    const PlistValue value = PlistDictionary{
        {"text", std::string("tiếng Việt")},
        {"number", std::int64_t{-42}},
        {"flag", true},
        {"bytes", Bytes{0, 1, 254, 255}},
        {"list", PlistArray{std::string("a"), PlistDictionary{{"b", false}}}},
    };
    for (const auto& bytes : {p.propertyLists.encode(value), p.propertyLists.encodeXml(value)}) {
        ASSERT_TRUE(bytes);
        EXPECT_EQ(p.propertyLists.decode(*bytes), value);
    }
    EXPECT_FALSE(p.propertyLists.decode(Bytes{'n', 'o', 'p', 'e'}));
}

TEST_F(MacSmoke, ADefaultsSuiteIsWrittenReadAndRemoved) {
    const std::string name = "norbel.inputmethod.Vanto.smoke";
    {
        auto suite = p.defaults.suite(name);
        ASSERT_TRUE(suite);
        EXPECT_TRUE(suite->setString("word", "việt"));
        EXPECT_TRUE(suite->setInteger("count", 7));
        EXPECT_EQ(suite->string("word"), "việt");
        EXPECT_EQ(suite->integer("count"), 7);
    }
    p.defaults.removePersistentDomain(name);
    auto again = p.defaults.suite(name);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->string("word"), std::nullopt);
}

TEST_F(MacSmoke, ADistributedNotificationComesBackToItsSender) {
    std::optional<std::string> received;
    const auto token = p.notifications.observe("norbel.inputmethod.Vanto.smoke",
                                               [&](const std::optional<std::string>& object) {
                                                   received = object;
                                                   p.mainLoop.quit();
                                               });
    p.mainLoop.post([&] { p.notifications.post("norbel.inputmethod.Vanto.smoke", "xin chào"); });
    p.mainLoop.after(5.0, [&] { p.mainLoop.quit(); });
    p.mainLoop.run();
    EXPECT_EQ(received, "xin chào");
}

TEST_F(MacSmoke, AProgramRunsAndItsStatusComesBack) {
    EXPECT_EQ(p.processes.run("/usr/bin/true", {}, {}), 0);
    EXPECT_EQ(p.processes.run("/usr/bin/false", {}, {}), 1);
    EXPECT_EQ(p.processes.run("/nonexistent/program", {}, {}), std::nullopt);
    EXPECT_TRUE(p.processes.executablePath().is_absolute());
}

// The application bundle as the build made it.
TEST_F(MacSmoke, TheBundleCarriesItsIdentifiersAndVersion) {
    std::ifstream versionFile(VANTO_SOURCE_DIR "/VERSION");
    std::string version;
    std::getline(versionFile, version);
    const struct {
        const char* plist;
        const char* identifier;
    } bundles[] = {
        {VANTO_APP_BUNDLE "/Contents/Info.plist", "norbel.inputmethod.Vanto"},
        {VANTO_APP_BUNDLE "/Contents/Resources/Vanto.bundle/Contents/Info.plist",
         "norbel.keyboardlayout.Vanto"},
    };
    for (const auto& b : bundles) {
        SCOPED_TRACE(b.plist);
        std::ifstream in(b.plist, std::ios::binary);
        const Bytes bytes{std::istreambuf_iterator<char>(in), {}};
        const auto plist = p.propertyLists.decode(bytes);
        ASSERT_TRUE(plist);
        const auto* dictionary = std::get_if<PlistDictionary>(&*plist);
        ASSERT_TRUE(dictionary);
        EXPECT_EQ(dictionary->at("CFBundleIdentifier"), PlistValue(std::string(b.identifier)));
        EXPECT_EQ(dictionary->at("CFBundleShortVersionString"), PlistValue(version));
    }
    // This test program runs outside the bundle: the version is the build's.
    EXPECT_EQ(p.bundle.shortVersion(), version);
}

TEST_F(MacSmoke, InputSourcesAreListedWithoutSelectingAny) {
    const auto current = p.inputSources.currentKeyboardSource();
    const auto enabled = p.inputSources.enabled();
    EXPECT_FALSE(enabled.empty());
    if (current) {
        EXPECT_TRUE(current->inputSourceID.has_value());
    }
    EXPECT_EQ(p.inputSources.currentKeyboardSource(), current) << "nothing was selected";
}

// Made, stamped and read back; never posted.
TEST_F(MacSmoke, AKeyboardEventCarriesWhatWasSetOnIt) {
    const std::int64_t own = p.keyboardEvents.privateSourceStateID();
    PlatformEvent* event = p.keyboardEvents.createKeyEvent(0, true);
    ASSERT_NE(event, nullptr);
    p.keyboardEvents.setUnicodeString(event, u"ệ");
    p.keyboardEvents.setFlags(event, 0x20000);
    EXPECT_EQ(p.keyboardEvents.integerField(event, EventField::KeyCode), 0);
    EXPECT_EQ(p.keyboardEvents.integerField(event, EventField::SourceStateID), own);
    EXPECT_EQ(p.keyboardEvents.unicodeString(event, 8), u"ệ");
    EXPECT_EQ(p.keyboardEvents.flags(event) & 0x20000, 0x20000u);
    p.keyboardEvents.release(event);
}

TEST_F(MacSmoke, TheAccessibilityQuestionIsAnswered) {
    const bool trusted = p.accessibility.isTrusted();
    std::printf("Accessibility: %s\n", trusted ? "trusted" : "not trusted");
    SUCCEED();
}

} // namespace
} // namespace vanto
