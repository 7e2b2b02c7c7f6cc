// The records behind the engine handle and the engine's internal procedures.
#pragma once

#include "rules.h"
#include "text.h"
#include "transitions.h"
#include "trie.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace vanto::engine {

// What the engine noted about the word after one key.
struct KeyFlags {
    bool is_word = false;   // it was a complete word
    bool reverted = false;  // sticky: repeat-undo taken or word given up
    bool reapplied = false; // sticky: a mark or tone was moved while appending
};

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
    const KeyFlags& flags_at(std::size_t i) const { return steps_[i].flags; }
    // The flags of the last key; all false when there is none.
    KeyFlags last_flags() const { return steps_.empty() ? KeyFlags() : steps_.back().flags; }

    // The name of the word after the last key (kEmptyWord when there is no
    // key), and a way to give it one.
    std::uint64_t last_name() const {
        if (steps_.empty()) return kEmptyWord;
        return steps_.size() <= names_.size() ? names_[steps_.size() - 1] : kUnnamedWord;
    }
    void name_last(std::uint64_t name) {
        if (!steps_.empty() && steps_.size() <= names_.size()) names_[steps_.size() - 1] = name;
    }

    // Records the word after one more key, the keys being raw (with that key).
    // The new word is unnamed unless a name is given.
    void push_back(TextView text, TextView raw, KeyFlags flags, std::uint64_t name = kUnnamedWord);
    // The same when the word is the word before plus letter; takes constant
    // time.
    void push_appended(char32_t letter, TextView raw, KeyFlags flags);
    // Records the word a remembered key leads to; throws InternalFailure if
    // it keeps more letters than the word has.
    void replay(const Transition& t);
    // Fills the description of the last key's change in t; false when it
    // does not fit there.
    bool describe_last(Transition& t) const;
    void pop_back();
    void clear();

    friend void swap(KeyResults& a, KeyResults& b) noexcept {
        a.current_.swap(b.current_);
        a.tails_.swap(b.tails_);
        a.steps_.swap(b.steps_);
        a.names_.swap(b.names_);
    }

  private:
    struct Step {
        std::uint32_t keep;   // letters kept from the word before
        std::uint32_t size;   // the word's length after this key
        std::uint32_t tail;   // where the letters it took away start in tails_
        std::uint32_t marked; // letters with a diacritic in the word
        bool is_raw;          // the word is the keys
        KeyFlags flags;
    };
    Text current_;
    Text tails_;
    std::vector<Step> steps_;
    // The names of the words after the first keys, by key; the words after
    // later keys have none, so that a long word costs no more per key.
    std::vector<std::uint64_t> names_ = std::vector<std::uint64_t>(Transitions::kKeys);
};

// Every letter with a diacritic lies outside ASCII.
inline bool is_marked_letter(char32_t c) {
    if (c < 0x80) return false;
    static const Rules& shared = rules();
    return shared.is_marked(c);
}

inline void KeyResults::push_appended(char32_t letter, TextView raw, KeyFlags flags) {
    const Step* last = steps_.empty() ? nullptr : &steps_.back();
    Step step{};
    step.keep = static_cast<std::uint32_t>(current_.size());
    step.size = step.keep + 1;
    step.tail = static_cast<std::uint32_t>(tails_.size());
    step.marked = (last ? last->marked : 0) + (is_marked_letter(letter) ? 1 : 0);
    // Word and keys grew by the same letter: equal now if equal before.
    step.is_raw = !raw.empty() && raw.back() == letter && (last ? last->is_raw : raw.size() == 1);
    step.flags = flags;
    current_.push_back(letter);
    steps_.push_back(step);
    name_last(kUnnamedWord);
}

[[noreturn]] void fail_inconsistent();

// Everything the engine knows about one word: one entry per key in raw and
// in results.
struct State {
    Text raw;                     // the keys, as typed
    KeyResults results;           // the word after each key, and what was noted of it
    Text committed;               // history only: what stayed on screen
    std::uint32_t separators = 0; // history only: boundary characters typed after it
    // The number of keys after which the word was found to be a composed word
    // stretched by its last letter; 0 when unknown.
    std::size_t elongated_keys = 0;

    bool empty() const { return raw.empty(); }
    // Throws InternalFailure unless raw and results have one entry per key.
    void check_consistent() const {
        if (results.size() != raw.size()) fail_inconsistent();
    }
    const Text& result() const { return results.back(); }
    bool last_is_word() const { return results.last_flags().is_word; }
    bool last_reverted() const { return results.last_flags().reverted; }
    bool last_reapplied() const { return results.last_flags().reapplied; }
    void clear();
    void pop_key();
};

// Exchanges two word records list by list, storage included.
void swap(State& a, State& b) noexcept;

constexpr std::size_t kHistoryLimit = 2;

// The finished words, oldest first, at most kHistoryLimit, in records kept for
// the engine's life: filing a word exchanges its record with a free one, so
// that no list is moved, copied or allocated again word after word.
class History {
  public:
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    State& front() { return slots_[first_]; }
    const State& front() const { return slots_[first_]; }
    State& back() { return slots_[(first_ + size_ - 1) % kHistoryLimit]; }
    const State& back() const { return slots_[(first_ + size_ - 1) % kHistoryLimit]; }
    // Files word as the newest, dropping the oldest when full; word is left
    // empty, with the storage of a free record.
    void push(State& word) {
        if (size_ == kHistoryLimit) {
            first_ = (first_ + 1) % kHistoryLimit;
            --size_;
        }
        State& free = slots_[(first_ + size_) % kHistoryLimit];
        swap(word, free);
        ++size_;
        word.clear();
    }
    // The newest becomes word, which must be empty.
    void pop(State& word) {
        swap(word, back());
        --size_;
    }
    void clear() { size_ = first_ = 0; }

  private:
    State slots_[kHistoryLimit];
    std::size_t first_ = 0, size_ = 0;
};

struct Engine {
    State state;
    History history;
    Transitions transitions; // only speeds keys up; answers never depend on it
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
