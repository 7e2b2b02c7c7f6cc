// The records behind the engine handle and the engine's internal procedures.
#pragma once

#include "rules.h"
#include "text.h"
#include "trie.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace vanto::engine {

// The word after each key. Entries past the last key keep their storage, so a
// word typed after a shorter or equal one reuses the strings of the one before
// instead of allocating each again.
class KeyResults {
  public:
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const Text& back() const { return slots_[size_ - 1]; }
    const Text& operator[](std::size_t i) const { return slots_[i]; }
    void push_back(TextView text) {
        if (size_ == slots_.size()) slots_.emplace_back();
        slots_[size_++].assign(text);
    }
    void pop_back() {
        if (size_ > 0) --size_;
    }
    void clear() { size_ = 0; }

  private:
    std::vector<Text> slots_;
    std::size_t size_ = 0;
};

// Everything the engine knows about one word. The per-key lists (raw, results,
// is_word, reverted, reapplied) always have the same length: one entry per key.
struct State {
    Text raw;                         // the keys, as typed
    KeyResults results;               // the word after each key
    std::vector<std::uint8_t> is_word; // the word after each key was a complete word
    Text committed;                   // history only: what stayed on screen
    std::vector<std::uint8_t> reverted;  // sticky: repeat-undo taken or word given up
    std::vector<std::uint8_t> reapplied; // sticky: a mark or tone was moved while appending
    std::uint32_t separators = 0;     // history only: boundary characters typed after it

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
