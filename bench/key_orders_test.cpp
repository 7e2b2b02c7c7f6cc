// The key-order generator: a wrong sequence would read as an engine failure in
// the key-order table, so the sequences are pinned down here.
#include "key_orders.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vanto::bench::KeyOrder;

std::string keys(const char* word, KeyOrder order, bool telex) {
    std::u32string w;
    EXPECT_TRUE(vanto::bench::decode_utf8(word, w));
    return vanto::bench::encode_utf8(vanto::bench::keys_in_order(w, order, telex));
}

TEST(KeyOrders, EachOrderOfOneSyllable) {
    struct Case {
        const char* word;
        bool telex;
        const char* tone_last;
        const char* after_its_vowel;
        const char* after_first_vowel;
        const char* marks_last;
        const char* tone_then_marks;
    };
    const Case cases[] = {
        {"tiếng", true, "tieengs", "tieesng", "tiseeng", "tienges", "tiengse"},
        {"được", true, "dduwowcj", "dduwowjc", "dduwjowc", "duocdwj", "duocjdw"},
        {"quyết", true, "quyeets", "quyeest", "quyseet", "quyetes", "quyetse"},
        {"giết", true, "gieets", "gieest", "gieest", "gietes", "gietse"},
        {"xuất", false, "xua6t1", "xua61t", "xu1a6t", "xuat61", "xuat16"},
        {"hòa", false, "hoa2", "ho2a", "ho2a", "hoa2", "hoa2"},
        {"xoong", true, "xooong", "xooong", "xooong", "xooong", "xooong"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(keys(c.word, KeyOrder::ToneLast, c.telex), c.tone_last);
        EXPECT_EQ(keys(c.word, KeyOrder::ToneAfterItsVowel, c.telex), c.after_its_vowel);
        EXPECT_EQ(keys(c.word, KeyOrder::ToneAfterFirstVowel, c.telex), c.after_first_vowel);
        EXPECT_EQ(keys(c.word, KeyOrder::MarksAndToneLast, c.telex), c.marks_last);
        EXPECT_EQ(keys(c.word, KeyOrder::ToneThenMarksLast, c.telex), c.tone_then_marks);
    }
}

TEST(KeyOrders, WrongPairTypedAndCorrectedAfterTheSyllable) {
    struct Case {
        const char* word;
        bool telex;
        const char* keys; // empty: the word has no pair to get wrong
    };
    const Case cases[] = {
        {"muốn", true, "muownos"},   {"thương", true, "thuoongw"}, {"căn", true, "caanw"},
        {"chuẩn", true, "chuawnar"}, {"muốn", false, "muo7n61"},   {"thương", false, "thuo6ng7"},
        {"căn", false, "ca6n8"},     {"tiếng", true, ""},
    };
    for (const Case& c : cases) {
        std::u32string w;
        ASSERT_TRUE(vanto::bench::decode_utf8(c.word, w));
        EXPECT_EQ(vanto::bench::encode_utf8(vanto::bench::keys_with_wrong_pair(w, c.telex)), c.keys)
            << c.word;
    }
}

} // namespace
