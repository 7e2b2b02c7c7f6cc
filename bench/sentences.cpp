// sentences: types whole sentences through the keystroke pipeline and prints
// how many of their words the field shows as written.
//
//   sentences [--top N] [--en FILE] [--vi FILE] [--vi-en FILE]
//
// Each sentence goes into a fresh field, key by key, as a person types it:
// Vietnamese words in Telex with the tone last (tieengs) or in VNI (tie6ng1),
// English words as spelled, spaces and punctuation as the separators they
// are, and one space after the sentence. The field is then read back and its
// words compared with the sentence's. Each sentence is typed with the option
// "English in context" off and on; the spell check is on, every other option
// keeps its default.
#include "pipeline_rig.h"
#include "sentence_typing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#ifndef VANTO_BENCH_DATA
#define VANTO_BENCH_DATA "bench/data"
#endif

namespace {

using namespace vanto;
using bench::InputError;
using bench::Language;
using bench::percent;
using bench::Sentence;
using bench::Style;
using bench::WordResult;

struct Options {
    std::size_t top = 20;
    std::string en = std::string(VANTO_BENCH_DATA) + "/en_sentences.txt";
    std::string vi = std::string(VANTO_BENCH_DATA) + "/vi_sentences.txt";
    std::string vi_en = std::string(VANTO_BENCH_DATA) + "/vi_en_sentences.tsv";
};

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--help" || flag == "-h") {
            std::printf("usage: sentences [--top N] [--en FILE] [--vi FILE] [--vi-en FILE]\n");
            std::exit(0);
        }
        if (i + 1 >= argc) throw InputError(flag + ": missing value (see --help)");
        const char* value = argv[++i];
        if (flag == "--top") {
            char* end = nullptr;
            const long n = std::strtol(value, &end, 10);
            if (*value == '\0' || *end != '\0' || n < 0) throw InputError("--top takes a count");
            o.top = static_cast<std::size_t>(n);
        } else if (flag == "--en") {
            o.en = value;
        } else if (flag == "--vi") {
            o.vi = value;
        } else if (flag == "--vi-en") {
            o.vi_en = value;
        } else {
            throw InputError("unknown option " + flag + " (see --help)");
        }
    }
    return o;
}

// What the field shows after the keys, typed into an empty field.
std::u32string type_into_field(testing::PipelineRig& rig, std::u32string_view keys) {
    {
        std::lock_guard<std::mutex> guard(rig.typist.lock);
        rig.typist.leaveField();
    }
    rig.sender.screen = Screen();
    rig.sender.requests.clear();
    // literal: "<" and "~" are characters of the text, not Backspace and
    // Escape.
    feedText(rig.events, rig.typist, &rig.sender.screen, bench::encode_utf8(keys), true, true);
    std::u32string shown;
    if (!bench::decode_utf8(rig.text(), shown))
        throw std::runtime_error("the field holds invalid UTF-8");
    return shown;
}

// The texts a table row counts: files, and which of their words.
struct Part {
    const char* name;
    std::vector<const std::vector<Sentence>*> files;
    Language words;

    std::size_t sentences() const {
        std::size_t n = 0;
        for (const auto* f : files) n += f->size();
        return n;
    }
};

struct Run {
    Style style;
    bool english_context;
    // One entry per word of every part, in order.
    std::vector<std::vector<WordResult>> words; // [part][word]
    std::size_t unpaired = 0;
};

Run type_all(testing::PipelineRig& rig, const std::vector<Part>& parts, Style style,
             bool english_context) {
    rig.settings.setTelex(bench::is_telex(style));
    rig.settings.setEnglishContext(english_context);
    rig.typist.applySettings();
    Run run{style, english_context, {}, 0};
    // Each file is typed once; its parts take their words from it.
    std::map<const std::vector<Sentence>*, std::vector<WordResult>> typed;
    for (const Part& part : parts) {
        std::vector<WordResult>& out = run.words.emplace_back();
        for (const std::vector<Sentence>* file : part.files) {
            auto [at, fresh] = typed.try_emplace(file);
            if (fresh) {
                for (const Sentence& s : *file) {
                    const std::u32string shown =
                        type_into_field(rig, bench::sentence_keys(s, style) + U" ");
                    bool paired = true;
                    for (WordResult& r : bench::score_sentence(s, shown, paired))
                        at->second.push_back(std::move(r));
                    if (!paired) ++run.unpaired;
                }
            }
            for (const WordResult& r : at->second)
                if (r.language == part.words) out.push_back(r);
        }
    }
    return run;
}

std::string u8(std::u32string_view s) {
    return bench::encode_utf8(s);
}

// Pads to a width in characters (printf pads bytes, which skews Vietnamese).
std::string padded(std::u32string_view s, std::size_t width) {
    std::string out = u8(s);
    if (s.size() < width) out.append(width - s.size(), ' ');
    return out;
}

using Counted = std::map<std::tuple<std::u32string, std::u32string, std::u32string>, std::size_t>;

void print_top(const char* title, const Counted& counted, std::size_t top, bool two_results) {
    std::vector<std::pair<std::size_t, Counted::key_type>> sorted;
    std::size_t tokens = 0;
    for (const auto& [key, n] : counted) {
        sorted.emplace_back(n, key);
        tokens += n;
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::printf("\n%s: %zu words, %zu tokens%s\n", title, sorted.size(), tokens,
                sorted.empty() ? "" : "; most frequent:");
    for (std::size_t i = 0; i < sorted.size() && i < top; ++i) {
        const auto& [written, first, second] = sorted[i].second;
        if (two_results)
            std::printf("  %6zu  %s off: %s on: %s\n", sorted[i].first, padded(written, 14).c_str(),
                        padded(first, 14).c_str(), u8(second).c_str());
        else
            std::printf("  %6zu  %s -> %s\n", sorted[i].first, padded(written, 14).c_str(),
                        u8(first).c_str());
    }
}

const char* keys_name(Style s) {
    return s == Style::Vni ? "vni" : "telex, tone last";
}

void print_tables(const std::vector<Part>& parts, const std::vector<Run>& runs,
                  const std::vector<bool>& contexts, std::size_t top) {
    std::printf("| text | keys | sentences | words |");
    for (bool on : contexts) std::printf(" English in context %s |", on ? "on" : "off");
    std::printf("\n|---|---|---|---|");
    for (std::size_t i = 0; i < contexts.size(); ++i) std::printf("---|");
    std::printf("\n");
    for (std::size_t p = 0; p < parts.size(); ++p) {
        for (Style style : {Style::TelexToneLast, Style::Vni}) {
            std::printf("| %s | %s | %zu |", parts[p].name, keys_name(style), parts[p].sentences());
            bool first = true;
            for (const Run& run : runs) {
                if (run.style != style) continue;
                const auto& words = run.words[p];
                if (first) std::printf(" %zu |", words.size());
                first = false;
                const auto right = static_cast<std::uint64_t>(std::count_if(
                    words.begin(), words.end(), [](const WordResult& r) { return r.right; }));
                std::printf(" %s |", percent(right, words.size()).c_str());
            }
            std::printf("\n");
        }
    }
    for (const Run& run : runs)
        if (run.unpaired)
            std::printf("\n%s, English in context %s: %zu sentences came back with another "
                        "number of words (all their words count as wrong)\n",
                        keys_name(run.style), run.english_context ? "on" : "off", run.unpaired);

    // What is wrong with the option off and on, then what the option changed.
    for (const Run& run : runs) {
        for (std::size_t p = 0; p < parts.size(); ++p) {
            if (parts[p].files.size() > 1) continue; // listed under each file
            Counted wrong;
            for (const WordResult& r : run.words[p])
                if (!r.right) ++wrong[{r.written, r.got, {}}];
            const std::string title = std::string(keys_name(run.style)) + ", " + parts[p].name +
                                      ", English in context " +
                                      (run.english_context ? "on" : "off") + ", wrong";
            print_top(title.c_str(), wrong, top, false);
        }
    }
    for (const Run& off : runs) {
        if (off.english_context) continue;
        for (const Run& on : runs) {
            if (!on.english_context || on.style != off.style) continue;
            for (std::size_t p = 0; p < parts.size(); ++p) {
                if (parts[p].files.size() > 1) continue;
                Counted now_right, now_wrong;
                for (std::size_t i = 0; i < off.words[p].size(); ++i) {
                    const WordResult& a = off.words[p][i];
                    const WordResult& b = on.words[p][i];
                    if (a.got == b.got) continue;
                    (b.right ? now_right : now_wrong)[{a.written, a.got, b.got}]++;
                }
                const std::string prefix = std::string(keys_name(off.style)) + ", " + parts[p].name;
                print_top((prefix + ", changed by English in context, now right").c_str(),
                          now_right, top, true);
                print_top((prefix + ", changed by English in context, now wrong").c_str(),
                          now_wrong, top, true);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    try {
        const Options o = parse(argc, argv);
        const auto en = bench::read_sentences(o.en, Language::English, false);
        const auto vi = bench::read_sentences(o.vi, Language::Vietnamese, false);
        const auto vi_en = bench::read_sentences(o.vi_en, Language::Vietnamese, true);
        const std::vector<Part> parts = {
            {"English sentences", {&en}, Language::English},
            {"Vietnamese sentences", {&vi}, Language::Vietnamese},
            {"Vietnamese sentences with English terms: Vietnamese words",
             {&vi_en},
             Language::Vietnamese},
            {"Vietnamese sentences with English terms: English terms", {&vi_en}, Language::English},
            {"Vietnamese words of both kinds of sentence", {&vi, &vi_en}, Language::Vietnamese},
        };
        const std::vector<bool> contexts = {false, true};
        // TextEdit, the spell check on, the rest as a new user has it.
        testing::PipelineRig rig;
        std::vector<Run> runs;
        for (Style style : {Style::TelexToneLast, Style::Vni})
            for (bool on : contexts) runs.push_back(type_all(rig, parts, style, on));
        std::printf("# Sentences typed whole, spell check on\n\n");
        print_tables(parts, runs, contexts, o.top);
        return 0;
    } catch (const InputError& e) {
        std::fprintf(stderr, "sentences: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sentences: %s\n", e.what());
        return 1;
    }
}
