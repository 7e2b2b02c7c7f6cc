// Constant character tries: the four Vietnamese word dictionaries and the
// English one, generated at build time from the lists in data/.
#pragma once

#include "text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace vanto::engine {

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

// Finds the edges of the nodes with many children in one step instead of a
// binary search: a lookup of a typed word mostly steps out of the root or out
// of a leading consonant, the widest nodes. Built once per trie.
class ChildIndex {
  public:
    explicit ChildIndex(const Trie& trie);
    // The index of the edge of node labelled c (lowercase), or -1 when it has
    // none.
    std::int64_t edge(std::uint32_t node, std::uint32_t c) const;

    // Nodes with more children than this are indexed.
    static constexpr std::uint32_t kNarrow = 4;

  private:
    const Trie& trie_;
    std::uint32_t columns_ = 0;
    // Every letter of a word lies below this.
    static constexpr std::uint32_t kLabels = 0x1F00;
    std::array<std::uint8_t, kLabels> column_of_{}; // label -> its column + 1, 0: none
    std::vector<std::uint16_t> row_of_;             // node -> its row + 1, 0: not indexed
    std::vector<std::uint8_t> rows_;                // row, column -> edge - first edge + 1
};

inline std::int64_t ChildIndex::edge(std::uint32_t node, std::uint32_t c) const {
    const std::uint32_t first = trie_.offsets[node];
    const std::uint16_t row = row_of_[node];
    if (row != 0) {
        if (c >= kLabels || column_of_[c] == 0) return -1;
        const std::uint8_t k = rows_[std::size_t{row - 1u} * columns_ + column_of_[c] - 1];
        return k == 0 ? -1 : std::int64_t{first} + k - 1;
    }
    const std::uint32_t* begin = trie_.labels + first;
    const std::uint32_t* end = trie_.labels + trie_.offsets[node + 1];
    const std::uint32_t* found = std::lower_bound(begin, end, c);
    return found != end && *found == c ? found - trie_.labels : -1;
}

// The index of one of the generated tries; null for any other trie.
const ChildIndex* child_index(const Trie& trie);

// lookup with a memory of the last text walked and the node after each of its
// characters. The engine scores several candidates per key, each the word with
// a letter changed or added near its end, and a new key extends the keys of
// the last one: each walk then starts where the text leaves the last one
// instead of at the root. Answers are those of lookup.
class TrieCache {
  public:
    std::uint8_t lookup(const Trie& trie, TextView word, std::uint8_t mask, bool strict);
    // The answer for head followed by c.
    std::uint8_t lookup(const Trie& trie, TextView head, char32_t c, std::uint8_t mask,
                        bool strict);

  private:
    // Longer texts are walked beyond it without being remembered.
    static constexpr std::size_t kRoom = 32;

    // The lookup of the n characters at(0), ..., at(n - 1).
    template <class At>
    std::uint8_t walk(const Trie& trie, std::size_t n, At at, std::uint8_t mask, bool strict);

    const Trie* trie_ = nullptr;
    const ChildIndex* index_ = nullptr;
    bool strict_ = false;
    // chars_[0, size_) were walked; nodes_[i] is the node after i of them.
    std::size_t size_ = 0;
    // chars_[size_] is a character the walk could not follow from nodes_[size_].
    bool dead_end_ = false;
    char32_t chars_[kRoom];
    std::uint32_t nodes_[kRoom + 1] = {};
};

// One cache per kind of lookup the engine makes, so they do not evict each other.
struct TrieCaches {
    TrieCache word;    // the word trie, candidates scored
    TrieCache strict;  // the word trie, strict entries
    TrieCache english; // the English trie, the keys
};

const Trie& word_trie(bool spell_check, bool std_tone);
const Trie& english_trie();

// Whether word is English: words of 4 or more letters by their first 7 letters
// in the English trie, shorter ones by a fixed list of short words.
bool is_english_word(TextView word);
bool is_english_word(TextView word, TrieCache& cache);

// Whether the keys raw followed by key are exactly an English entry (no cut).
bool is_english_with_key(TextView raw, char32_t key);
bool is_english_with_key(TextView raw, char32_t key, TrieCache& cache);

// The short English words that end in a Telex tone key.
extern const char32_t* const short_english_words[40];

// Cuts the leading consonants off word (the rest is where the rhyme starts).
// With the spell check on nothing is cut. Both parts are views of word.
std::pair<TextView, TextView> split_onset(TextView word, bool spell_check);

// The generated dictionaries.
namespace generated {
extern const Trie trie_off_off; // spell check off, tone style off
extern const Trie trie_on_off;
extern const Trie trie_off_on;
extern const Trie trie_on_on;
extern const Trie english_words;
} // namespace generated

} // namespace vanto::engine
