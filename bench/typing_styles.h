// The keys a person types for a written Vietnamese word, in the common Telex
// and VNI habits. The benchmark feeds these keys to the engine and expects the
// word back, so the generator must not borrow anything from the engine: it
// knows only the letters and the habits.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vanto::bench {

enum class Style : std::uint8_t {
    TelexToneLast,       // tiếng: tieengs, được: dduwowcj
    TelexToneAfterVowel, // tiếng: tieesng
    TelexWAfterPair,     // được: dduowcj (one w after the uo of ươ)
    TelexMarksLast,      // tiếng: tienges, được: duocdwj
    Vni,                 // tiếng: tie6ng1, được: d9u7o7c5
};

constexpr std::array<Style, 5> kStyles = {Style::TelexToneLast, Style::TelexToneAfterVowel,
                                          Style::TelexWAfterPair, Style::TelexMarksLast,
                                          Style::Vni};

inline const char* style_name(Style s) {
    switch (s) {
    case Style::TelexToneLast:
        return "telex, tone last";
    case Style::TelexToneAfterVowel:
        return "telex, tone after vowel";
    case Style::TelexWAfterPair:
        return "telex, w after uo";
    case Style::TelexMarksLast:
        return "telex, marks last";
    case Style::Vni:
        return "vni";
    }
    return "?";
}

inline bool is_telex(Style s) {
    return s != Style::Vni;
}

// ------------------------------------------------------------------ letters

enum class Mark : std::uint8_t { None, Circumflex, Breve, Horn, Stroke };

struct Letter {
    char32_t base = 0; // ASCII letter, in the case written
    Mark mark = Mark::None;
    int tone = 0; // 0 level, 1 acute, 2 grave, 3 hook, 4 tilde, 5 dot
    bool upper = false;
};

namespace detail {

// Position i of each series is vowel i of kVowels with that tone.
inline constexpr std::u32string_view kVowels = U"aăâeêioôơuưy";
inline constexpr std::u32string_view kToned[6] = {
    U"aăâeêioôơuưy", U"áắấéếíóốớúứý", U"àằầèềìòồờùừỳ",
    U"ảẳẩẻểỉỏổởủửỷ", U"ãẵẫẽễĩõỗỡũữỹ", U"ạặậẹệịọộợụựỵ",
};
inline constexpr std::u32string_view kVowelsUpper = U"AĂÂEÊIOÔƠUƯY";
inline constexpr std::u32string_view kTonedUpper[6] = {
    U"AĂÂEÊIOÔƠUƯY", U"ÁẮẤÉẾÍÓỐỚÚỨÝ", U"ÀẰẦÈỀÌÒỒỜÙỪỲ",
    U"ẢẲẨẺỂỈỎỔỞỦỬỶ", U"ÃẴẪẼỄĨÕỖỠŨỮỸ", U"ẠẶẬẸỆỊỌỘỢỤỰỴ",
};
inline constexpr char kVowelBase[] = "aaaeeiooouuy";
inline constexpr Mark kVowelMark[] = {
    Mark::None, Mark::Breve,      Mark::Circumflex, Mark::None, Mark::Circumflex, Mark::None,
    Mark::None, Mark::Circumflex, Mark::Horn,       Mark::None, Mark::Horn,       Mark::None};
inline constexpr char kTelexTone[] = " sfrxj";

inline char32_t to_upper_ascii(char32_t c) {
    return (c >= U'a' && c <= U'z') ? c - 32 : c;
}
inline char32_t to_lower_ascii(char32_t c) {
    return (c >= U'A' && c <= U'Z') ? c + 32 : c;
}

inline bool is_vowel_base(char32_t c) {
    c = to_lower_ascii(c);
    return c == U'a' || c == U'e' || c == U'i' || c == U'o' || c == U'u' || c == U'y';
}

} // namespace detail

// The letter behind c; false for a character that is no letter of the
// Vietnamese or the English alphabet.
inline bool decompose(char32_t c, Letter& out) {
    using namespace detail;
    if ((c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z')) {
        out = {c, Mark::None, 0, c <= U'Z'};
        return true;
    }
    if (c == U'đ' || c == U'Đ') {
        out = {c == U'Đ' ? U'D' : U'd', Mark::Stroke, 0, c == U'Đ'};
        return true;
    }
    for (int tone = 0; tone < 6; ++tone) {
        for (int upper = 0; upper < 2; ++upper) {
            const std::size_t at = (upper ? kTonedUpper : kToned)[tone].find(c);
            if (at == std::u32string_view::npos) continue;
            char32_t base = static_cast<char32_t>(kVowelBase[at]);
            if (upper) base = to_upper_ascii(base);
            out = {base, kVowelMark[at], tone, upper == 1};
            return true;
        }
    }
    return false;
}

// ------------------------------------------------------------------ syllables

// Splits letters into syllables at the consonants between vowel groups: the
// next syllable takes the longest onset that leaves a coda Vietnamese writes
// (côngtắc: công|tắc, kilômét: ki|lô|mét). A word without a vowel is one piece.
inline std::vector<std::size_t> syllable_starts(const std::vector<Letter>& w) {
    using detail::is_vowel_base;
    std::vector<std::size_t> starts{0};
    auto lower_run = [&](std::size_t from, std::size_t to) {
        std::string s;
        for (std::size_t i = from; i < to; ++i) {
            const char32_t b = detail::to_lower_ascii(w[i].base);
            s += w[i].mark == Mark::Stroke ? 'D' : static_cast<char>(b); // D stands for đ
        }
        return s;
    };
    static constexpr std::string_view kCodas[] = {"", "c", "ch", "m", "n", "ng", "nh", "p", "t"};
    static constexpr std::string_view kOnsets[] = {
        "ngh", "ng", "nh", "ch", "gh", "kh", "ph", "th", "tr", "b", "c", "d", "D",
        "g",   "h",  "k",  "l",  "m",  "n",  "p",  "q",  "r",  "s", "t", "v", "x"};
    std::size_t i = 0;
    while (i < w.size() && !is_vowel_base(w[i].base)) ++i;
    while (i < w.size() && is_vowel_base(w[i].base)) ++i;
    while (i < w.size()) {
        const std::size_t cluster = i;
        while (i < w.size() && !is_vowel_base(w[i].base)) ++i;
        if (i == w.size()) break; // trailing consonants are the coda
        const std::string c = lower_run(cluster, i);
        std::size_t split = cluster; // default: the whole cluster is the onset
        for (std::string_view onset : kOnsets) {
            if (onset.size() > c.size() ||
                c.compare(c.size() - onset.size(), onset.size(), onset) != 0)
                continue;
            const std::string_view coda(c.data(), c.size() - onset.size());
            bool ok = false;
            for (std::string_view k : kCodas) ok = ok || k == coda;
            if (ok) {
                split = i - onset.size();
                break;
            }
        }
        starts.push_back(split);
        while (i < w.size() && is_vowel_base(w[i].base)) ++i;
    }
    return starts;
}

// ------------------------------------------------------------------ keys

namespace detail {

// A mark key keeps the case of its letter only in a word typed with caps lock:
// "Việt" is typed Vieejt, "VIỆT" VIEEJT.
inline char32_t keyed(char key, bool caps) {
    return caps ? to_upper_ascii(static_cast<char32_t>(key)) : static_cast<char32_t>(key);
}

inline std::u32string telex_mark_keys(const Letter& l, bool caps) {
    switch (l.mark) {
    case Mark::Circumflex:
    case Mark::Stroke:
        return std::u32string(1, keyed(static_cast<char>(to_lower_ascii(l.base)), caps));
    case Mark::Breve:
    case Mark::Horn:
        return std::u32string(1, keyed('w', caps));
    case Mark::None:
        break;
    }
    return {};
}

inline char32_t vni_mark_key(Mark m) {
    switch (m) {
    case Mark::Circumflex:
        return U'6';
    case Mark::Horn:
        return U'7';
    case Mark::Breve:
        return U'8';
    case Mark::Stroke:
        return U'9';
    case Mark::None:
        break;
    }
    return 0;
}

// Which key a mark takes: letters that compete for the same key.
inline char mark_key_class(const Letter& l) {
    switch (l.mark) {
    case Mark::Breve:
    case Mark::Horn:
        return 'w';
    case Mark::Circumflex:
    case Mark::Stroke:
        return static_cast<char>(to_lower_ascii(l.base));
    case Mark::None:
        break;
    }
    return 0;
}

// Whether the unmarked letter could also take the key: w marks a, o, u; a
// doubled letter marks its own kind; d marks d.
inline bool takes_key(const Letter& l, char key) {
    const char b = static_cast<char>(to_lower_ascii(l.base));
    if (key == 'w') return b == 'a' || b == 'o' || b == 'u';
    return b == key;
}

// One syllable, from..to, in the style; caps: the word is typed in capitals.
inline void syllable_keys(const std::vector<Letter>& w, std::size_t from, std::size_t to,
                          Style style, bool caps, std::u32string& out) {
    int tone = 0;
    std::size_t toned = to;
    for (std::size_t i = from; i < to; ++i)
        if (w[i].tone) tone = w[i].tone, toned = i;
    auto tone_key = [&]() -> char32_t {
        return style == Style::Vni ? static_cast<char32_t>(U'0' + tone)
                                   : keyed(kTelexTone[tone], caps);
    };
    // The u of qu belongs to the onset: no mark key ever goes to it.
    const bool qu = to - from >= 2 && to_lower_ascii(w[from].base) == U'q';
    auto is_pair = [&](std::size_t i) { // ư followed by ơ
        return i + 1 < to && w[i].mark == Mark::Horn && w[i + 1].mark == Mark::Horn &&
               to_lower_ascii(w[i].base) == U'u' && to_lower_ascii(w[i + 1].base) == U'o';
    };

    // In Telex a second a, e, o or d right after the same plain letter is the
    // mark key; a person who means the plain pair (xoong, boóc) types the
    // letter once more, which takes the mark back.
    auto plain_letter = [&](std::size_t i) {
        out += w[i].base;
        if (style == Style::Vni || i == 0 || w[i].mark != Mark::None || w[i - 1].mark != Mark::None)
            return;
        const char32_t b = to_lower_ascii(w[i].base);
        if ((b == U'a' || b == U'e' || b == U'o' || b == U'd') &&
            to_lower_ascii(w[i - 1].base) == b)
            out += w[i].base;
    };

    if (style == Style::TelexMarksLast) {
        // Each mark key after the letters, when no other letter of the
        // syllable could take the same key; ươ and oă are one target each,
        // as Telex types them with one w.
        std::vector<bool> deferred(to - from, false);
        for (std::size_t i = from; i < to; ++i) {
            const char key = mark_key_class(w[i]);
            if (!key) continue;
            const bool pair_second = i > from && is_pair(i - 1);
            if (pair_second) {
                deferred[i - from] = deferred[i - 1 - from];
                continue;
            }
            const bool oa = key == 'w' && w[i].mark == Mark::Breve && i > from &&
                            to_lower_ascii(w[i - 1].base) == U'o' && w[i - 1].mark == Mark::None;
            bool alone = true;
            for (std::size_t j = from; j < to; ++j) {
                if (j == i || (is_pair(i) && j == i + 1) || (oa && j == i - 1)) continue;
                if (qu && j == from + 1) continue;
                if (takes_key(w[j], key)) alone = false;
            }
            deferred[i - from] = alone;
        }
        std::u32string tail;
        for (std::size_t i = from; i < to; ++i) {
            plain_letter(i);
            if (!deferred[i - from]) {
                out += telex_mark_keys(w[i], caps);
            } else if (!(i > from && is_pair(i - 1))) {
                tail += telex_mark_keys(w[i], caps);
            }
        }
        out += tail;
        if (tone) out += tone_key();
        return;
    }

    for (std::size_t i = from; i < to; ++i) {
        plain_letter(i);
        if (style == Style::Vni) {
            if (const char32_t k = vni_mark_key(w[i].mark)) out += k;
        } else if (style == Style::TelexWAfterPair && is_pair(i)) {
            out += w[i + 1].base;
            out += keyed('w', caps);
            ++i;
        } else {
            out += telex_mark_keys(w[i], caps);
        }
        if (style == Style::TelexToneAfterVowel && tone && i == toned) out += tone_key();
    }
    if (tone && style != Style::TelexToneAfterVowel) out += tone_key();
}

} // namespace detail

// The keys for word in the style. Characters that are neither Vietnamese nor
// English letters are typed as they are.
inline std::u32string keys_for(std::u32string_view word, Style style) {
    std::vector<Letter> letters;
    letters.reserve(word.size());
    std::size_t upper = 0;
    for (char32_t c : word) {
        Letter l;
        if (!decompose(c, l)) {
            // Not a letter: the word is typed key by key, unchanged.
            return std::u32string(word);
        }
        upper += l.upper;
        letters.push_back(l);
    }
    // Caps lock is on for a word of capitals (two or more), not for a capital
    // first letter.
    const bool caps = upper >= 2 || (letters.size() == 1 && upper == 1);
    std::u32string out;
    const std::vector<std::size_t> starts = syllable_starts(letters);
    for (std::size_t s = 0; s < starts.size(); ++s) {
        const std::size_t end = s + 1 < starts.size() ? starts[s + 1] : letters.size();
        detail::syllable_keys(letters, starts[s], end, style, caps, out);
    }
    return out;
}

// Number of syllables of a word (vowel groups); 0 for an abbreviation.
inline std::size_t syllable_count(std::u32string_view word) {
    std::vector<Letter> letters;
    for (char32_t c : word) {
        Letter l;
        if (!decompose(c, l)) return 0;
        letters.push_back(l);
    }
    bool any_vowel = false;
    for (const Letter& l : letters) any_vowel = any_vowel || detail::is_vowel_base(l.base);
    return any_vowel ? syllable_starts(letters).size() : 0;
}

// The same word with the tone of a final oa, oe, uy on the other vowel
// (hòa and hoà), or the word itself when it has no such ending. Run-together
// words are looked at syllable by syllable.
inline std::u32string other_tone_style(std::u32string_view word) {
    std::vector<Letter> letters;
    for (char32_t c : word) {
        Letter l;
        if (!decompose(c, l)) return std::u32string(word);
        letters.push_back(l);
    }
    const std::vector<std::size_t> starts = syllable_starts(letters);
    for (std::size_t s = 0; s < starts.size(); ++s) {
        const std::size_t from = starts[s];
        const std::size_t to = s + 1 < starts.size() ? starts[s + 1] : letters.size();
        if (to - from < 2) continue;
        Letter& a = letters[to - 2];
        Letter& b = letters[to - 1];
        const char32_t x = detail::to_lower_ascii(a.base), y = detail::to_lower_ascii(b.base);
        const bool pair = a.mark == Mark::None && b.mark == Mark::None &&
                          ((x == U'o' && (y == U'a' || y == U'e')) || (x == U'u' && y == U'y'));
        // In qu + y the u belongs to the onset: quý has one place only.
        const bool after_q = to - 2 > from && detail::to_lower_ascii(letters[to - 3].base) == U'q';
        if (!pair || after_q || (a.tone == 0) == (b.tone == 0)) continue;
        std::swap(a.tone, b.tone);
    }
    std::u32string out;
    for (const Letter& l : letters) {
        const std::u32string_view vowels = l.upper ? detail::kVowelsUpper : detail::kVowels;
        char32_t c = l.base;
        if (l.mark == Mark::Stroke) {
            c = l.upper ? U'Đ' : U'đ';
        } else if (detail::is_vowel_base(l.base)) {
            // Find the vowel with this base and mark, then its toned form.
            for (std::size_t i = 0; i < vowels.size(); ++i) {
                if (static_cast<char32_t>(detail::kVowelBase[i]) ==
                        detail::to_lower_ascii(l.base) &&
                    detail::kVowelMark[i] == l.mark) {
                    c = (l.upper ? detail::kTonedUpper : detail::kToned)[l.tone][i];
                    break;
                }
            }
        }
        out += c;
    }
    return out;
}

// Whether got is the written word: the same, or different only in where a
// final oa, oe, uy carries its tone, which is the tone-style setting, not a
// mistake.
inline bool same_word(std::u32string_view written, std::u32string_view got) {
    return got == written || got == other_tone_style(written);
}

// ------------------------------------------------------------------ UTF-8

// Decodes UTF-8; false on a malformed, overlong or surrogate sequence.
inline bool decode_utf8(std::string_view s, std::u32string& out) {
    out.clear();
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        int extra;
        char32_t c;
        if (b < 0x80) {
            extra = 0, c = b;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1, c = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, c = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, c = b & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto cb = static_cast<unsigned char>(s[i + k]);
            if ((cb & 0xC0) != 0x80) return false;
            c = (c << 6) | (cb & 0x3F);
        }
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        out += c;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

inline std::string encode_utf8(std::u32string_view s) {
    std::string out;
    for (char32_t c : s) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace vanto::bench
