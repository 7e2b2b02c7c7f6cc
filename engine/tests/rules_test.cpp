#include "rules.h"

#include <gtest/gtest.h>

namespace vanto::engine {
namespace {

// What one key does to one letter, and which table it comes from.
TEST(Rules, LetterRewrites) {
    struct Case {
        char32_t key, from;
        char32_t by_char, by_switch; // 0: no entry in that table
    };
    const Case cases[] = {
        {U'w', U'a', U'ă', 0}, // breve on a plain a
        {U'w', U'â', 0, U'ă'}, // circumflex switched to breve
        {U'a', U'ă', 0, U'â'}, // and back
        {U's', U'à', 0, U'á'}, // one tone replaces another
        {U's', U'á', 0, 0},    // the same tone again: nothing
        {U'z', U'Ệ', U'Ê', 0}, // tone removed, mark kept, case kept
        {U'0', U'ữ', U'ư', 0}, // digit copy of z
        {U'W', U'A', U'Ă', 0}, // upper-case key, upper-case letter
        {U'W', U'a', U'ă', 0}, // upper-case key, lower-case letter
        {U'D', U'd', U'đ', 0}, // the stroke in any case
        {U'D', U'D', U'Đ', 0}, {U'd', U'D', U'Đ', 0},
        {U'8', U'ậ', 0, U'ặ'}, // digit breve switches the circumflex, tone kept
        {U'6', U'ơ', 0, U'ô'}, // digit circumflex switches the horn
        {U'7', U'Ô', 0, U'Ơ'}, // digit horn switches the circumflex
        {U'j', U'Ư', U'Ự', 0}, // a tone on a marked letter
        {U'e', U'ẽ', U'ễ', 0},
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

// The pair rules by pattern: the first replacement is tried first, and the
// case of the pattern carries into the replacement.
TEST(Rules, SequenceRulesKeepCase) {
    const Rules& r = rules();
    auto choice = [&](char32_t key, TextView pattern) -> std::vector<Text> {
        for (const SeqChoice& c : *r.seq_choices(key))
            if (c.pattern == pattern) return c.replacements;
        return {};
    };
    auto seq = [&](char32_t key, TextView pattern) -> Text {
        for (const SeqRule& s : *r.seqs(key))
            if (s.pattern == pattern) return s.replacement;
        return U"-";
    };
    const struct {
        char32_t key;
        TextView pattern;
        std::vector<Text> replacements;
    } choices[] = {
        {U'w', U"uo", {U"uơ", U"ươ"}}, {U'w', U"UO", {U"UƠ", U"ƯƠ"}},
        {U'w', U"Uo", {U"Uơ", U"Ươ"}}, {U'w', U"uO", {}}, // left to the letter rules
        {U'7', U"uo", {U"uơ", U"ươ"}},
    };
    for (const auto& c : choices) EXPECT_EQ(choice(c.key, c.pattern), c.replacements);

    const struct {
        char32_t key;
        TextView pattern, replacement;
    } seqs[] = {
        {U'7', U"oa", U"oă"}, // the digit 7 is w, the breve on oa included
        {U'w', U"oa", U"oă"},
        // A tone on a half-horned pair completes the horn on both vowels.
        {U'S', U"uơ", U"ướ"},
        {U'S', U"UƠ", U"ƯỚ"},
        {U'S', U"Uơ", U"Ướ"},
        // The wrong pair is switched by the other pair's key, the tone kept.
        {U'o', U"ưở", U"uổ"},
        {U'6', U"ươ", U"uô"},
        {U'w', U"uộ", U"ượ"},
        {U'7', U"uô", U"ươ"},
    };
    for (const auto& c : seqs) EXPECT_EQ(seq(c.key, c.pattern), c.replacement);
}

TEST(Rules, DecompositionsAndMarkedLetters) {
    const Rules& r = rules();
    struct Case {
        char32_t letter, key, base;
    };
    const Case cases[] = {{U'Ở', U'r', U'Ơ'},
                          {U'ơ', U'w', U'o'},
                          {U'Ấ', U's', U'Â'},
                          {U'ỵ', U'j', U'y'},
                          {U'Ư', U'w', U'U'}};
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

// The flat tables read what the maps say, for every key and letter.
TEST(Rules, FlatTablesAgreeWithTheMaps) {
    const Rules& r = rules();
    std::u32string letters = U"bdđkqwxzĐ0aăâeêioôơuưyAĂÂEÊIOÔƠUƯY";
    for (const auto& [c, d] : r.decompositions) letters += c;
    letters += U'\u1F00'; // beyond the flat tables
    std::vector<char32_t> keys;
    for (char32_t k = 0; k < 128; ++k) keys.push_back(k);
    for (char32_t k : {U'đ', U'ơ', U'\u1F00'}) keys.push_back(k);
    for (char32_t key : keys) {
        SCOPED_TRACE(static_cast<unsigned>(key));
        const KeyRules& k = r.of(key);
        const bool modifier = r.char_rules.count(key) || r.char_switch_rules.count(key) ||
                              r.seq_choice_rules.count(key) || r.seq_rules.count(key);
        ASSERT_EQ(k.modifier, modifier);
        for (const auto& [map, flat] :
             {std::pair{k.char_map, &k.letters}, std::pair{k.char_switch_map, &k.switch_letters}}) {
            for (char32_t c : letters) {
                char32_t expected = 0;
                if (map && map->count(c)) expected = map->at(c);
                ASSERT_EQ(r.apply(*flat, c), expected) << static_cast<unsigned>(c);
            }
        }
        // The first rule whose pattern occurs in a word, as a search rule by rule finds it.
        std::uint32_t seed = key;
        for (int round = 0; round < 300; ++round) {
            Text word;
            for (std::size_t n = 0, len = 1 + seed % 6; n < len; ++n) {
                seed = seed * 1664525u + 1013904223u;
                word += letters[(seed >> 8) % letters.size()];
            }
            if (k.seqs) {
                ASSERT_TRUE(k.seq_pairs.usable);
                std::size_t expected_at = TextView::npos, at = 0;
                const SeqRule* expected = nullptr;
                for (const SeqRule& rule : *k.seqs)
                    if ((expected_at = word.find(rule.pattern)) != Text::npos) {
                        expected = &rule;
                        break;
                    }
                std::uint32_t found = 0;
                const bool any = Rules::first_pair_rule(k.seq_pairs, word, found, at);
                ASSERT_EQ(any, expected != nullptr);
                if (any) {
                    EXPECT_EQ(&(*k.seqs)[found], expected);
                    EXPECT_EQ(at, expected_at);
                }
            }
        }
    }
    for (char32_t c : letters) {
        auto it = r.decompositions.find(c);
        const Decomposition* d = r.decomposition(c);
        ASSERT_EQ(d != nullptr, it != r.decompositions.end()) << static_cast<unsigned>(c);
        if (d) {
            EXPECT_EQ(d->key, it->second.key);
            EXPECT_EQ(d->letter, it->second.letter);
        }
        EXPECT_EQ(r.is_marked(c), r.marked_letters.count(c) != 0);
    }
}

} // namespace
} // namespace vanto::engine
