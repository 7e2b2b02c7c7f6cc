// syllable_coverage: whether every syllable that a source attests can be
// typed, and which English words the syllables attested nowhere take.
//
//   syllable_coverage [--top N] [--sources FILE] [--en FILE]
//
// The sources file (bench/data/vi_sources.tsv, written by
// tools/wordlists/derive.py) holds "syllable<TAB>source,source" lines. Each
// syllable is typed in each style into a fresh word, for both tone styles and
// both spell-check settings, and counts as typed when the committed text is the
// syllable (either tone place of a final oa, oe, uy). Then every word of the
// English corpus is typed as spelled in Telex with the spell check on; a word
// whose result carries a diacritic and is attested by no source was captured
// by a syllable the lists invented.
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

namespace {

using vanto::bench::EnginePtr;
using vanto::bench::Entry;
using vanto::bench::InputError;
using vanto::bench::percent;
using vanto::bench::Style;
using vanto::bench::type_word;

struct Syllable {
    std::u32string word;
    std::string sources; // comma-separated
};

// "syllable<TAB>source,source" lines, as tools/wordlists/derive.py writes them.
std::vector<Syllable> read_sources(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw InputError(path + ": cannot open");
    std::vector<Syllable> out;
    std::string line;
    for (std::size_t number = 1; std::getline(in, line); ++number) {
        const std::size_t tab = line.find('\t');
        Syllable syl;
        if (tab == std::string::npos || tab == 0 || tab + 1 == line.size() ||
            !vanto::bench::decode_utf8(std::string_view(line).substr(0, tab), syl.word))
            throw InputError(path + ":" + std::to_string(number) +
                             ": expected syllable<TAB>sources in UTF-8");
        syl.sources = line.substr(tab + 1);
        out.push_back(std::move(syl));
    }
    if (out.empty()) throw InputError(path + ": no syllables");
    return out;
}

std::vector<std::string> split_sources(const std::string& tag) {
    std::vector<std::string> out;
    std::size_t from = 0;
    while (from <= tag.size()) {
        const std::size_t comma = std::min(tag.find(',', from), tag.size());
        if (comma > from) out.push_back(tag.substr(from, comma - from));
        from = comma + 1;
    }
    return out;
}

// Lowercase of a result, Vietnamese capitals included (Ì, Đ): a word typed
// with a capital is still the attested syllable.
std::u32string lower(std::u32string s) {
    namespace d = vanto::bench::detail;
    for (char32_t& c : s) {
        if (c >= U'A' && c <= U'Z') {
            c += 32;
        } else if (c == U'Đ') {
            c = U'đ';
        } else {
            for (int tone = 0; tone < 6; ++tone)
                if (const std::size_t at = d::kTonedUpper[tone].find(c);
                    at != std::u32string_view::npos)
                    c = d::kToned[tone][at];
        }
    }
    return s;
}

struct Options {
    std::size_t top = 20;
    std::string sources = std::string(VANTO_BENCH_DATA) + "/vi_sources.tsv";
    std::string en = std::string(VANTO_BENCH_DATA) + "/en_words.tsv";
};

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--help" || flag == "-h") {
            std::printf("usage: syllable_coverage [--top N] [--sources FILE] [--en FILE]\n");
            std::exit(0);
        }
        if (i + 1 >= argc) throw InputError(flag + ": missing value (see --help)");
        const std::string value = argv[++i];
        if (flag == "--top") {
            char* end = nullptr;
            const long n = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || n < 0) throw InputError("--top takes a count");
            o.top = static_cast<std::size_t>(n);
        } else if (flag == "--sources") {
            o.sources = value;
        } else if (flag == "--en") {
            o.en = value;
        } else {
            throw InputError("unknown option " + flag + " (see --help)");
        }
    }
    return o;
}

struct Miss {
    std::u32string word, keys, got;
    const char* style = "";
};

void coverage(const std::vector<Syllable>& syllables, std::size_t top) {
    std::vector<std::string> names{"all"};
    for (const Syllable& l : syllables)
        for (const std::string& s : split_sources(l.sources))
            if (std::find(names.begin(), names.end(), s) == names.end()) names.push_back(s);
    EnginePtr engine(vt_engine_new(), &vt_engine_free);
    for (int spell = 1; spell >= 0; --spell) {
        for (int std_tone = 1; std_tone >= 0; --std_tone) {
            std::printf("\n# attested syllables typed: tone style %s, spell check %s\n\n",
                        std_tone ? "on (hòa, thủy)" : "off (hoà, thuỷ)", spell ? "on" : "off");
            std::printf("| source | syllables |");
            for (Style s : vanto::bench::kStyles) std::printf(" %s |", vanto::bench::style_name(s));
            std::printf("\n|---|---|");
            for (std::size_t i = 0; i < vanto::bench::kStyles.size(); ++i) std::printf("---|");
            std::printf("\n");
            // right[source][style], total[source]
            std::map<std::string, std::map<Style, std::uint64_t>> right;
            std::map<std::string, std::uint64_t> total;
            std::vector<Miss> misses;
            for (const Syllable& l : syllables) {
                std::vector<std::string> srcs = split_sources(l.sources);
                srcs.push_back("all");
                for (const std::string& s : srcs) ++total[s];
                for (Style style : vanto::bench::kStyles) {
                    vt_engine_configure(engine.get(), vanto::bench::is_telex(style),
                                        static_cast<std::uint32_t>(spell),
                                        static_cast<std::uint32_t>(std_tone), 0, 0);
                    const std::u32string keys = vanto::bench::keys_for(l.word, style);
                    const std::u32string got = type_word(engine.get(), keys);
                    if (vanto::bench::same_word(l.word, got)) {
                        for (const std::string& s : srcs) ++right[s][style];
                    } else {
                        misses.push_back({l.word, keys, got, vanto::bench::style_name(style)});
                    }
                }
            }
            for (const std::string& n : names) {
                std::printf("| %s | %llu |", n.c_str(), static_cast<unsigned long long>(total[n]));
                for (Style s : vanto::bench::kStyles)
                    std::printf(" %s |", percent(right[n][s], total[n]).c_str());
                std::printf("\n");
            }
            std::printf("\n%zu misses", misses.size());
            std::printf(misses.empty() ? "\n" : ":\n");
            for (std::size_t i = 0; i < misses.size() && i < top; ++i)
                std::printf("  %s: %s %s -> %s\n", misses[i].style,
                            vanto::bench::encode_utf8(misses[i].word).c_str(),
                            vanto::bench::encode_utf8(misses[i].keys).c_str(),
                            vanto::bench::encode_utf8(misses[i].got).c_str());
        }
    }
}

void captured(const std::vector<Syllable>& syllables, const std::vector<Entry>& english,
              std::size_t top) {
    std::set<std::u32string> attested;
    for (const Syllable& l : syllables) {
        attested.insert(l.word);
        attested.insert(vanto::bench::other_tone_style(l.word));
    }
    std::uint64_t tokens = 0;
    for (const Entry& e : english) tokens += e.count;
    std::printf("\n# English taken by syllables attested nowhere (telex, spell check on)\n\n");
    std::printf("| tone style | words | tokens | captured words | captured tokens | share of "
                "tokens |\n|---|---|---|---|---|---|\n");
    EnginePtr engine(vt_engine_new(), &vt_engine_free);
    std::vector<std::pair<std::uint64_t, Miss>> shown;
    for (int std_tone = 1; std_tone >= 0; --std_tone) {
        vt_engine_configure(engine.get(), 1, 1, static_cast<std::uint32_t>(std_tone), 0, 0);
        std::uint64_t words = 0, hit = 0;
        for (std::size_t i = 0; i < english.size(); ++i) {
            const std::u32string got = type_word(engine.get(), english[i].word);
            const bool marked =
                std::any_of(got.begin(), got.end(), [](char32_t c) { return c > 127; });
            if (got == english[i].word || !marked || attested.count(lower(got))) continue;
            ++words, hit += english[i].count;
            if (std_tone)
                shown.push_back({english[i].count, {english[i].word, english[i].word, got}});
        }
        std::printf("| %s | %zu | %llu | %llu | %llu | %s |\n", std_tone ? "on" : "off",
                    english.size(), static_cast<unsigned long long>(tokens),
                    static_cast<unsigned long long>(words), static_cast<unsigned long long>(hit),
                    percent(hit, tokens).c_str());
    }
    std::stable_sort(shown.begin(), shown.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::printf("\nmost frequent (tone style on):\n");
    for (std::size_t i = 0; i < shown.size() && i < top; ++i)
        std::printf("  %6llu  %s -> %s\n", static_cast<unsigned long long>(shown[i].first),
                    vanto::bench::encode_utf8(shown[i].second.word).c_str(),
                    vanto::bench::encode_utf8(shown[i].second.got).c_str());
}

} // namespace

int main(int argc, char** argv) {
    try {
        const Options o = parse(argc, argv);
        const std::vector<Syllable> syllables = read_sources(o.sources);
        const std::vector<Entry> english = vanto::bench::read_counts(o.en);
        std::printf("Attested syllables: %s, %zu\n", o.sources.c_str(), syllables.size());
        coverage(syllables, o.top);
        captured(syllables, english, o.top);
        return 0;
    } catch (const InputError& e) {
        std::fprintf(stderr, "syllable_coverage: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "syllable_coverage: %s\n", e.what());
        return 1;
    }
}
