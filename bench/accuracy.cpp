// accuracy: types every word of the corpus in bench/data/ through the engine's
// C interface, in each typing style, and prints how many come out as written.
//
//   accuracy [--std-tone on|off] [--spell-check on|off] [--top N]
//            [--vi FILE] [--en FILE] [--lists DIR]
//
// Each word is typed into a fresh word, ended as the application ends it (the
// committed text stays on screen), and compared with the corpus spelling; a
// result that differs only in where a final oa, oe, uy carries its tone (hòa,
// hoà) counts as right, since that is the tone-style setting, not a mistake.
#include "corpus_typing.h"
#include "typing_styles.h"
#include "vanto/engine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#ifndef VANTO_BENCH_DATA
#define VANTO_BENCH_DATA "bench/data"
#endif
#ifndef VANTO_DATA_DIR
#define VANTO_DATA_DIR "data"
#endif

namespace {

using vanto::bench::EnginePtr;
using vanto::bench::Entry;
using vanto::bench::InputError;
using vanto::bench::percent;
using vanto::bench::read_counts;
using vanto::bench::Style;
using vanto::bench::type_word;

std::vector<std::u32string> read_list(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw InputError(path + ": cannot open");
    std::vector<std::u32string> out;
    std::string line;
    for (std::size_t number = 1; std::getline(in, line); ++number) {
        std::u32string w;
        if (!vanto::bench::decode_utf8(line, w))
            throw InputError(path + ":" + std::to_string(number) + ": not valid UTF-8");
        if (!w.empty()) out.push_back(std::move(w));
    }
    return out;
}

std::u32string lower_ascii(std::u32string s) {
    for (char32_t& c : s)
        if (c >= U'A' && c <= U'Z') c += 32;
    return s;
}

struct Tally {
    std::uint64_t tokens = 0, right_tokens = 0, words = 0, right_words = 0;
    void add(std::uint64_t count, bool right) {
        tokens += count;
        words += 1;
        if (right) right_tokens += count, right_words += 1;
    }
};

struct Failure {
    std::uint64_t count;
    std::u32string word, keys, got;
};

std::string u8(std::u32string_view s) {
    return vanto::bench::encode_utf8(s);
}

// Pads to a width in characters (printf pads bytes, which skews Vietnamese).
std::string padded(std::u32string_view s, std::size_t width) {
    std::string out = u8(s);
    if (s.size() < width) out.append(width - s.size(), ' ');
    return out;
}

void print_failures(const char* title, std::vector<Failure>& failures, std::size_t top) {
    std::stable_sort(failures.begin(), failures.end(),
                     [](const Failure& a, const Failure& b) { return a.count > b.count; });
    std::uint64_t tokens = 0;
    for (const Failure& f : failures) tokens += f.count;
    std::printf("\n%s: %zu words, %llu tokens wrong", title, failures.size(),
                static_cast<unsigned long long>(tokens));
    std::printf(failures.empty() ? "\n" : "; most frequent:\n");
    for (std::size_t i = 0; i < failures.size() && i < top; ++i) {
        const Failure& f = failures[i];
        std::printf("  %6llu  %s %s -> %s\n", static_cast<unsigned long long>(f.count),
                    padded(f.word, 14).c_str(), padded(f.keys, 18).c_str(), u8(f.got).c_str());
    }
}

struct Options {
    bool std_tone = true;
    bool spell_check = true;
    std::size_t top = 20;
    std::string vi = std::string(VANTO_BENCH_DATA) + "/vi_words.tsv";
    std::string en = std::string(VANTO_BENCH_DATA) + "/en_words.tsv";
    std::string lists = VANTO_DATA_DIR;
};

bool on_off(const std::string& flag, const char* value) {
    if (!std::strcmp(value, "on")) return true;
    if (!std::strcmp(value, "off")) return false;
    throw InputError(flag + " takes on or off, not '" + value + "'");
}

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--help" || flag == "-h") {
            std::printf("usage: accuracy [--std-tone on|off] [--spell-check on|off] [--top N]\n"
                        "                [--vi FILE] [--en FILE] [--lists DIR]\n");
            std::exit(0);
        }
        if (i + 1 >= argc) throw InputError(flag + ": missing value (see --help)");
        const char* value = argv[++i];
        if (flag == "--std-tone") {
            o.std_tone = on_off(flag, value);
        } else if (flag == "--spell-check") {
            o.spell_check = on_off(flag, value);
        } else if (flag == "--top") {
            char* end = nullptr;
            const long n = std::strtol(value, &end, 10);
            if (*value == '\0' || *end != '\0' || n < 0) throw InputError("--top takes a count");
            o.top = static_cast<std::size_t>(n);
        } else if (flag == "--vi") {
            o.vi = value;
        } else if (flag == "--en") {
            o.en = value;
        } else if (flag == "--lists") {
            o.lists = value;
        } else {
            throw InputError("unknown option " + flag + " (see --help)");
        }
    }
    return o;
}

// Lowercase Telex keys of every word of the engine's Vietnamese lists, in every
// Telex style: an English word among them (of: ò, this: thí) cannot stay
// English without breaking the Vietnamese word typed with the same keys.
std::set<std::u32string> telex_spellings(const std::string& lists) {
    std::set<std::u32string> out;
    for (const char* name : {"vi_strict_std_on.txt", "vi_strict_std_off.txt", "vi_extra.txt"}) {
        for (const std::u32string& w : read_list(lists + "/" + name))
            for (Style s : vanto::bench::kStyles)
                if (vanto::bench::is_telex(s))
                    out.insert(lower_ascii(vanto::bench::keys_for(w, s)));
    }
    return out;
}

void run_vietnamese(const Options& o, const std::vector<Entry>& corpus) {
    EnginePtr engine(vt_engine_new(), &vt_engine_free);
    std::uint64_t tokens = 0, single = 0;
    for (const Entry& e : corpus) {
        tokens += e.count;
        if (vanto::bench::syllable_count(e.word) == 1) single += e.count;
    }
    std::printf("Vietnamese: %s, %zu words, %llu tokens (%llu of one syllable)\n\n", o.vi.c_str(),
                corpus.size(), static_cast<unsigned long long>(tokens),
                static_cast<unsigned long long>(single));
    std::printf("| style | one-syllable tokens | one-syllable words | all tokens | all words |\n");
    std::printf("|---|---|---|---|---|\n");
    std::map<Style, std::vector<Failure>> failures;
    for (Style style : vanto::bench::kStyles) {
        vt_engine_configure(engine.get(), vanto::bench::is_telex(style), o.spell_check, o.std_tone,
                            0, 0);
        Tally one, all;
        for (const Entry& e : corpus) {
            const std::u32string keys = vanto::bench::keys_for(e.word, style);
            const std::u32string got = type_word(engine.get(), keys);
            const bool right = vanto::bench::same_word(e.word, got);
            all.add(e.count, right);
            if (vanto::bench::syllable_count(e.word) == 1) one.add(e.count, right);
            if (!right) failures[style].push_back({e.count, e.word, keys, got});
        }
        std::printf("| %s | %s | %s | %s | %s |\n", vanto::bench::style_name(style),
                    percent(one.right_tokens, one.tokens).c_str(),
                    percent(one.right_words, one.words).c_str(),
                    percent(all.right_tokens, all.tokens).c_str(),
                    percent(all.right_words, all.words).c_str());
    }
    for (Style style : vanto::bench::kStyles)
        print_failures(vanto::bench::style_name(style), failures[style], o.top);
}

void run_english(const Options& o, const std::vector<Entry>& corpus) {
    const std::set<std::u32string> telex_vi = telex_spellings(o.lists);
    EnginePtr engine(vt_engine_new(), &vt_engine_free);
    std::printf("\nEnglish typed as spelled: %s, %zu words\n\n", o.en.c_str(), corpus.size());
    std::printf("| keys | words | tokens | unchanged tokens | unchanged words |\n");
    std::printf("|---|---|---|---|---|\n");
    std::vector<Failure> outside, inside;
    for (int telex = 1; telex >= 0; --telex) {
        vt_engine_configure(engine.get(), static_cast<std::uint32_t>(telex), o.spell_check,
                            o.std_tone, 0, 0);
        Tally all, vi, rest;
        for (const Entry& e : corpus) {
            const std::u32string got = type_word(engine.get(), e.word);
            const bool right = got == e.word;
            const bool is_vi = telex && telex_vi.count(lower_ascii(e.word)) != 0;
            all.add(e.count, right);
            (is_vi ? vi : rest).add(e.count, right);
            if (telex && !right)
                (is_vi ? inside : outside).push_back({e.count, e.word, e.word, got});
        }
        auto row = [](const char* name, const Tally& t) {
            std::printf(
                "| %s | %llu | %llu | %s | %s |\n", name, static_cast<unsigned long long>(t.words),
                static_cast<unsigned long long>(t.tokens),
                percent(t.right_tokens, t.tokens).c_str(), percent(t.right_words, t.words).c_str());
        };
        if (telex) {
            row("telex, all", all);
            row("telex, Vietnamese syllables in Telex", vi);
            row("telex, the rest", rest);
        } else {
            row("vni, all", all);
        }
    }
    print_failures("English changed, outside the Telex syllables", outside, o.top);
    print_failures("English changed, Telex syllables", inside, std::min<std::size_t>(o.top, 10));
}

} // namespace

int main(int argc, char** argv) {
    try {
        const Options o = parse(argc, argv);
        const std::vector<Entry> vi = read_counts(o.vi);
        const std::vector<Entry> en = read_counts(o.en);
        std::printf("# tone style %s, spell check %s\n\n",
                    o.std_tone ? "on (hòa, thủy)" : "off (hoà, thuỷ)",
                    o.spell_check ? "on" : "off");
        run_vietnamese(o, vi);
        run_english(o, en);
        return 0;
    } catch (const InputError& e) {
        std::fprintf(stderr, "accuracy: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "accuracy: %s\n", e.what());
        return 1;
    }
}
