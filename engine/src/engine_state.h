// The records behind the engine handle and the engine's internal procedures.
#pragma once

#include "rules.h"
#include "text.h"
#include "trie.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace vanto::engine {

// The word after each key, kept as the word after the last key and, for every
// key, what it took away from the word before it. A key that appends a letter
// costs a few bytes whatever the length of the word, so a caller feeding one
// very long word gets memory in proportion to its keys. The buffers keep their
// capacity from word to word.
class KeyResults {
  public:
    std::size_t size() const { return steps_.size(); }
    bool empty() const { return steps_.empty(); }
    // The word after the last key; empty when there is none.
    const Text& back() const { return current_; }
    // The length of the word after key i.
    std::size_t size_at(std::size_t i) const { return steps_[i].size; }
    // The word before the last key (empty if there is one key or none).
    void before_last(InlineText& out) const;
    // Whether the word after the last key holds a letter with a Vietnamese
    // diacritic.
    bool last_has_marked() const { return !steps_.empty() && steps_.back().marked > 0; }
    // Whether the word after the last key equals the keys as typed.
    bool last_is_raw() const { return !steps_.empty() && steps_.back().is_raw; }

    // Records the word after one more key, the keys being raw (with that key).
    void push_back(TextView text, TextView raw);
    // The same when the word is the word before plus letter; takes constant
    // time.
    void push_appended(char32_t letter, TextView raw);
    void pop_back();
    void clear();

  private:
    struct Step {
        std::uint32_t keep;   // letters kept from the word before
        std::uint32_t size;   // the word's length after this key
        std::uint32_t tail;   // where the letters it took away start in tails_
        std::uint32_t marked; // letters with a diacritic in the word
        bool is_raw;          // the word is the keys
    };
    Text current_;
    Text tails_;
    std::vector<Step> steps_;
};

// Everything the engine knows about one word. The per-key lists (raw, results,
// is_word, reverted, reapplied) always have the same length: one entry per key.
struct State {
    Text raw;                            // the keys, as typed
    KeyResults results;                  // the word after each key
    std::vector<std::uint8_t> is_word;   // the word after each key was a complete word
    Text committed;                      // history only: what stayed on screen
    std::vector<std::uint8_t> reverted;  // sticky: repeat-undo taken or word given up
    std::vector<std::uint8_t> reapplied; // sticky: a mark or tone was moved while appending
    std::uint32_t separators = 0;        // history only: boundary characters typed after it
    // The number of keys after which the word was found to be a composed word
    // stretched by its last letter; 0 when unknown.
    std::size_t elongated_keys = 0;

    bool empty() const { return raw.empty(); }
    // Throws InternalFailure unless the per-key lists have one entry per key.
    void check_consistent() const;
    const Text& result() const;
    bool last_is_word() const { return !is_word.empty() && is_word.back(); }
    bool last_reverted() const { return !reverted.empty() && reverted.back(); }
    bool last_reapplied() const { return !reapplied.empty() && reapplied.back(); }
    void clear();
    void pop_key();
};

struct Engine {
    State state;
    std::vector<State> history; // oldest first, at most kHistoryLimit
    // Word records that left the history, kept with their storage so the
    // next words reuse it instead of allocating per key.
    std::vector<State> spare;
    const Trie* trie;
    const Rules* rules;
    std::uint32_t telex = 1;
    std::uint8_t loaded_spell_check = 1;
    std::uint8_t loaded_std_tone = 1;
    std::uint8_t spell_check = 1;
    std::uint8_t telex_w = 0;
    std::uint8_t telex_z = 0;
    // Internal failures the interface recovered from by a reset. Mutable:
    // reading a text may fail too.
    mutable std::uint64_t failures = 0;
    mutable TrieCaches lookups; // only speeds up lookups; answers never depend on it

    Engine();
    void reset();
    void configure(bool telex, bool spell_check, bool std_tone, bool telex_w, bool telex_z);
};

constexpr std::size_t kHistoryLimit = 2;

// Keeps a word record that is no longer needed for a later word, up to a few.
// Never allocates.
void recycle(Engine& e, State&& s);
// An empty word record, with the storage of a recycled one when there is one.
State take_spare(Engine& e);

// A broken internal expectation; the interface resets the engine on it.
struct InternalFailure : std::logic_error {
    using std::logic_error::logic_error;
};

} // namespace vanto::engine

// The record behind the public handle.
struct vt_engine {
    vanto::engine::Engine engine;
};

namespace vanto::engine {

// Key composition: appends exactly one entry to every per-key list.
void add_key(Engine& e, char32_t key);

// Deletion and history.
void backspace(Engine& e);
void delete_char(Engine& e);
// as_typed: the word is filed with its keys as its committed text.
std::uint64_t push_state(Engine& e, bool as_typed = false);
std::uint64_t pop_state(Engine& e);

// What stays on screen if the word ends now: the composed word or the keys
// (a reference to one of them, valid until the word changes).
const Text& commit_result(const Engine& e);

} // namespace vanto::engine
