// The trie generator on a handful of words: what the lookups find is what
// the lists say, with the forms the generator derives and nothing else.
#include "trie.h"

#include <gtest/gtest.h>

namespace vanto::engine {
namespace {

TEST(Triegen, LookupsFollowTheLists) {
    struct Case {
        const char* name;
        bool spell_check, std_tone;
        Text word;
        std::uint8_t mask;
        bool strict;
        std::uint8_t answer;
    };
    const Case cases[] = {
        {"a strict word", true, true, U"việt", WORD, false, ENTRY},
        {"any case", true, true, U"VIỆT", WORD, false, ENTRY},
        {"a prefix is a path", true, true, U"vi", WORD, false, PATH},
        {"a spelling with marks missing is a path", true, true, U"viêt", WORD, false, PATH},
        {"toneless and markless too", true, true, U"viet", WORD, false, PATH},
        {"no such word", true, true, U"vit", WORD, false, NO_PATH},
        // Each tone style has its own list.
        {"first-vowel style", true, true, U"hòa", WORD, false, ENTRY},
        {"second-vowel spelling absent", true, true, U"hoà", WORD, false, NO_PATH},
        {"second-vowel style", true, false, U"hoà", WORD, false, ENTRY},
        {"first-vowel spelling absent", true, false, U"hòa", WORD, false, NO_PATH},
        // A syllable toned on its last letter also stands without the tone,
        // but not as a strict word.
        {"toneless form", true, true, U"ba", WORD, false, ENTRY},
        {"toneless form is not strict", true, true, U"ba", STRICT_WORD, true, NO_PATH},
        {"strict word", true, true, U"bá", STRICT_WORD, true, ENTRY},
        // Extra words are words, never strict.
        {"extra word", true, true, U"xanh", WORD, false, ENTRY},
        {"extra word is not strict", true, true, U"xanh", STRICT_WORD, true, NO_PATH},
        // Without the spell check the rest after an onset is a word as well.
        {"rest of an extra word", false, true, U"anh", WORD, false, ENTRY},
        {"rest of a strict word", false, false, U"oà", WORD, false, ENTRY},
        {"rests only without the check", true, true, U"anh", WORD, false, NO_PATH},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(lookup(word_trie(c.spell_check, c.std_tone), c.word, c.mask, c.strict), c.answer);
    }
}

TEST(Triegen, EnglishEntries) {
    const Trie& en = english_trie();
    EXPECT_EQ(lookup(en, U"hello", STRICT_WORD, true), ENTRY);
    EXPECT_EQ(lookup(en, U"hell", STRICT_WORD, true), PATH);
    EXPECT_EQ(lookup(en, U"help", STRICT_WORD, true), NO_PATH);
    EXPECT_TRUE(is_english_word(U"Hello"));
    EXPECT_FALSE(is_english_word(U"hell"));
}

} // namespace
} // namespace vanto::engine
