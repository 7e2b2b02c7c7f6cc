#include "rules.h"

#include <gtest/gtest.h>

#include <thread>

namespace vanto::engine {
namespace {

TEST(Rules, TableSizes) {
    const Rules& r = rules();
    EXPECT_EQ(r.char_rules.size(), 32u);
    EXPECT_EQ(r.char_switch_rules.size(), 24u); // 8 switches â to ă
    EXPECT_EQ(r.seq_choice_rules.size(), 3u);
    for (char32_t key : {U'w', U'W', U'7'}) {
        ASSERT_NE(r.seq_choices(key), nullptr);
        EXPECT_EQ(r.seq_choices(key)->size(), 18u);
    }
    EXPECT_EQ(r.seq_rules.size(), 21u); // o, O and 6 switch ươ to uô
    for (char32_t key : std::u32string_view(U"sfrxjSFRXJ12345")) {
        ASSERT_NE(r.seqs(key), nullptr) << static_cast<unsigned>(key);
        EXPECT_EQ(r.seqs(key)->size(), 6u);
    }
    for (char32_t key : {U'w', U'W', U'7'}) EXPECT_EQ(r.seqs(key)->size(), 66u);
    for (char32_t key : {U'o', U'O', U'6'}) EXPECT_EQ(r.seqs(key)->size(), 18u);
    EXPECT_EQ(r.decompositions.size(), 124u);
    EXPECT_EQ(r.marked_letters.size(), 134u);
}

TEST(Rules, InnerMapSizes) {
    struct Case {
        char32_t key;
        std::size_t char_pairs;   // lower and upper case
        std::size_t switch_pairs; // 0 when the key has no switch rules
    };
    const Case cases[] = {
        {U's', 24, 96}, {U'z', 120, 0}, {U'd', 2, 0},   {U'a', 12, 12}, {U'e', 12, 0},
        {U'w', 36, 24}, {U'0', 120, 0}, {U'6', 36, 24}, {U'7', 24, 12}, {U'8', 12, 12},
        {U'9', 2, 0},   {U'S', 24, 96},
    };
    const Rules& r = rules();
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<unsigned>(c.key));
        ASSERT_NE(r.char_map(c.key), nullptr);
        EXPECT_EQ(r.char_map(c.key)->size(), c.char_pairs);
        if (c.switch_pairs == 0) {
            EXPECT_EQ(r.char_switch_map(c.key), nullptr);
        } else {
            ASSERT_NE(r.char_switch_map(c.key), nullptr);
            EXPECT_EQ(r.char_switch_map(c.key)->size(), c.switch_pairs);
        }
    }
}

// What one key does to one letter, and which table it comes from.
TEST(Rules, LetterRewrites) {
    struct Case {
        char32_t key, from;
        char32_t by_char, by_switch; // 0: no entry in that table
    };
    const Case cases[] = {
        {U'w', U'a', U'ă', 0},    // breve on a plain a
        {U'w', U'â', 0, U'ă'},    // circumflex switched to breve
        {U'a', U'ă', 0, U'â'},    // and back
        {U's', U'à', 0, U'á'},    // one tone replaces another
        {U's', U'á', 0, 0},       // the same tone again: nothing
        {U'z', U'Ệ', U'Ê', 0},    // tone removed, mark kept, case kept
        {U'0', U'ữ', U'ư', 0},    // digit copy of z
        {U'W', U'A', U'Ă', 0},    // upper-case key, upper-case letter
        {U'W', U'a', U'ă', 0},    // upper-case key, lower-case letter
        {U'D', U'd', U'đ', 0},    {U'D', U'D', U'Đ', 0},  {U'd', U'D', U'Đ', 0},
        {U'8', U'ậ', 0, U'ặ'},    // digit breve switches the circumflex, tone kept
        {U'6', U'ơ', 0, U'ô'},    // digit circumflex switches the horn
        {U'7', U'Ô', 0, U'Ơ'},    // digit horn switches the circumflex
        {U'j', U'Ư', U'Ự', 0},    {U'e', U'ẽ', U'ễ', 0},
    };
    const Rules& r = rules();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << static_cast<unsigned>(c.key) << " letter "
                                        << static_cast<unsigned>(c.from));
        auto get = [&](const CharMap* m) -> char32_t {
            if (!m) return 0;
            auto it = m->find(c.from);
            return it == m->end() ? 0 : it->second;
        };
        EXPECT_EQ(get(r.char_map(c.key)), c.by_char);
        EXPECT_EQ(get(r.char_switch_map(c.key)), c.by_switch);
    }
}

TEST(Rules, SequenceTablesKeepOrderAndCase) {
    const Rules& r = rules();
    const auto& w = *r.seq_choices(U'w');
    ASSERT_EQ(w.size(), 18u);
    EXPECT_EQ(w[0].pattern, U"uo");
    EXPECT_EQ(w[0].replacements, (std::vector<Text>{U"uơ", U"ươ"}));
    EXPECT_EQ(w[6].pattern, U"UO");
    EXPECT_EQ(w[6].replacements, (std::vector<Text>{U"UƠ", U"ƯƠ"}));
    EXPECT_EQ(w[7].pattern, U"Uo");
    EXPECT_EQ(w[7].replacements, (std::vector<Text>{U"Uơ", U"Ươ"}));
    for (const auto& e : w) EXPECT_NE(e.pattern, U"uO");

    // The digit 7 is w: all sixteen sequence rules, the breve on oa included.
    const auto& seven = *r.seqs(U'7');
    const auto& lower_w = *r.seqs(U'w');
    ASSERT_EQ(seven.size(), lower_w.size());
    for (std::size_t i = 0; i < seven.size(); ++i) EXPECT_EQ(seven[i].pattern, lower_w[i].pattern);
    EXPECT_EQ(seven[5].pattern, U"oa");
    EXPECT_EQ(seven[5].replacement, U"oă");

    // The wrong pair is switched by the other pair's key, the tone kept.
    const auto& o = *r.seqs(U'o');
    EXPECT_EQ(o[3].pattern, U"ưở");
    EXPECT_EQ(o[3].replacement, U"uổ");
    EXPECT_EQ(lower_w[16 + 5].pattern, U"uộ");
    EXPECT_EQ(lower_w[16 + 5].replacement, U"ượ");
    EXPECT_EQ(r.seqs(U'6')->front().replacement, U"uô");

    // A tone on a half-horned pair completes the horn on both vowels.
    const auto& s = *r.seqs(U'S');
    EXPECT_EQ(s[0].pattern, U"uơ");
    EXPECT_EQ(s[0].replacement, U"ướ");
    EXPECT_EQ(s[2].pattern, U"UƠ");
    EXPECT_EQ(s[2].replacement, U"ƯỚ");
    EXPECT_EQ(s[3].pattern, U"Uơ");
    EXPECT_EQ(s[3].replacement, U"Ướ");
    EXPECT_EQ(s[4].pattern, U"ƯO");
}

TEST(Rules, DecompositionsAndMarkedLetters) {
    const Rules& r = rules();
    struct Case {
        char32_t letter, key, base;
    };
    const Case cases[] = {{U'Ở', U'r', U'Ơ'}, {U'ơ', U'w', U'o'}, {U'Ấ', U's', U'Â'},
                          {U'ỵ', U'j', U'y'}, {U'Ư', U'w', U'U'}};
    for (const Case& c : cases) {
        const Decomposition* d = r.decomposition(c.letter);
        ASSERT_NE(d, nullptr) << static_cast<unsigned>(c.letter);
        EXPECT_EQ(d->key, c.key);
        EXPECT_EQ(d->letter, c.base);
    }
    for (char32_t plain : {U'â', U'đ', U'ă', U'a'}) EXPECT_EQ(r.decomposition(plain), nullptr);
    for (char32_t c : {U'Đ', U'Ư', U'ỹ', U'ă'}) EXPECT_TRUE(r.is_marked(c));
    for (char32_t c : {U'w', U'A', U'd'}) EXPECT_FALSE(r.is_marked(c));
}

TEST(Rules, ModifierKeys) {
    const Rules& r = rules();
    for (char32_t k : std::u32string_view(U"sfrxjzdaoewSFRXJZDAOEW0123456789")) {
        EXPECT_TRUE(r.is_modifier(k)) << static_cast<unsigned>(k);
    }
    for (char32_t k : std::u32string_view(U"bcghiklmnpqtuvy.!")) {
        EXPECT_FALSE(r.is_modifier(k)) << static_cast<unsigned>(k);
    }
}

TEST(Rules, BuiltOnceForRacingThreads) {
    const Rules* seen[4] = {};
    std::thread threads[4];
    for (int i = 0; i < 4; ++i) threads[i] = std::thread([&, i] { seen[i] = &rules(); });
    for (auto& t : threads) t.join();
    for (const Rules* p : seen) EXPECT_EQ(p, &rules());
}

} // namespace
} // namespace vanto::engine
