#include "settings/unicode.h"

#include <gtest/gtest.h>

namespace vanto {
namespace {

TEST(Unicode, GraphemeClusters) {
    struct Case {
        std::string text;
        std::size_t count;
    };
    const Case cases[] = {
        {"", 0},
        {"việt", 4},
        {"vie\xcc\xa3\xcc\x82t", 4},             // e + combining dot + circumflex: one cluster
        {"\xf0\x9f\x87\xbb\xf0\x9f\x87\xb3", 1}, // a flag: two regional indicators
        {"a\r\nb", 3},
        {"\xff"
         "a",
         2}, // an invalid byte is a cluster of its own
    };
    for (const Case& c : cases) EXPECT_EQ(graphemeCount(c.text), c.count) << c.text;
    EXPECT_EQ(graphemePrefix("việt nam", 3), "việ");
    EXPECT_EQ(dropGraphemes("việt nam", 5), "nam");
    EXPECT_EQ(dropLastGraphemes("việt nam", 4), "việt");
    EXPECT_EQ(dropLastGraphemes("ab", 5), "");
}

TEST(Unicode, ClustersSideBySide) {
    const std::string flag = "\xf0\x9f\x87\xbb\xf0\x9f\x87\xb3";
    const std::string regionalV = "\xf0\x9f\x87\xbb", regionalN = "\xf0\x9f\x87\xb3";
    const std::string thumb = "\xf0\x9f\x91\x8d", skinTone = "\xf0\x9f\x8f\xbb";
    struct Prefix {
        std::string a, b;
        std::size_t count, bytes;
    };
    const Prefix prefixes[] = {
        {"việt nam", "việt ngữ", 6, 8},
        {"viet", "việt", 2, 2}, // "e" and "ệ" differ as characters
        {"", "abc", 0, 0},
        {"v" + regionalV, "v" + flag, 1, 1}, // half a flag is not the flag
    };
    for (const Prefix& p : prefixes) {
        std::size_t bytes = 99;
        EXPECT_EQ(commonGraphemePrefix(p.a, p.b, bytes), p.count) << p.a << " / " << p.b;
        EXPECT_EQ(bytes, p.bytes) << p.a << " / " << p.b;
    }
    struct Join {
        std::string text, more;
        bool joins;
    };
    const Join joins[] = {
        {"a " + regionalV, regionalN, true},
        {"a " + flag, regionalV, false}, // a third indicator starts a new flag
        {thumb, skinTone, true},
        {"e", "\xcc\x81", true}, // a combining accent
        {"a", " ", false},
        {"", regionalN, false},
    };
    for (const Join& j : joins)
        EXPECT_EQ(extendsLastGrapheme(j.text, j.more), j.joins) << j.text << " + " << j.more;
    EXPECT_TRUE(isValidUtf8("Tiếng Việt"));
    for (const char* bad : {"\xff", "a\xe1\xbb", "\xed\xa0\x80"}) EXPECT_FALSE(isValidUtf8(bad));
}

TEST(Unicode, CharacterClasses) {
    for (const char* s : {" ", ".", ",", "?", "5", "$", "+", "\xe2\x80\x94", "\t", "\xc2\xa0"})
        EXPECT_TRUE(isSeparatorCharacter(s)) << s;
    for (const char* s : {"a", "ệ", "", "ab", "  ", "\x01"})
        EXPECT_FALSE(isSeparatorCharacter(s)) << s;
    EXPECT_TRUE(isAsciiLetter("a"));
    EXPECT_TRUE(isAsciiLetter("Z"));
    for (const char* s : {"", "ab", "1", "ă", "@"}) EXPECT_FALSE(isAsciiLetter(s)) << s;
}

TEST(Unicode, Conversions) {
    const std::string text = "Tiếng Việt \xf0\x9f\x98\x80";
    EXPECT_EQ(fromUtf16(toUtf16(text)), text);
    EXPECT_EQ(toUtf16("\xf0\x9f\x98\x80").size(), 2u);
    EXPECT_EQ(fromScalars(toScalars(text)), text);
    EXPECT_EQ(fromUtf16(u"\xD800"), "\xef\xbf\xbd"); // a lone surrogate is replaced
    EXPECT_EQ(lowercased("ĐƯỜNG Com.Apple"), "đường com.apple");
}

} // namespace
} // namespace vanto
