// The sentence benchmark's own logic: which keys a sentence is typed with and
// how the field is scored. A fault here would show up as a pipeline failure
// (or hide one), so it is pinned down apart from the pipeline.
#include "sentence_typing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using vanto::bench::Language;
using vanto::bench::Sentence;
using vanto::bench::Style;

std::u32string u32(const char* utf8) {
    std::u32string out;
    EXPECT_TRUE(vanto::bench::decode_utf8(utf8, out)) << utf8;
    return out;
}

std::string u8(std::u32string_view s) {
    return vanto::bench::encode_utf8(s);
}

Sentence sentence(const char* text, Language language, std::vector<const char*> terms = {}) {
    Sentence s{u32(text), language, {}};
    for (const char* t : terms) s.terms.push_back(u32(t));
    return s;
}

TEST(SentenceWords, SplitAtEveryCharacterThatIsNoLetter) {
    struct Case {
        const char* text;
        std::vector<const char*> words;
    } const cases[] = {
        {"Chọn ô, rồi nhấn OK.", {"Chọn", "ô", "rồi", "nhấn", "OK"}},
        {"Don't use 2.0 (or 3)!", {"Don", "t", "use", "or"}},
        {"  Đường-dẫn:\"tệp\"  ", {"Đường", "dẫn", "tệp"}},
        {"Straße", {"Stra", "e"}}, // ß is no letter of either alphabet
        {"...", {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> got;
        for (const std::u32string& w : vanto::bench::words_of(u32(c.text))) got.push_back(u8(w));
        EXPECT_EQ(got, std::vector<std::string>(c.words.begin(), c.words.end())) << c.text;
    }
}

TEST(SentenceKeys, VietnameseInTheStyleEnglishAsSpelledTheRestAsWritten) {
    struct Case {
        Sentence s;
        const char* telex;
        const char* vni;
    } const cases[] = {
        {sentence("Nhấn Enter để lưu tệp.", Language::Vietnamese, {"Enter"}),
         "Nhaans Enter ddeer luwu teepj.", "Nha6n1 Enter d9e63 lu7u te6p5."},
        // An English term with a doubled letter is not given the extra key
        // that keeps a Vietnamese double plain (xoong: xooong).
        {sentence("Chọn Need, rồi xoong.", Language::Vietnamese, {"Need"}),
         "Chonj Need, rooif xooong.", "Chon5 Need, ro6i2 xoong."},
        {sentence("Add a tree: see \"of\".", Language::English), "Add a tree: see \"of\".",
         "Add a tree: see \"of\"."},
        {sentence("VIỆT NAM 2024!", Language::Vietnamese), "VIEETJ NAM 2024!", "VIE6T5 NAM 2024!"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(u8(vanto::bench::sentence_keys(c.s, Style::TelexToneLast)), c.telex)
            << u8(c.s.text);
        EXPECT_EQ(u8(vanto::bench::sentence_keys(c.s, Style::Vni)), c.vni) << u8(c.s.text);
    }
}

TEST(SentenceScore, WordByWordWithTheToneStyleOnlyForVietnamese) {
    const Sentence vi = sentence("Hòa thủy, lưu file.", Language::Vietnamese, {"file"});
    const Sentence en = sentence("Hoa of thuy.", Language::English);
    struct Case {
        const Sentence* s;
        const char* field;
        bool paired;
        std::vector<bool> right;
    } const cases[] = {
        {&vi, "Hòa thủy, lưu file. ", true, {true, true, true, true}},
        {&vi, "Hoà thuỷ, lưu file. ", true, {true, true, true, true}},
        {&vi, "Hoà thuỷ, luw fịle. ", true, {true, true, false, false}},
        {&vi, "Hòa thủy lưu,file.", true, {true, true, true, true}}, // separators are not scored
        {&vi, "Hòathủy, lưu file. ", false, {false, false, false, false}},
        {&en, "Hoa ò thuy.", true, {true, false, true}},
        {&en, "Hoa of thuỷ.", true, {true, true, false}}, // no tone style in English
        {&en, "Hoa of thuy is.", false, {false, false, false}},
    };
    for (const Case& c : cases) {
        bool paired = !c.paired;
        const auto results = vanto::bench::score_sentence(*c.s, u32(c.field), paired);
        EXPECT_EQ(paired, c.paired) << c.field;
        std::vector<bool> right;
        for (const auto& r : results) right.push_back(r.right);
        EXPECT_EQ(right, c.right) << c.field;
    }
    bool paired = true;
    const auto results = vanto::bench::score_sentence(vi, u32("Hòa thủy, lưu fịle."), paired);
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[2].language, Language::Vietnamese);
    EXPECT_EQ(results[3].language, Language::English);
    EXPECT_EQ(u8(results[3].written), "file");
    EXPECT_EQ(u8(results[3].got), "fịle");
}

class SentenceFiles : public ::testing::Test {
  protected:
    void TearDown() override { std::filesystem::remove(path_); }
    std::string write(const std::string& content) {
        std::ofstream(path_, std::ios::binary) << content;
        return path_.string();
    }
    std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                  ("vanto-sentences-test-" + std::to_string(::getpid()));
};

TEST_F(SentenceFiles, ReadsSentencesAndTheirTerms) {
    const auto plain = vanto::bench::read_sentences(write("Một câu.\nHai câu nữa.\n"),
                                                    Language::Vietnamese, false);
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(u8(plain[1].text), "Hai câu nữa.");
    EXPECT_TRUE(plain[1].terms.empty());

    const auto tagged = vanto::bench::read_sentences(
        write("Mở LibreOffice Calc.\tLibreOffice Calc\n"), Language::Vietnamese, true);
    ASSERT_EQ(tagged.size(), 1u);
    EXPECT_EQ(u8(tagged[0].text), "Mở LibreOffice Calc.");
    EXPECT_EQ(tagged[0].language_of(u32("Calc")), Language::English);
    EXPECT_EQ(tagged[0].language_of(u32("Mở")), Language::Vietnamese);
}

TEST_F(SentenceFiles, RefusesWhatTheCorpusScriptDoesNotWrite) {
    struct Case {
        const char* content;
        bool terms;
        const char* error;
    } const cases[] = {
        {"", false, "no sentences"},
        {"Một câu.\n\xC3\x28\n", false, ":2: not valid UTF-8"},
        {"Một\tcâu.\n", false, ":1: a tab in a sentence"},
        {"Mở Calc.\n", true, ":1: expected sentence<TAB>terms"},
        {"Mở Calc.\tWriter\n", true, ":1: term 'Writer' is not a word of the sentence"},
        {"Mở Calc.\tCal\n", true, ":1: term 'Cal' is not a word of the sentence"},
        {"Mở Calc.\tCalc,Mở\n", true, ":1: terms are words separated by spaces"},
        {"Mở Calc.\t\n", true, ":1: no terms"},
        {"...\n", false, ":1: no words"},
    };
    for (const Case& c : cases) {
        const std::string path = write(c.content);
        try {
            vanto::bench::read_sentences(path, Language::Vietnamese, c.terms);
            ADD_FAILURE() << "accepted: " << c.content;
        } catch (const vanto::bench::InputError& e) {
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos)
                << e.what() << " for " << c.content;
        }
    }
}

} // namespace
