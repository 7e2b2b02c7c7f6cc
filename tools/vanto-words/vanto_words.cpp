// vanto-words: what the engine's dictionaries say about a few words.
//
//   vanto-words việt hòa hoà test        answers of the five tries
//   vanto-words --sizes                  nodes, edges and entries of each trie
#include "text.h"
#include "trie.h"

#include <cstdio>
#include <cstring>
#include <string>

using namespace vanto::engine;

namespace {

bool decode_utf8(const char* s, Text& out) {
    out.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    while (*p) {
        char32_t c;
        int extra;
        if (*p < 0x80) c = *p, extra = 0;
        else if ((*p & 0xE0) == 0xC0) c = *p & 0x1F, extra = 1;
        else if ((*p & 0xF0) == 0xE0) c = *p & 0x0F, extra = 2;
        else if ((*p & 0xF8) == 0xF0) c = *p & 0x07, extra = 3;
        else return false;
        ++p;
        for (int i = 0; i < extra; ++i, ++p) {
            if ((*p & 0xC0) != 0x80) return false;
            c = (c << 6) | (*p & 0x3F);
        }
        out += c;
    }
    return true;
}

struct Named {
    const char* name;
    const Trie& trie;
};

const Named kWordTries[] = {
    {"spell off, tone off", word_trie(false, false)},
    {"spell on,  tone off", word_trie(true, false)},
    {"spell off, tone on ", word_trie(false, true)},
    {"spell on,  tone on ", word_trie(true, true)},
};

std::size_t count(const Trie& t, std::uint8_t flag) {
    std::size_t n = 0;
    for (std::uint32_t i = 0; i < t.nodes; ++i) n += (t.flags[i] & flag) != 0;
    return n;
}

void print_sizes() {
    std::printf("%-22s %8s %8s %8s %12s\n", "trie", "nodes", "edges", "WORD", "STRICT_WORD");
    for (const auto& n : kWordTries)
        std::printf("%-22s %8u %8u %8zu %12zu\n", n.name, n.trie.nodes, n.trie.edges,
                    count(n.trie, WORD), count(n.trie, STRICT_WORD));
    const Trie& en = english_trie();
    std::printf("%-22s %8u %8u %8s %12zu\n", "english_words", en.nodes, en.edges, "-",
                count(en, STRICT_WORD));
}

const char* answer_name(std::uint8_t a) { return a == ENTRY ? "3" : a == PATH ? "1" : "0"; }

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vanto-words WORD... | --sizes\n");
        return 2;
    }
    if (std::strcmp(argv[1], "--sizes") == 0) {
        print_sizes();
        return 0;
    }
    std::printf("word: lookup WORD / STRICT_WORD strict, per trie; English predicates\n");
    for (int i = 1; i < argc; ++i) {
        Text word;
        if (!decode_utf8(argv[i], word)) {
            std::fprintf(stderr, "vanto-words: '%s' is not valid UTF-8\n", argv[i]);
            return 1;
        }
        std::printf("%s\n", argv[i]);
        for (const auto& n : kWordTries)
            std::printf("  %s  %s / %s\n", n.name, answer_name(lookup(n.trie, word, WORD, false)),
                        answer_name(lookup(n.trie, word, STRICT_WORD, true)));
        const bool with_key =
            !word.empty() && is_english_with_key(TextView(word).substr(0, word.size() - 1), word.back());
        std::printf("  english word: %s, english keys: %s\n", is_english_word(word) ? "yes" : "no",
                    with_key ? "yes" : "no");
    }
    return 0;
}
