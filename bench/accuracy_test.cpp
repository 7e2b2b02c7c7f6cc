// The key generator of the accuracy benchmark: a wrong key sequence would show
// up as an engine failure, so the sequences are pinned down here.
#include "typing_styles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vanto::bench::Style;

std::u32string u32(const char* utf8) {
    std::u32string out;
    EXPECT_TRUE(vanto::bench::decode_utf8(utf8, out)) << utf8;
    return out;
}

std::string keys(const char* word, Style style) {
    return vanto::bench::encode_utf8(vanto::bench::keys_for(u32(word), style));
}

struct KeysCase {
    const char* word;
    const char* tone_last;
    const char* tone_after_vowel;
    const char* w_after_pair;
    const char* marks_last;
    const char* vni;
};

const KeysCase kKeys[] = {
    // word        tone last       after vowel     w after uo      marks last     vni
    {"tiếng",     "tieengs",      "tieesng",      "tieengs",      "tienges",     "tie6ng1"},
    {"được",      "dduwowcj",     "dduwowjc",     "dduowcj",      "duocdwj",     "d9u7o7c5"},
    {"Việt",      "Vieetj",       "Vieejt",       "Vieetj",       "Vietej",      "Vie6t5"},
    {"VIỆT",      "VIEETJ",       "VIEEJT",       "VIEETJ",       "VIETEJ",      "VIE6T5"},
    {"Đường",     "Dduwowngf",    "Dduwowfng",    "Dduowngf",     "Duongdwf",    "D9u7o7ng2"},
    {"mưa",       "muwa",         "muwa",         "muwa",         "muwa",        "mu7a"},
    {"thuở",      "thuowr",       "thuowr",       "thuowr",       "thuowr",      "thuo73"},
    {"hoặc",      "hoawcj",       "hoawjc",       "hoawcj",       "hoacwj",      "hoa8c5"},
    {"quốc",      "quoocs",       "quoosc",       "quoocs",       "quocos",      "quo6c1"},
    {"hòa",       "hoaf",         "hofa",         "hoaf",         "hoaf",        "hoa2"},
    {"trong",     "trong",        "trong",        "trong",        "trong",       "trong"},
    {"CSDL",      "CSDL",         "CSDL",         "CSDL",         "CSDL",        "CSDL"},
    {"kilômét",   "kiloomets",    "kiloomest",    "kiloomets",    "kiloomets",   "kilo6met1"},
};

TEST(TypingStyles, KeysOfEachStyle) {
    for (const KeysCase& c : kKeys) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(keys(c.word, Style::TelexToneLast), c.tone_last);
        EXPECT_EQ(keys(c.word, Style::TelexToneAfterVowel), c.tone_after_vowel);
        EXPECT_EQ(keys(c.word, Style::TelexWAfterPair), c.w_after_pair);
        EXPECT_EQ(keys(c.word, Style::TelexMarksLast), c.marks_last);
        EXPECT_EQ(keys(c.word, Style::Vni), c.vni);
    }
}

TEST(TypingStyles, SyllablesOfRunTogetherWords) {
    const struct {
        const char* word;
        std::size_t syllables;
    } cases[] = {
        {"tiếng", 1}, {"khuya", 1}, {"giữa", 1}, {"côngtắc", 2},
        {"kilômét", 3}, {"ôtô", 2}, {"vv", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vanto::bench::syllable_count(u32(c.word)), c.syllables) << c.word;
    // Each syllable of a run-together word gets its own tone key.
    EXPECT_EQ(keys("côngtắc", Style::TelexToneLast), "coongtawcs");
}

TEST(TypingStyles, OtherToneStyleMovesOnlyFinalPairs) {
    const struct {
        const char* word;
        const char* other;
    } cases[] = {
        {"hòa", "hoà"}, {"thuỷ", "thủy"}, {"Khỏe", "Khoẻ"}, {"hoàn", "hoàn"},
        {"quý", "quý"}, {"khuya", "khuya"}, {"tiếng", "tiếng"}, {"HÒA", "HOÀ"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vanto::bench::encode_utf8(vanto::bench::other_tone_style(u32(c.word))), c.other)
            << c.word;
}

TEST(TypingStyles, Utf8RejectsMalformedInput) {
    std::u32string out;
    for (const char* bad : {"\xC3", "\xC3\x28", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(vanto::bench::decode_utf8(bad, out)) << static_cast<int>(bad[0]);
    EXPECT_TRUE(vanto::bench::decode_utf8("Vi\xE1\xBB\x87t", out));
    EXPECT_EQ(vanto::bench::encode_utf8(out), "Việt");
}

} // namespace
