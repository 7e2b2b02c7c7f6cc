// Candidate procedures shared by key composition, tone placement and deletion.
#pragma once

#include "engine_state.h"

#include <optional>

namespace vanto::engine {

// The dictionary holds no word this long; longer words are not looked up.
constexpr std::size_t kLookupLimit = 15;

// One proposed form of the word after a key.
struct Candidate {
    InlineText text;
    bool secondary = false; // from a switch or sequence rule
    bool reverted = false;  // from a repeat-undo
    bool reapplied = false; // a tone or mark moved while appending
    std::uint8_t score = 0; // 0 nothing, 1 prefix, 2 repeat-undo, 3 word
};

using MaybeCandidate = std::optional<Candidate>;

// Higher score wins; on equal scores the shorter text; otherwise the earlier.
bool better(const Candidate& c, const Candidate& best);
bool better(const Candidate& c, const MaybeCandidate& best);

// How good a spelling is in the engine's word trie: 0, 1 or 3.
inline std::uint8_t score_of(const Engine& e, TextView text) {
    return e.lookups.word.lookup(*e.trie, text, WORD, false);
}

MaybeCandidate seq_candidate(const Engine& e, char32_t key, TextView word);
MaybeCandidate char_candidate(const Engine& e, char32_t key, TextView word);
MaybeCandidate repeat_undo_candidate(const Engine& e, char32_t key, TextView word);
Candidate append_candidate(const Engine& e, char32_t key, TextView word);

// c with its tone lifted and put where the dictionary wants it, when that
// scores better than c; nothing otherwise. A tone typed before the vowels were
// complete (chusaan, cho1a8n) moves when a mark changes them.
MaybeCandidate with_tone_moved(const Engine& e, const Candidate& c);

enum class Mark : std::uint8_t { None, Circumflex, Breve, Horn, Stroke };

struct Decomposed {
    char32_t base; // the letter without tone or mark, in the case of the input
    Mark mark;
    char32_t tone; // s f r x j, or 0
};

Decomposed decompose(const Engine& e, char32_t c);
// Whether the word holds a letter with a Vietnamese diacritic.
inline bool has_tone_char(const Engine& e) {
    return e.state.results.last_has_marked();
}
bool is_elongated_word(const Engine& e, TextView text);
bool retypes_to_itself(const Engine& e, TextView text);

// Key with bit 5 cleared when it is an ASCII letter: w and W both give W.
inline char32_t key_upper(char32_t k) {
    return is_ascii_letter(k) ? (k & ~char32_t{0x20}) : k;
}

inline bool is_digit(char32_t k) {
    return k >= U'0' && k <= U'9';
}

} // namespace vanto::engine
