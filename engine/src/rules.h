// The key and letter tables that say what every mark or tone key can do to a
// letter or a two-letter sequence. Built once per process, read-only after.
#pragma once

#include "text.h"

#include <array>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace vanto::engine {

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

// The letters a key changes, by the small number the rule tables give every
// letter they change (see Rules::letter_slot); 0 where the key does nothing.
using LetterMap = std::vector<char32_t>;

// The two-letter patterns of one rule list, each with the position of the
// first rule of the list that has it, in pattern order: one pass over a word
// finds the rule a search for every pattern in turn would find.
struct PairIndex {
    std::vector<std::uint64_t> pairs; // first letter << 32 | second, ascending
    std::vector<std::uint32_t> rules; // rule position for each pair
    std::uint64_t firsts = 0;         // bit c % 64 for the first letter c of every pair
    bool usable = false;              // every pattern has two letters
};

// Everything one key can do, found without hashing.
struct KeyRules {
    const CharMap* char_map = nullptr;
    const CharMap* char_switch_map = nullptr;
    const std::vector<SeqChoice>* seq_choices = nullptr;
    const std::vector<SeqRule>* seqs = nullptr;
    LetterMap letters;        // char_map, flat
    LetterMap switch_letters; // char_switch_map, flat
    PairIndex choice_pairs;
    PairIndex seq_pairs;
    bool modifier = false;
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

    const CharMap* char_map(char32_t key) const { return of(key).char_map; }
    const CharMap* char_switch_map(char32_t key) const { return of(key).char_switch_map; }
    const std::vector<SeqChoice>* seq_choices(char32_t key) const { return of(key).seq_choices; }
    const std::vector<SeqRule>* seqs(char32_t key) const { return of(key).seqs; }
    const Decomposition* decomposition(char32_t c) const {
        if (c >= decomposition_slots_.size()) return find(decompositions, c);
        const std::uint16_t at = decomposition_slots_[c];
        return at ? &decomposition_list_[at - 1] : nullptr;
    }
    bool is_marked(char32_t c) const {
        return c < marked_.size() ? marked_[c] != 0 : marked_letters.count(c) != 0;
    }
    // A key that any of the four rewrite tables knows.
    bool is_modifier(char32_t key) const { return of(key).modifier; }

    // Every rule table of key.
    const KeyRules& of(char32_t key) const {
        if (key < ascii_keys_.size()) return ascii_keys_[key];
        auto it = other_keys_.find(key);
        return it == other_keys_.end() ? no_rules_ : it->second;
    }
    // The small number of a letter that some char_map or char_switch_map
    // changes; 0 for every other character.
    std::uint32_t letter_slot(char32_t c) const { return c < kDenseLetters ? letter_slots_[c] : 0; }
    // What map does to c; 0 when nothing. A map is empty or has a place for
    // every slot.
    char32_t apply(const LetterMap& map, char32_t c) const {
        return map.empty() ? 0 : map[letter_slot(c)];
    }
    // The first rule of a pair list (by position) whose pattern occurs in word, and
    // where its first occurrence starts; false when none does.
    static bool first_pair_rule(const PairIndex& index, TextView word, std::uint32_t& rule,
                                std::size_t& at);

    // Fills the flat tables from the maps above. Called once the maps are in
    // their final place: the tables point into them.
    void build_index();

  private:
    std::array<KeyRules, 128> ascii_keys_;
    std::unordered_map<char32_t, KeyRules> other_keys_;
    KeyRules no_rules_;
    // The flat tables cover the letters below this: all of Vietnamese and more.
    static constexpr char32_t kDenseLetters = 0x1F00;
    std::array<std::uint8_t, kDenseLetters> letter_slots_{};
    std::vector<std::uint16_t> decomposition_slots_; // position in decomposition_list_ + 1
    std::vector<Decomposition> decomposition_list_;
    std::vector<std::uint8_t> marked_;

    template <class Map>
    static const typename Map::mapped_type* find(const Map& map, char32_t key) {
        auto it = map.find(key);
        return it == map.end() ? nullptr : &it->second;
    }
};

// The one shared instance; the first call builds it (thread-safe).
const Rules& rules();

} // namespace vanto::engine
