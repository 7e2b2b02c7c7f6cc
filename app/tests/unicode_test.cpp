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
