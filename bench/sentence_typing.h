// What the sentence benchmark needs besides the pipeline: reading the
// sentence files of bench/data/, the keys a person types for a whole
// sentence, and the word-by-word comparison of what the field shows.
#pragma once

#include "corpus_typing.h"
#include "typing_styles.h"

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace vanto::bench {

// A letter of the English or the Vietnamese alphabet; every other character
// (space, punctuation, digit) separates words.
inline bool is_word_character(char32_t c) {
    Letter ignored;
    return decompose(c, ignored);
}

// A run of word characters, or a run of the characters between them.
struct Segment {
    std::u32string text;
    bool word = false;
};

inline std::vector<Segment> segments(std::u32string_view text) {
    std::vector<Segment> out;
    for (char32_t c : text) {
        const bool word = is_word_character(c);
        if (out.empty() || out.back().word != word) out.push_back({{}, word});
        out.back().text += c;
    }
    return out;
}

inline std::vector<std::u32string> words_of(std::u32string_view text) {
    std::vector<std::u32string> out;
    for (Segment& s : segments(text))
        if (s.word) out.push_back(std::move(s.text));
    return out;
}

enum class Language : unsigned char { Vietnamese, English };

// One sentence of a file: its text, and the words typed as spelled. In an
// English sentence that is every word; in a Vietnamese one the English terms
// the file names.
struct Sentence {
    std::u32string text;
    Language language = Language::Vietnamese;
    std::vector<std::u32string> terms;

    Language language_of(std::u32string_view word) const {
        if (language == Language::English) return Language::English;
        return std::find(terms.begin(), terms.end(), word) != terms.end() ? Language::English
                                                                          : Language::Vietnamese;
    }
};

// One sentence a line. With terms, a line is "sentence<TAB>term term ...",
// and each term must be a word of its sentence: a file that says otherwise
// was not written by the corpus script and would score the wrong words.
inline std::vector<Sentence> read_sentences(const std::string& path, Language language,
                                            bool terms) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw InputError(path + ": cannot open");
    std::vector<Sentence> out;
    std::string line;
    for (std::size_t number = 1; std::getline(in, line); ++number) {
        auto fail = [&](const std::string& why) {
            throw InputError(path + ":" + std::to_string(number) + ": " + why);
        };
        Sentence s;
        s.language = language;
        std::u32string all;
        if (!decode_utf8(line, all)) fail("not valid UTF-8");
        const std::size_t tab = all.find(U'\t');
        if (terms != (tab != std::u32string::npos))
            fail(terms ? "expected sentence<TAB>terms" : "a tab in a sentence");
        s.text = all.substr(0, tab);
        if (terms) {
            const std::vector<std::u32string> words = words_of(s.text);
            for (const Segment& t : segments(std::u32string_view(all).substr(tab + 1))) {
                if (!t.word) {
                    if (t.text.find_first_not_of(U' ') != std::u32string::npos)
                        fail("terms are words separated by spaces");
                    continue;
                }
                if (std::find(words.begin(), words.end(), t.text) == words.end())
                    fail("term '" + encode_utf8(t.text) + "' is not a word of the sentence");
                s.terms.push_back(t.text);
            }
            if (s.terms.empty()) fail("no terms");
        }
        if (words_of(s.text).empty()) fail("no words");
        out.push_back(std::move(s));
    }
    if (out.empty()) throw InputError(path + ": no sentences");
    return out;
}

// The keys for a whole sentence: Vietnamese words in the style, English words
// as spelled, everything between them as it is written.
inline std::u32string sentence_keys(const Sentence& s, Style style) {
    std::u32string out;
    for (const Segment& seg : segments(s.text)) {
        if (seg.word && s.language_of(seg.text) == Language::Vietnamese)
            out += keys_for(seg.text, style);
        else
            out += seg.text;
    }
    return out;
}

// The words of a sentence beside what the field shows for each.
struct WordResult {
    std::u32string written, got;
    Language language = Language::Vietnamese;
    bool right = false;
};

// Pairs the words of the sentence with those of the field in order. A field
// with another number of words (a separator lost or a word split) cannot be
// paired: every word of the sentence counts as wrong, and got is empty.
inline std::vector<WordResult> score_sentence(const Sentence& s, std::u32string_view field,
                                              bool& paired) {
    std::vector<std::u32string> written = words_of(s.text);
    std::vector<std::u32string> shown = words_of(field);
    paired = shown.size() == written.size();
    std::vector<WordResult> out;
    out.reserve(written.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
        WordResult r;
        r.language = s.language_of(written[i]);
        if (paired) {
            r.got = std::move(shown[i]);
            // Only a Vietnamese word has a tone style; an English word must come
            // back as typed.
            r.right = r.language == Language::Vietnamese ? same_word(written[i], r.got)
                                                         : r.got == written[i];
        }
        r.written = std::move(written[i]);
        out.push_back(std::move(r));
    }
    return out;
}

} // namespace vanto::bench
