// key_orders: types every syllable of the engine's word lists in each order of
// tone and mark keys (key_orders.h), Telex and VNI, and prints the share that
// is committed as written, for both tone styles and both spell-check settings.
//
//   key_orders [--top N] [--lists DIR] [--words FILE]
//
// A syllable counts as right when the committed text is the syllable or the
// syllable with the other tone style's placement (hòa, hoà). --words types the
// words of another list instead (one a line, a leading count and tab skipped),
// such as syllables attested in a corpus.
#include "key_orders.h"
#include "vanto/engine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#ifndef VANTO_DATA_DIR
#define VANTO_DATA_DIR "data"
#endif

namespace {

using vanto::bench::KeyOrder;

std::vector<std::u32string> read_list(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot open");
    std::vector<std::u32string> out;
    std::string line;
    for (std::size_t number = 1; std::getline(in, line); ++number) {
        // A count column, as in the corpus files, is skipped.
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos) line.erase(0, tab + 1);
        std::u32string w;
        if (!vanto::bench::decode_utf8(line, w))
            throw std::runtime_error(path + ":" + std::to_string(number) + ": not valid UTF-8");
        if (!w.empty()) out.push_back(std::move(w));
    }
    return out;
}

std::u32string committed_text(vt_engine* e, std::u32string_view keys) {
    vt_engine_reset(e);
    for (char32_t k : keys) vt_engine_add_key(e, k);
    std::string bytes(vt_engine_text(e, VT_ENGINE_TEXT_COMMITTED, nullptr, 0), '\0');
    vt_engine_text(e, VT_ENGINE_TEXT_COMMITTED, bytes.data(), bytes.size());
    std::u32string out;
    vanto::bench::decode_utf8(bytes, out);
    return out;
}

struct Failure {
    std::u32string word, keys, got;
};

struct Column {
    bool std_tone, spell_check;
    const char* name;
};

constexpr Column kColumns[] = {
    {true, true, "hòa, spell on"},
    {true, false, "hòa, spell off"},
    {false, true, "hoà, spell on"},
    {false, false, "hoà, spell off"},
};

std::string percent(std::size_t part, std::size_t whole) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f%%",
                  whole ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0);
    return buf;
}

} // namespace

int main(int argc, char** argv) {
    std::size_t top = 10;
    std::string lists = VANTO_DATA_DIR, extra_words;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--top"))
            top = static_cast<std::size_t>(std::strtoul(argv[i + 1], nullptr, 10));
        else if (!std::strcmp(argv[i], "--lists"))
            lists = argv[i + 1];
        else if (!std::strcmp(argv[i], "--words"))
            extra_words = argv[i + 1];
        else if (!std::strcmp(argv[i], "--vi") || !std::strcmp(argv[i], "--en"))
            continue; // the corpus options of tools/accuracy.sh: not used here
        else {
            std::fprintf(stderr, "usage: key_orders [--top N] [--lists DIR] [--words FILE]\n");
            return 2;
        }
    }
    try {
        std::vector<std::u32string> words[2]; // by tone style: off, on
        if (extra_words.empty()) {
            words[1] = read_list(lists + "/vi_strict_std_on.txt");
            words[0] = read_list(lists + "/vi_strict_std_off.txt");
        } else {
            words[0] = words[1] = read_list(extra_words);
        }
        std::printf("# Key orders: %zu syllables (tone style on), %zu (off)\n\n", words[1].size(),
                    words[0].size());
        std::printf("| keys | order |");
        for (const Column& c : kColumns) std::printf(" %s |", c.name);
        std::printf("\n|---|---|---|---|---|---|\n");
        std::unique_ptr<vt_engine, decltype(&vt_engine_free)> engine(vt_engine_new(),
                                                                     &vt_engine_free);
        std::vector<std::pair<std::string, std::vector<Failure>>> listed;
        for (int telex = 1; telex >= 0; --telex) {
            for (KeyOrder order : vanto::bench::kKeyOrders) {
                std::printf("| %s | %s |", telex ? "telex" : "vni",
                            vanto::bench::key_order_name(order));
                for (const Column& c : kColumns) {
                    vt_engine_configure(engine.get(), static_cast<std::uint32_t>(telex),
                                        c.spell_check, c.std_tone, 0, 0);
                    const auto& list = words[c.std_tone];
                    std::vector<Failure> failures;
                    for (const std::u32string& w : list) {
                        const std::u32string keys = vanto::bench::keys_in_order(w, order, telex);
                        const std::u32string got = committed_text(engine.get(), keys);
                        if (!vanto::bench::same_word(w, got)) failures.push_back({w, keys, got});
                    }
                    std::printf(" %s |",
                                percent(list.size() - failures.size(), list.size()).c_str());
                    if (&c == &kColumns[0])
                        listed.emplace_back(std::string(telex ? "telex, " : "vni, ") +
                                                vanto::bench::key_order_name(order),
                                            std::move(failures));
                }
                std::printf("\n");
            }
        }
        // The wrong pair of marks typed and corrected after the syllable.
        std::printf("\n| keys | wrong pair corrected after the syllable | syllables |");
        for (const Column& c : kColumns) std::printf(" %s |", c.name);
        std::printf("\n|---|---|---|---|---|---|---|\n");
        for (int telex = 1; telex >= 0; --telex) {
            std::printf("| %s | %s |", telex ? "telex" : "vni",
                        telex ? "muownos, thuoongw, caanw, cawna" : "muo7n61, thuo6ng7, ca6n8");
            bool counted = false;
            for (const Column& c : kColumns) {
                vt_engine_configure(engine.get(), static_cast<std::uint32_t>(telex), c.spell_check,
                                    c.std_tone, 0, 0);
                std::size_t typed = 0;
                std::vector<Failure> failures;
                for (const std::u32string& w : words[c.std_tone]) {
                    const std::u32string keys = vanto::bench::keys_with_wrong_pair(w, telex);
                    if (keys.empty()) continue;
                    ++typed;
                    const std::u32string got = committed_text(engine.get(), keys);
                    if (!vanto::bench::same_word(w, got)) failures.push_back({w, keys, got});
                }
                if (!counted) std::printf(" %zu |", typed);
                counted = true;
                std::printf(" %s |", percent(typed - failures.size(), typed).c_str());
                if (&c == &kColumns[0])
                    listed.emplace_back(std::string(telex ? "telex" : "vni") +
                                            ", wrong pair corrected",
                                        std::move(failures));
            }
            std::printf("\n");
        }
        for (const auto& [name, failures] : listed) {
            std::printf("\n%s (hòa, spell on): %zu wrong%s\n", name.c_str(), failures.size(),
                        failures.empty() ? "" : "; first:");
            for (std::size_t i = 0; i < failures.size() && i < top; ++i)
                std::printf("  %-12s %-16s -> %s\n",
                            vanto::bench::encode_utf8(failures[i].word).c_str(),
                            vanto::bench::encode_utf8(failures[i].keys).c_str(),
                            vanto::bench::encode_utf8(failures[i].got).c_str());
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "key_orders: %s\n", e.what());
        return 1;
    }
}
