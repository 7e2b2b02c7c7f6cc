// The key and letter tables that say what every mark or tone key can do to a
// letter or a two-letter sequence. Built once per process, read-only after.
#pragma once

#include "text.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace vanto::reference {

using CharMap = std::unordered_map<char32_t, char32_t>;

struct SeqChoice {
    Text pattern;
    std::vector<Text> replacements; // tried in order
};

struct SeqRule {
    Text pattern;
    Text replacement;
};

struct Decomposition {
    char32_t key;    // the tone key s f r x j, or w for the horned ơ and ư
    char32_t letter; // the letter the key was applied to
};

struct Rules {
    // What a key does to a letter that does not carry its effect yet.
    std::unordered_map<char32_t, CharMap> char_rules;
    // What a key does to a letter that carries another tone or the competing mark.
    std::unordered_map<char32_t, CharMap> char_switch_rules;
    // Two-letter sequences a key can rewrite in more than one way.
    std::unordered_map<char32_t, std::vector<SeqChoice>> seq_choice_rules;
    // Two-letter sequences a key rewrites in one way.
    std::unordered_map<char32_t, std::vector<SeqRule>> seq_rules;
    // A toned vowel (or ơ, ư) and the key and letter that produced it.
    std::unordered_map<char32_t, Decomposition> decompositions;
    // Every letter that carries a Vietnamese diacritic, both cases.
    std::unordered_set<char32_t> marked_letters;

    const CharMap* char_map(char32_t key) const { return find(char_rules, key); }
    const CharMap* char_switch_map(char32_t key) const { return find(char_switch_rules, key); }
    const std::vector<SeqChoice>* seq_choices(char32_t key) const {
        return find(seq_choice_rules, key);
    }
    const std::vector<SeqRule>* seqs(char32_t key) const { return find(seq_rules, key); }
    const Decomposition* decomposition(char32_t c) const { return find(decompositions, c); }
    bool is_marked(char32_t c) const { return marked_letters.count(c) != 0; }
    // A key that any of the four rewrite tables knows.
    bool is_modifier(char32_t key) const {
        return char_rules.count(key) || char_switch_rules.count(key) ||
               seq_choice_rules.count(key) || seq_rules.count(key);
    }

  private:
    template <class Map>
    static const typename Map::mapped_type* find(const Map& map, char32_t key) {
        auto it = map.find(key);
        return it == map.end() ? nullptr : &it->second;
    }
};

// The one shared instance; the first call builds it (thread-safe).
const Rules& rules();

} // namespace vanto::reference
