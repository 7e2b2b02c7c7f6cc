#include "platform/portable/portable_property_lists.h"
#include "settings/exclusion.h"

#include <gtest/gtest.h>

namespace vanto {
namespace {

TEST(Exclusion, WildcardRule) {
    struct Case {
        const char* pattern;
        const char* text;
        bool match;
    };
    const Case cases[] = {
        {"*", "", true},
        {"*", "com.apple.TextEdit", true},
        {"**", "", true},
        {"", "", true},
        {"", "a", false},
        {"a", "", false},
        {"com.adobe.*", "com.adobe.Photoshop", true},
        {"com.adobe.*", "com.adobe", false}, // the dot must be there
        {"com.adobe.*", "com.adobe.", true},
        {"com.adobe", "com.adobe.Photoshop", false}, // without a star the whole text
        {"https://*.google.com/*", "https://mail.google.com/mail/u/0", true},
        {"https://*.google.com/*", "https://mail.google.com", false},
        {"https://*.google.com/*", "https://google.com/search", false},
        {"https://*.google.com/*", "http://mail.google.com/x", false},
        // Only backtracking finds these.
        {"*.com", "a.com.com", true},
        {"a*b*c", "aXbYbZc", true},
        {"a*b*c", "aXbYbZ", false},
        {"a*a", "aa", true},
        {"a*a", "a", false},
        {"a**b", "ab", true},
        // Case folds both ways, beyond ASCII.
        {"COM.APPLE.*", "com.apple.TextEdit", true},
        {"com.apple.*", "COM.APPLE.TEXTEDIT", true},
        {"*ĐƯỜNG*", "con đường nhỏ", true},
        // Characters are clusters: "e" is not the first half of "é" written
        // as e + combining acute, and a star carrying a mark is no star.
        {"*e*", "xe\xcc\x81", false},
        {"*e\xcc\x81", "xe\xcc\x81", true},
        {"a*\xcc\x81", "axyz", false},
        {"vi*t", "vie\xcc\xa3\xcc\x82t", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(matches(c.pattern, c.text), c.match) << c.pattern << " vs " << c.text;
}

TEST(Exclusion, ListRule) {
    struct Case {
        std::vector<std::string> patterns;
        const char* text;
        bool match;
    };
    const Case cases[] = {
        {{}, "com.apple.TextEdit", false},
        {{"COM.APPLE.TEXTEDIT"}, "com.apple.TextEdit", true}, // no star: equality ignoring case
        {{"com.apple"}, "com.apple.TextEdit", false},
        {{"com.apple.Safari", "com.apple.*"}, "com.apple.TextEdit", true},
        {{"com.apple.Safari", "org.*"}, "com.apple.TextEdit", false},
    };
    for (const Case& c : cases) EXPECT_EQ(matchesAny(c.patterns, c.text), c.match) << c.text;
}

class ExclusionCoding : public ::testing::Test {
  protected:
    Bytes encode(const PlistValue& value) { return plists.encode(value).value(); }
    PortablePropertyLists plists;
};

TEST_F(ExclusionCoding, RoundTripsInOrderAsAnArrayOfTwoKeyDictionaries) {
    const std::vector<Exclusion> list = {
        {"com.adobe.*", true}, {"https://*.ngân-hàng.vn/*", false}, {"com.adobe.*", false}};
    const auto bytes = encodeExclusions(plists, list);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(decodeExclusions(plists, *bytes), list);
    // Other processes read the same bytes by these exact keys.
    const PlistValue expected = PlistArray{
        PlistDictionary{{"id", std::string("com.adobe.*")}, {"enabled", true}},
        PlistDictionary{{"id", std::string("https://*.ngân-hàng.vn/*")}, {"enabled", false}},
        PlistDictionary{{"id", std::string("com.adobe.*")}, {"enabled", false}},
    };
    EXPECT_EQ(plists.decode(*bytes), expected);
    EXPECT_EQ(decodeExclusions(plists, encode(PlistArray{})), std::vector<Exclusion>{});
}

TEST_F(ExclusionCoding, AnyMissingOrMistypedKeyFailsTheWholeList) {
    const PlistDictionary good{{"id", std::string("a")}, {"enabled", true}};
    const std::pair<const char*, Bytes> cases[] = {
        {"no id", encode(PlistArray{good, PlistDictionary{{"enabled", true}}})},
        {"no enabled", encode(PlistArray{good, PlistDictionary{{"id", std::string("b")}}})},
        {"enabled as integer", encode(PlistArray{PlistDictionary{{"id", std::string("b")},
                                                                 {"enabled", std::int64_t{1}}}})},
        {"id as data", encode(PlistArray{PlistDictionary{{"id", Bytes{'b'}}, {"enabled", true}}})},
        {"entry not a dictionary", encode(PlistArray{good, std::string("b")})},
        {"not an array", encode(good)},
        {"not a property list", Bytes{'n', 'o', 'p', 'e'}},
        {"nothing", Bytes{}},
    };
    for (const auto& [name, bytes] : cases) EXPECT_FALSE(decodeExclusions(plists, bytes)) << name;
    // Keys of later versions are no reason to lose the list.
    PlistDictionary extra = good;
    extra.emplace("note", std::string("x"));
    EXPECT_EQ(decodeExclusions(plists, encode(PlistArray{extra})),
              (std::vector<Exclusion>{{"a", true}}));
}

} // namespace
} // namespace vanto
