#include "trie.h"

#include <gtest/gtest.h>

#include <set>

namespace vanto::engine {
namespace {

struct NamedTrie {
    const char* name;
    const Trie* trie;
    bool english;
};

std::vector<NamedTrie> all_tries() {
    return {{"off_off", &word_trie(false, false), false},
            {"on_off", &word_trie(true, false), false},
            {"off_on", &word_trie(false, true), false},
            {"on_on", &word_trie(true, true), false},
            {"english", &english_trie(), true}};
}

// The lookup bisects edge labels and trusts every offset and target, so the
// generator's output must hold these invariants exactly.
TEST(Trie, GeneratedTriesAreWellFormed) {
    const std::u32string vietnamese_letters =
        U"abcdefghijklmnopqrstuvxyz"
        U"áàảãạăắằẳẵặâấầẩẫậéèẻẽẹêếềểễệíìỉĩịóòỏõọôốồổỗộơớờởỡợúùủũụưứừửữựýỳỷỹỵđ";
    for (const NamedTrie& n : all_tries()) {
        SCOPED_TRACE(n.name);
        const Trie& t = *n.trie;
        ASSERT_GT(t.nodes, 1u);
        ASSERT_EQ(t.edges, t.nodes - 1);
        ASSERT_EQ(t.offsets[0], 0u);
        ASSERT_EQ(t.offsets[t.nodes], t.edges);
        std::vector<int> incoming(t.nodes, 0);
        for (std::uint32_t node = 0; node < t.nodes; ++node) {
            ASSERT_LE(t.offsets[node], t.offsets[node + 1]);
            for (std::uint32_t e = t.offsets[node]; e < t.offsets[node + 1]; ++e) {
                if (e > t.offsets[node]) {
                    ASSERT_LT(t.labels[e - 1], t.labels[e]);
                }
                const char32_t label = t.labels[e];
                ASSERT_EQ(to_lower(label), label);
                if (n.english) {
                    ASSERT_TRUE(label >= U'a' && label <= U'z');
                } else {
                    ASSERT_NE(vietnamese_letters.find(label), std::u32string::npos); // no w either
                }
                ASSERT_LT(t.targets[e], t.nodes);
                ++incoming[t.targets[e]];
            }
            const std::uint8_t f = t.flags[node];
            if (n.english) {
                ASSERT_TRUE(f == 4 || f == 6) << int(f);
            } else {
                ASSERT_TRUE(f == 0 || f == 1 || f == 4 || f == 5 || f == 7) << int(f);
            }
        }
        EXPECT_EQ(incoming[0], 0);
        for (std::uint32_t node = 1; node < t.nodes; ++node) ASSERT_EQ(incoming[node], 1);
        EXPECT_TRUE(t.flags[0] & STRICT_PATH);
    }
}

TEST(Trie, Lookups) {
    struct Case {
        bool spell_check, std_tone;
        std::u32string word;
        std::uint8_t mask;
        bool strict;
        std::uint8_t answer;
    };
    const Case cases[] = {
        {true, true, U"việt", WORD, false, 3},
        {true, true, U"VIỆT", WORD, false, 3},
        {false, false, U"ViỆt", WORD, false, 3},
        {true, true, U"vieet", WORD, false, 0}, // no path holds w or a doubled vowel
        {true, true, U"viwt", WORD, false, 0},
        {true, true, U"", WORD, false, 1},
        // The tone style decides where oa takes its tone.
        {true, true, U"hòa", WORD, false, 3},
        {true, true, U"hoà", WORD, false, 1}, // prefix of hoài, hoàn
        {true, false, U"hoà", WORD, false, 3},
        {true, false, U"hòa", WORD, false, 0},
        // Strict lookups stop where the strict prefixes end.
        {true, true, U"nam", WORD, false, 1},
        {true, true, U"nam", STRICT_WORD, true, 0},
        {true, true, U"ba", WORD, false, 3}, // derived from bá
        {true, true, U"ba", STRICT_WORD, true, 1},
        {true, true, U"bà", WORD, false, 3},
        {true, true, U"bà", STRICT_WORD, true, 3},
        // Rests after the onset are words only without the spell check.
        {false, false, U"anh", WORD, false, 3},
        {false, true, U"anh", WORD, false, 3},
        {true, false, U"anh", WORD, false, 1},
        {true, true, U"anh", WORD, false, 1},
        {true, true, U"afe", WORD, false, 0},
        {false, true, U"afe", WORD, false, 3},
        // Partial marks are paths, not words.
        {true, true, U"tieng", WORD, false, 1},
        {true, true, U"đươc", WORD, false, 1},
        {true, true, U"cafe", WORD, false, 3},
        // İ lower-cases to two characters and is looked up unchanged; the
        // Kelvin sign lower-cases to k.
        {true, true, U"\u0130", WORD, false, 0},
        {true, true, U"\u212Ailômet", WORD, false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.spell_check << c.std_tone << " word #" << (&c - cases)
                                        << " mask " << int(c.mask));
        EXPECT_EQ(lookup(word_trie(c.spell_check, c.std_tone), c.word, c.mask, c.strict), c.answer);
    }
}

TEST(Trie, EnglishPredicates) {
    struct Case {
        std::u32string word;
        bool english;
    };
    const Case words[] = {
        {U"yes", true},        {U"YES", true},      {U"Of", true},    {U"the", false},
        {U"", false},          {U"test", true},     {U"Hello", true}, {U"televi", false},
        {U"television", true}, {U"baseball", true}, {U"viet", true},  {U"tes", false},
    };
    for (const Case& c : words) EXPECT_EQ(is_english_word(c.word), c.english) << c.word.size();

    EXPECT_TRUE(is_english_with_key(U"tes", U't'));
    EXPECT_TRUE(is_english_with_key(U"TES", U'T'));
    EXPECT_FALSE(is_english_with_key(U"basebal", U'l')); // no cut to 7 letters here
    EXPECT_FALSE(is_english_with_key(U"ye", U's'));      // no short list here
    EXPECT_FALSE(is_english_with_key(U"", U't'));
}

TEST(Trie, ShortEnglishWordsEndInAToneKey) {
    std::set<std::u32string> seen;
    for (const char32_t* w : short_english_words) {
        std::u32string word(w);
        EXPECT_TRUE(seen.insert(word).second);
        EXPECT_NE(std::u32string(U"sfrx").find(word.back()), std::u32string::npos);
    }
}

TEST(Trie, SplitOnset) {
    struct Case {
        std::u32string word;
        bool spell_check;
        std::u32string onset, rest;
    };
    const Case cases[] = {
        {U"quyen", false, U"qu", U"yen"},     {U"Quyen", false, U"Qu", U"yen"},
        {U"nghieng", false, U"ngh", U"ieng"}, {U"đa", false, U"đ", U"a"},
        {U"giữa", false, U"gi", U"ữa"},       {U"qu", false, U"q", U"u"},
        {U"gi", false, U"g", U"i"},           {U"da", false, U"", U"da"},
        {U"Da", false, U"", U"Da"},           {U"str", false, U"", U"str"},
        {U"anh", false, U"", U"anh"},         {U"", false, U"", U""},
        {U"quyen", true, U"", U"quyen"},
    };
    for (const Case& c : cases) {
        auto [onset, rest] = split_onset(c.word, c.spell_check);
        EXPECT_EQ(onset, c.onset) << (&c - cases);
        EXPECT_EQ(rest, c.rest) << (&c - cases);
    }
}

TEST(Text, CaseMapping) {
    const std::u32string lower =
        U"abyzáàảãạăắằẳẵặâấầẩẫậéèẻẽẹêếềểễệíìỉĩịóòỏõọôốồổỗộơớờởỡợúùủũụưứừửữựýỳỷỹỵđ";
    const std::u32string upper =
        U"ABYZÁÀẢÃẠĂẮẰẲẴẶÂẤẦẨẪẬÉÈẺẼẸÊẾỀỂỄỆÍÌỈĨỊÓÒỎÕỌÔỐỒỔỖỘƠỚỜỞỠỢÚÙỦŨỤƯỨỪỬỮỰÝỲỶỸỴĐ";
    ASSERT_EQ(lower.size(), upper.size());
    for (std::size_t i = 0; i < lower.size(); ++i) {
        EXPECT_EQ(to_upper(lower[i]), upper[i]) << i;
        EXPECT_EQ(to_lower(upper[i]), lower[i]) << i;
    }
    for (char32_t same : {U'1', U'@', U'ß', U'\u0130'}) EXPECT_EQ(to_lower(same), same);
}

// A word-length text held in place must read the same as a std::u32string on
// both sides of its inline room: growing past it, shrinking back, copied.
TEST(Text, InlineTextAcrossItsRoom) {
    Text expected;
    InlineText text;
    for (std::size_t i = 0; i < 3 * InlineText::kInline; ++i) {
        const char32_t c = U"aăâđươ"[i % 6];
        expected += c;
        text += c;
        ASSERT_EQ(TextView(text), expected) << i;
    }
    InlineText copy = text;
    copy[copy.size() - 1] = U'z';
    EXPECT_EQ(TextView(text), expected) << "a copy of a long text is its own";
    EXPECT_EQ(copy.back(), U'z');

    const Text long_word(InlineText::kInline + 1, U'ê');
    text.assign(U"ngư");
    EXPECT_EQ(TextView(text), U"ngư");
    text += long_word;
    EXPECT_EQ(TextView(text), U"ngư" + long_word);
    text.assign(long_word);
    text.assign(TextView(text).substr(1, 2));
    EXPECT_EQ(TextView(text), U"êê") << "back in place from a long text";
    text += U'i';
    copy = text;
    EXPECT_EQ(TextView(copy), U"êêi");
}

// The remembering lookup gives the answers of the plain one whatever came
// before: texts that extend, change or shorten the last one, that run past a
// dead end or past the remembered room, in either case, with the trie or the
// strictness changing between calls on one cache.
TEST(Trie, RememberingLookupAnswersAsThePlainOne) {
    const std::u32string letters = U"nguoiêơưaáằđhtcsKNGƯỜ";
    std::uint32_t seed = 17;
    auto next = [&](std::uint32_t bound) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % bound;
    };
    const std::vector<NamedTrie> tries = all_tries();
    TrieCache shared;
    for (const NamedTrie& n : tries) {
        TrieCache own;
        std::u32string text = U"ngươ";
        for (int round = 0; round < 4000; ++round) {
            switch (next(6)) {
            case 0:
                text += letters[next(letters.size())];
                break;
            case 1:
                if (!text.empty()) text[next(text.size())] = letters[next(letters.size())];
                break;
            case 2:
                text.resize(next(text.size() + 1));
                break;
            case 3:
                text = next(2) ? U"nghiêng" : U"thuyền";
                break;
            case 4:
                text.append(next(2) ? 40 : 3, U'a');
                break; // past the remembered room
            default:
                text = U"người";
                break;
            }
            if (text.size() > 80) text.resize(5);
            const bool strict = next(2);
            const std::uint8_t mask = next(2) ? WORD : STRICT_WORD;
            const std::uint8_t expected = lookup(*n.trie, text, mask, strict);
            ASSERT_EQ(own.lookup(*n.trie, text, mask, strict), expected)
                << n.name << " round " << round;
            const NamedTrie& other = tries[next(tries.size())];
            ASSERT_EQ(shared.lookup(*other.trie, text, mask, strict),
                      lookup(*other.trie, text, mask, strict))
                << other.name << " round " << round;
            if (!text.empty()) {
                const TextView head = TextView(text).substr(0, text.size() - 1);
                ASSERT_EQ(own.lookup(*n.trie, head, text.back(), mask, strict), expected)
                    << n.name << " round " << round;
            }
        }
    }
}

// The index answers for every node and every character a walk may ask for:
// each label of the trie, and characters that label no edge (below, between
// and above the labels, and beyond the largest one).
TEST(Trie, ChildIndexFindsEveryEdgeAndNoOther) {
    for (const NamedTrie& n : all_tries()) {
        const Trie& trie = *n.trie;
        const ChildIndex* index = child_index(trie);
        ASSERT_NE(index, nullptr) << n.name;
        std::set<std::uint32_t> probes = {0, U'`', U'{', 0x1EFF, 0x10FFFF};
        for (std::uint32_t e = 0; e < trie.edges; ++e) probes.insert(trie.labels[e]);
        for (std::uint32_t node = 0; node < trie.nodes; ++node) {
            const std::uint32_t first = trie.offsets[node], last = trie.offsets[node + 1];
            for (std::uint32_t c : probes) {
                std::int64_t expected = -1;
                for (std::uint32_t e = first; e < last; ++e)
                    if (trie.labels[e] == c) expected = e;
                ASSERT_EQ(index->edge(node, c), expected) << n.name << " node " << node << " " << c;
            }
        }
    }
    const Trie tiny = {nullptr, nullptr, nullptr, nullptr, 0, 0};
    EXPECT_EQ(child_index(tiny), nullptr);
}

TEST(Trie, EnglishKeysWithACache) {
    TrieCache cache;
    const struct {
        TextView raw;
        char32_t key;
        bool english;
    } cases[] = {
        {U"tes", U't', true},  {U"TES", U'T', true},      {U"te", U's', false},
        {U"tes", U't', true},  {U"basebal", U'l', false}, {U"", U't', false},
        {U"vie", U'e', false}, {U"vie", U'e', false},     {U"tesx", U't', false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(is_english_with_key(c.raw, c.key, cache), c.english) << Text(c.raw).size();
        EXPECT_EQ(is_english_with_key(c.raw, c.key), c.english);
    }
}

} // namespace
} // namespace vanto::engine
