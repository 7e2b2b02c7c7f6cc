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

using vanto::bench::Style;

struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Line {
    std::u32string word;
    std::string tag; // the sources of a syllable, or the count of an English word
};

// "word<TAB>tag" lines, the order of the fields given by word_first.
std::vector<Line> read_tsv(const std::string& path, bool word_first) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw InputError(path + ": cannot open");
    std::vector<Line> out;
    std::string line;
    for (std::size_t number = 1; std::getline(in, line); ++number) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0 || tab + 1 == line.size())
            throw InputError(path + ":" + std::to_string(number) + ": expected two fields");
        const std::string first = line.substr(0, tab), second = line.substr(tab + 1);
        Line l;
        l.tag = word_first ? second : first;
        if (!vanto::bench::decode_utf8(word_first ? first : second, l.word))
            throw InputError(path + ":" + std::to_string(number) + ": not valid UTF-8");
        out.push_back(std::move(l));
    }
    if (out.empty()) throw InputError(path + ": empty");
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

std::uint64_t parse_count(const std::string& s) {
    std::uint64_t n = 0;
    for (char c : s) {
        if (c < '0' || c > '9' || n > (UINT64_MAX - 9) / 10)
            throw InputError("English corpus: bad count '" + s + "'");
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return n;
}

using EnginePtr = std::unique_ptr<vt_engine, decltype(&vt_engine_free)>;

std::u32string type_word(vt_engine* e, std::u32string_view keys) {
    vt_engine_reset(e);
    for (char32_t k : keys) vt_engine_add_key(e, k);
    std::string bytes(vt_engine_text(e, VT_ENGINE_TEXT_COMMITTED, nullptr, 0), '\0');
    vt_engine_text(e, VT_ENGINE_TEXT_COMMITTED, bytes.data(), bytes.size());
    std::u32string out;
    if (!vanto::bench::decode_utf8(bytes, out))
        throw std::runtime_error("engine wrote invalid UTF-8");
    return out;
}

std::string percent(std::uint64_t part, std::uint64_t whole) {
    if (whole == 0) return "-";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f%%",
                  100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return buf;
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

void coverage(const std::vector<Line>& syllables, std::size_t top) {
    std::vector<std::string> names{"all"};
    for (const Line& l : syllables)
        for (const std::string& s : split_sources(l.tag))
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
            for (const Line& l : syllables) {
                std::vector<std::string> srcs = split_sources(l.tag);
                srcs.push_back("all");
                for (const std::string& s : srcs) ++total[s];
                for (Style style : vanto::bench::kStyles) {
                    vt_engine_configure(engine.get(), vanto::bench::is_telex(style),
                                        static_cast<std::uint32_t>(spell),
                                        static_cast<std::uint32_t>(std_tone), 0, 0);
                    const std::u32string keys = vanto::bench::keys_for(l.word, style);
                    const std::u32string got = type_word(engine.get(), keys);
                    if (got == l.word || got == vanto::bench::other_tone_style(l.word)) {
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

void captured(const std::vector<Line>& syllables, const std::vector<Line>& english,
              std::size_t top) {
    std::set<std::u32string> attested;
    for (const Line& l : syllables) {
        attested.insert(l.word);
        attested.insert(vanto::bench::other_tone_style(l.word));
    }
    std::uint64_t tokens = 0;
    std::vector<std::uint64_t> counts;
    for (const Line& l : english) counts.push_back(parse_count(l.tag)), tokens += counts.back();
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
            ++words, hit += counts[i];
            if (std_tone) shown.push_back({counts[i], {english[i].word, english[i].word, got}});
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
        const std::vector<Line> syllables = read_tsv(o.sources, true);
        const std::vector<Line> english = read_tsv(o.en, false);
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
