// Constant character tries: the four Vietnamese word dictionaries and the
// English one. They are views of the engine's own generated arrays.
#pragma once

#include "text.h"

#include <cstdint>
#include <utility>

namespace vanto::reference {

// Node flags.
constexpr std::uint8_t WORD = 1;        // the path spells an entry
constexpr std::uint8_t STRICT_WORD = 2; // ... an entry of the strict list (English: any entry)
constexpr std::uint8_t STRICT_PATH = 4; // the node lies on the path of a strict entry

// Node 0 is the root. The edges of node n are offsets[n] .. offsets[n + 1] - 1;
// their labels are lowercase and strictly ascending within a node.
struct Trie {
    const std::uint32_t* offsets; // nodes + 1
    const std::uint8_t* flags;    // nodes
    const std::uint32_t* labels;  // edges
    const std::uint32_t* targets; // edges
    std::uint32_t nodes;
    std::uint32_t edges;
};

// Lookup answers, used directly as candidate scores.
constexpr std::uint8_t NO_PATH = 0;
constexpr std::uint8_t PATH = 1;
constexpr std::uint8_t ENTRY = 3;

// Walks the trie one character at a time, so that a text can be looked up in
// pieces without being copied.
class TrieWalk {
  public:
    TrieWalk(const Trie& trie, bool strict) : trie_(trie), strict_(strict) {}
    // Follows c (folded to lower case); false once the path is gone.
    bool step(char32_t c);
    bool step(TextView text);
    // 0 when the path is gone, otherwise 3 when the node has a bit of mask, else 1.
    std::uint8_t answer(std::uint8_t mask) const;

  private:
    const Trie& trie_;
    bool strict_;
    bool alive_ = true;
    std::uint32_t node_ = 0;
};

// 0: no path (or, strict, the path leaves the strict prefixes); 1: a path whose
// node has no bit of mask; 3: a path whose node has one. Allocates nothing.
std::uint8_t lookup(const Trie& trie, TextView word, std::uint8_t mask, bool strict);

const Trie& word_trie(bool spell_check, bool std_tone);
const Trie& english_trie();

// Whether word is English: words of 4 or more letters by their first 7 letters
// in the English trie, shorter ones by a fixed list of short words.
bool is_english_word(TextView word);

// Whether the keys raw followed by key are exactly an English entry (no cut).
bool is_english_with_key(TextView raw, char32_t key);

// The short English words that end in a Telex tone key.
extern const char32_t* const short_english_words[40];

// Cuts the leading consonants off word (the rest is where the rhyme starts).
// With the spell check on nothing is cut. Both parts are views of word.
std::pair<TextView, TextView> split_onset(TextView word, bool spell_check);

} // namespace vanto::reference
