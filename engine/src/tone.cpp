// Tone placement and the committed text. Where a tone sits is never computed
// by a hand-written rule: when a letter is appended after a tone was placed,
// the tone is lifted and re-applied to the longer word, and the dictionary of
// the chosen tone style says which position makes a word ("hòa" + n: "hoàn").
#include "compose.h"

namespace vanto::engine {

Candidate append_candidate(const Engine& e, char32_t key, TextView word) {
    Candidate plain;
    plain.text.assign(word);
    plain.text += key;
    if (word.size() >= kLookupLimit) return plain;
    plain.score = score_of(e, plain.text);
    if (plain.score == ENTRY) return plain;

    // Only the first modified letter is lifted, and re-applied with its own key.
    std::size_t at = 0;
    const Decomposition* d = nullptr;
    for (; at < plain.text.size(); ++at)
        if ((d = e.rules->decomposition(plain.text[at]))) break;
    if (!d) return plain;
    InlineText lifted = plain.text;
    lifted[at] = d->letter;

    MaybeCandidate proposal = seq_candidate(e, d->key, lifted);
    if (!proposal || proposal->score != ENTRY) {
        MaybeCandidate by_char = char_candidate(e, d->key, lifted);
        if (by_char && by_char->score != NO_PATH && better(*by_char, proposal))
            proposal = std::move(by_char);
    }
    if (proposal && proposal->score > plain.score) {
        // Into plain, so that every return gives back the same object and none
        // is copied out.
        plain = *proposal;
        plain.reapplied = true;
    }
    return plain;
}

MaybeCandidate with_tone_moved(const Engine& e, const Candidate& c) {
    if (c.score == ENTRY) return std::nullopt;
    for (std::size_t at = 0; at < c.text.size(); ++at) {
        const Decomposition* d = e.rules->decomposition(c.text[at]);
        if (!d || d->key == U'w') continue;
        InlineText lifted = c.text;
        lifted[at] = d->letter;
        MaybeCandidate moved = char_candidate(e, d->key, lifted);
        if (!moved || moved->score <= c.score) return std::nullopt;
        moved->secondary = c.secondary;
        moved->reverted = c.reverted;
        return moved;
    }
    return std::nullopt;
}

Decomposed decompose(const Engine& e, char32_t c) {
    const char32_t lower = to_lower(c);
    Decomposed out{lower, Mark::None, 0};
    char32_t letter = lower;
    if (const Decomposition* d = e.rules->decomposition(lower)) {
        if (d->key != U'w') {
            out.tone = d->key;
            letter = d->letter;
        }
    }
    switch (letter) {
    case U'â':
        out = {U'a', Mark::Circumflex, out.tone};
        break;
    case U'ê':
        out = {U'e', Mark::Circumflex, out.tone};
        break;
    case U'ô':
        out = {U'o', Mark::Circumflex, out.tone};
        break;
    case U'ă':
        out = {U'a', Mark::Breve, out.tone};
        break;
    case U'ơ':
        out = {U'o', Mark::Horn, out.tone};
        break;
    case U'ư':
        out = {U'u', Mark::Horn, out.tone};
        break;
    case U'đ':
        out = {U'd', Mark::Stroke, out.tone};
        break;
    default:
        out.base = letter;
        break;
    }
    if (lower != c) out.base = to_upper(out.base);
    return out;
}

bool is_elongated_word(const Engine& e, TextView text) {
    if (text.size() < 2) return false;
    // The run of trailing letters that repeat the base letter before them.
    std::size_t run_start = 1;
    for (std::size_t i = text.size() - 1; i >= 1; --i) {
        const bool repeats = is_ascii_letter(text[i]) &&
                             to_lower(text[i]) == to_lower(decompose(e, text[i - 1]).base);
        if (!repeats) {
            run_start = i + 1;
            break;
        }
    }
    if (run_start >= text.size()) return false;
    return score_of(e, text.substr(0, run_start)) == ENTRY;
}

bool retypes_to_itself(const Engine& e, TextView text) {
    // One scratch engine per thread, kept so that its lists keep their room:
    // a fresh one allocates for every key it types. Nothing it does calls back
    // in here, and different threads use different handles.
    thread_local Engine scratch;
    scratch.state.clear();
    scratch.trie = e.trie;
    scratch.telex = e.telex;
    scratch.loaded_spell_check = e.loaded_spell_check;
    scratch.loaded_std_tone = e.loaded_std_tone;
    scratch.spell_check = e.spell_check;
    scratch.telex_w = e.telex_w;
    scratch.telex_z = e.telex_z;
    for (char32_t c : text) add_key(scratch, c);
    return scratch.state.result() == text;
}

const Text& commit_result(const Engine& e) {
    const State& s = e.state;
    const Text& current = s.result();
    if (e.spell_check && !s.last_is_word()) {
        if (has_tone_char(e)) return is_elongated_word(e, current) ? current : s.raw;
        // A word in which a repeat-undo or a give-up happened ends as its
        // keys when those keys are English.
        if (s.last_reverted() && is_english_word(s.raw, e.lookups.english) &&
            (!is_english_word(current, e.lookups.english) || retypes_to_itself(e, current)))
            return s.raw;
    }
    return current;
}

} // namespace vanto::engine
