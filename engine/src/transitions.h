// A memory of what keys did to words, so that a word typed again takes each
// key from it instead of running the candidate procedure once more.
//
// What a key does is a function of the word before it, the key and the
// options, nothing else. Every word state the procedure produces gets a
// number that names it for the engine's life, and the memory keeps, for a
// named state, a key and the options, the state the key led to and how that
// state differs from the one before. It is built as words are typed, like the
// lazily built automaton of a regular expression matcher: ordinary prose
// repeats a few thousand syllables, so most keys find their entry. An entry is
// only a shortcut: a key that finds none runs the procedure, and the answers
// never depend on what the memory holds.
#pragma once

#include <cstdint>
#include <vector>

namespace vanto::engine {

// The names of word states. A state that was not reached by the procedure
// from a named state (a word rebuilt letter by letter, for instance) has
// none, and neither have the states that follow it.
constexpr std::uint64_t kUnnamedWord = 0;
constexpr std::uint64_t kEmptyWord = 1;

// What a key led to from a named word. One cache line.
struct Transition {
    // Letters of the new word beyond those it keeps, held in the entry.
    static constexpr std::size_t kAdded = 8;

    std::uint64_t from = kUnnamedWord; // kUnnamedWord: the entry is free
    std::uint64_t to = kUnnamedWord;
    char32_t key = 0;
    std::uint8_t options = 0;
    // The new word is the old one's first keep letters followed by added;
    // false when the key changed more than the last entry of the word (it left
    // English) or added too much to hold: the procedure runs again then, and
    // only the name of the state it reaches comes from here.
    bool replayable = false;
    std::uint8_t keep = 0;
    std::uint8_t added_size = 0;
    std::uint8_t marked = 0;
    bool is_raw = false;
    bool is_word = false, reverted = false, reapplied = false;
    char32_t added[kAdded] = {};
};

static_assert(sizeof(Transition) == 64);

class Transitions {
  public:
    // Keys are only remembered while a word is shorter than this.
    static constexpr std::size_t kKeys = 16;

    Transitions() : slots_(kWays << kFirstSetBits) {}

    // The entry for key typed after the word named from under options, or
    // null when there is none.
    const Transition* find(std::uint64_t from, char32_t key, std::uint8_t options) const {
        const Transition* set = &slots_[set_of(from, key, options)];
        for (std::size_t way = 0; way < kWays; ++way)
            if (set[way].from == from && set[way].key == key && set[way].options == options)
                return &set[way];
        return nullptr;
    }
    // A new entry for key after from under options, with a name no state has
    // had yet for the state it leads to. The oldest entry of its set makes
    // room for it. The memory starts small, so that an engine that types a
    // few words costs little, and takes its full size once four entries were
    // pushed out to make room.
    Transition& add(std::uint64_t from, char32_t key, std::uint8_t options) {
        if (set_bits_ < kSetBits) {
            const Transition* set = &slots_[set_of(from, key, options)];
            if (set[kWays - 1].from != kUnnamedWord && ++pushed_out_ > 4) grow();
        }
        Transition& t = insert(from, key, options);
        t.to = next_++;
        return t;
    }

  private:
    // 2,048 sets of 4: room for the transitions of several thousand
    // syllables, 512 KB. It starts at 64 sets, 16 KB.
    static constexpr unsigned kSetBits = 11;
    static constexpr unsigned kFirstSetBits = 6;
    static constexpr std::size_t kWays = 4;

    std::size_t set_of(std::uint64_t from, char32_t key, std::uint8_t options) const {
        const std::uint64_t h =
            (from ^ (std::uint64_t{key} << 40) ^ (std::uint64_t{options} << 32)) *
            0x9E3779B97F4A7C15ull;
        return static_cast<std::size_t>(h >> (64 - set_bits_)) * kWays;
    }

    // Makes room in the set of the entry at the front and empties it.
    Transition& insert(std::uint64_t from, char32_t key, std::uint8_t options) {
        Transition* set = &slots_[set_of(from, key, options)];
        for (std::size_t way = kWays - 1; way > 0; --way) set[way] = set[way - 1];
        set[0] = Transition();
        set[0].from = from;
        set[0].key = key;
        set[0].options = options;
        return set[0];
    }

    // Its full size, holding every entry there was, oldest first so that
    // each set keeps its order.
    void grow() {
        std::vector<Transition> old(kWays << kSetBits);
        old.swap(slots_);
        set_bits_ = kSetBits;
        for (std::size_t set = 0; set < old.size(); set += kWays)
            for (std::size_t way = kWays; way-- > 0;) {
                const Transition& t = old[set + way];
                if (t.from != kUnnamedWord) insert(t.from, t.key, t.options) = t;
            }
    }

    std::vector<Transition> slots_;
    unsigned set_bits_ = kFirstSetBits;
    std::size_t pushed_out_ = 0;
    std::uint64_t next_ = kEmptyWord + 1;
};

} // namespace vanto::engine
