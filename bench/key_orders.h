// The orders in which typists put the tone and mark keys of one syllable. The
// key-order table types every syllable of the word lists in each of them; like
// typing_styles.h the generator knows only the letters, nothing of the engine.
#pragma once

#include "typing_styles.h"

namespace vanto::bench {

enum class KeyOrder : std::uint8_t {
    ToneLast,            // tiếng: tieengs   xuất: xuaats
    ToneAfterItsVowel,   // tiếng: tieesng   xuất: xuaast
    ToneAfterFirstVowel, // tiếng: tiseeng   xuất: xusaat
    MarksAndToneLast,    // tiếng: tienges   được: duocdwj
    ToneThenMarksLast,   // tiếng: tiengse   được: duocjdw
};

constexpr std::array<KeyOrder, 5> kKeyOrders = {
    KeyOrder::ToneLast, KeyOrder::ToneAfterItsVowel, KeyOrder::ToneAfterFirstVowel,
    KeyOrder::MarksAndToneLast, KeyOrder::ToneThenMarksLast};

inline const char* key_order_name(KeyOrder o) {
    switch (o) {
    case KeyOrder::ToneLast:
        return "tone last";
    case KeyOrder::ToneAfterItsVowel:
        return "tone right after its vowel";
    case KeyOrder::ToneAfterFirstVowel:
        return "tone right after the first vowel letter";
    case KeyOrder::MarksAndToneLast:
        return "marks and tone after the word";
    case KeyOrder::ToneThenMarksLast:
        return "tone, then marks, after the word";
    }
    return "?";
}

namespace detail {

// Where the vowels of a syllable start: the u of qu and the i of gi before
// another vowel belong to the onset.
inline std::size_t nucleus_start(const std::vector<Letter>& w, std::size_t from, std::size_t to) {
    std::size_t i = from;
    while (i < to && !is_vowel_base(w[i].base)) ++i;
    if (i > from && i + 1 < to && is_vowel_base(w[i + 1].base)) {
        const char32_t onset = to_lower_ascii(w[i - 1].base);
        const char32_t v = to_lower_ascii(w[i].base);
        if ((onset == U'q' && v == U'u') ||
            (onset == U'g' && i - 1 == from && v == U'i' && w[i].mark == Mark::None))
            ++i;
    }
    return i;
}

inline void ordered_syllable_keys(const std::vector<Letter>& w, std::size_t from, std::size_t to,
                                  KeyOrder order, bool telex, bool caps, std::u32string& out) {
    int tone = 0;
    std::size_t toned = to;
    for (std::size_t i = from; i < to; ++i)
        if (w[i].tone) tone = w[i].tone, toned = i;
    const char32_t tone_key = !tone   ? 0
                              : telex ? keyed(kTelexTone[tone], caps)
                                      : static_cast<char32_t>(U'0' + tone);
    std::size_t tone_at = to; // the tone key follows this letter; to: after the syllable
    if (order == KeyOrder::ToneAfterItsVowel) tone_at = toned;
    if (order == KeyOrder::ToneAfterFirstVowel && tone) tone_at = nucleus_start(w, from, to);
    const bool marks_last =
        order == KeyOrder::MarksAndToneLast || order == KeyOrder::ToneThenMarksLast;
    auto is_pair = [&](std::size_t i) { // ư followed by ơ: one key after the word marks both
        return i + 1 < to && w[i].mark == Mark::Horn && w[i + 1].mark == Mark::Horn &&
               to_lower_ascii(w[i].base) == U'u' && to_lower_ascii(w[i + 1].base) == U'o';
    };
    auto mark_keys = [&](const Letter& l) {
        if (!telex) {
            const char32_t k = vni_mark_key(l.mark);
            return k ? std::u32string(1, k) : std::u32string();
        }
        return telex_mark_keys(l, caps);
    };

    std::u32string marks;
    for (std::size_t i = from; i < to; ++i) {
        out += w[i].base;
        // In Telex a plain a, e, o or d after the same plain letter would be
        // its mark key; the typist types it once more.
        if (telex && i > from && w[i].mark == Mark::None && w[i - 1].mark == Mark::None) {
            const char32_t b = to_lower_ascii(w[i].base);
            if ((b == U'a' || b == U'e' || b == U'o' || b == U'd') &&
                to_lower_ascii(w[i - 1].base) == b)
                out += w[i].base;
        }
        if (!marks_last)
            out += mark_keys(w[i]);
        else if (!(i > from && is_pair(i - 1)))
            marks += mark_keys(w[i]);
        if (i == tone_at) out += tone_key;
    }
    if (tone && tone_at == to && order == KeyOrder::ToneThenMarksLast) out += tone_key;
    out += marks;
    if (tone && tone_at == to && order != KeyOrder::ToneThenMarksLast) out += tone_key;
}

} // namespace detail

namespace detail {

// One syllable with its ươ typed as uô (or uô as ươ, ă as â, â as ă) and the
// other pair's key typed after the syllable to correct it, then the tone.
// False when the syllable has none of these.
inline bool corrected_syllable_keys(const std::vector<Letter>& w, std::size_t from, std::size_t to,
                                    bool telex, bool caps, std::u32string& out) {
    auto lower = [&](std::size_t i) { return to_lower_ascii(w[i].base); };
    std::size_t at = to;
    for (std::size_t i = from; i < to && at == to; ++i) {
        const bool uo = i + 1 < to && lower(i) == U'u' && lower(i + 1) == U'o' &&
                        ((w[i].mark == Mark::Horn && w[i + 1].mark == Mark::Horn) ||
                         (w[i].mark == Mark::None && w[i + 1].mark == Mark::Circumflex));
        const bool a =
            lower(i) == U'a' && (w[i].mark == Mark::Breve || w[i].mark == Mark::Circumflex);
        if (uo || a) at = i;
    }
    if (at == to) return false;
    int tone = 0;
    for (std::size_t i = from; i < to; ++i)
        if (w[i].tone) tone = w[i].tone;
    const bool pair = lower(at) == U'u';
    const Mark wanted = w[pair ? at + 1 : at].mark;
    auto key = [&](char telex_key, char vni_key) {
        return keyed(telex ? telex_key : vni_key, caps);
    };
    std::u32string wrong, fix;
    if (pair && wanted == Mark::Horn) {
        wrong = {w[at].base, w[at + 1].base, telex ? w[at + 1].base : keyed('6', false)};
        fix = {key('w', '7')};
    } else if (pair) {
        wrong = {w[at].base, w[at + 1].base, key('w', '7')};
        fix = {telex ? w[at + 1].base : keyed('6', false)};
    } else if (wanted == Mark::Breve) {
        wrong = {w[at].base, telex ? w[at].base : keyed('6', false)};
        fix = {key('w', '8')};
    } else {
        wrong = {w[at].base, key('w', '8')};
        fix = {telex ? w[at].base : keyed('6', false)};
    }
    for (std::size_t i = from; i < to; ++i) {
        if (i == at) {
            out += wrong;
            if (pair) ++i;
            continue;
        }
        out += w[i].base;
        if (telex) {
            out += telex_mark_keys(w[i], caps);
        } else if (const char32_t k = vni_mark_key(w[i].mark)) {
            out += k;
        }
    }
    out += fix;
    if (tone) out += telex ? keyed(kTelexTone[tone], caps) : static_cast<char32_t>(U'0' + tone);
    return true;
}

} // namespace detail

// The keys of word with the wrong pair of marks typed and corrected after the
// syllable (muốn: muownos, thương: thuoongw, căn: caanw, VNI ca6n8); empty when
// no syllable of the word has ươ, uô, ă or â.
inline std::u32string keys_with_wrong_pair(std::u32string_view word, bool telex) {
    std::vector<Letter> letters;
    std::size_t upper = 0;
    for (char32_t c : word) {
        Letter l;
        if (!decompose(c, l)) return {};
        upper += l.upper;
        letters.push_back(l);
    }
    const bool caps = upper >= 2 || (letters.size() == 1 && upper == 1);
    std::u32string out;
    bool any = false;
    const std::vector<std::size_t> starts = syllable_starts(letters);
    for (std::size_t s = 0; s < starts.size(); ++s) {
        const std::size_t end = s + 1 < starts.size() ? starts[s + 1] : letters.size();
        if (detail::corrected_syllable_keys(letters, starts[s], end, telex, caps, out)) {
            any = true;
        } else {
            detail::ordered_syllable_keys(letters, starts[s], end, KeyOrder::ToneLast, telex, caps,
                                          out);
        }
    }
    return any ? out : std::u32string();
}

// The keys of word in the order, Telex or VNI; run-together syllables each get
// their own keys. Characters that are no letters are typed as they are.
inline std::u32string keys_in_order(std::u32string_view word, KeyOrder order, bool telex) {
    std::vector<Letter> letters;
    std::size_t upper = 0;
    for (char32_t c : word) {
        Letter l;
        if (!decompose(c, l)) return std::u32string(word);
        upper += l.upper;
        letters.push_back(l);
    }
    const bool caps = upper >= 2 || (letters.size() == 1 && upper == 1);
    std::u32string out;
    const std::vector<std::size_t> starts = syllable_starts(letters);
    for (std::size_t s = 0; s < starts.size(); ++s) {
        const std::size_t end = s + 1 < starts.size() ? starts[s + 1] : letters.size();
        detail::ordered_syllable_keys(letters, starts[s], end, order, telex, caps, out);
    }
    return out;
}

} // namespace vanto::bench
