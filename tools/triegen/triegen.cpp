// triegen: turns the word lists of data/ into the engine's constant tries.
//
//   triegen --strict-on F --strict-off F --extra F --english F --out tries.cpp
//
// The four word tries (spell check off/on x tone style off/on) are built from
// the strict syllable list of the tone style, the extra list and the forms
// derived from them; the English trie from the English list. The output is a
// C++ source with flat arrays and is byte-identical for identical lists.
// A malformed list stops the build with the file and line at fault.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Text = std::u32string;

constexpr std::uint8_t WORD = 1, STRICT_WORD = 2, STRICT_PATH = 4;

const Text kBaseVowels = U"aăâeêioôơuưy";
const Text kToneKeys = U"sfrxj";
const Text kToned[5] = {U"áắấéếíóốớúứý", U"àằầèềìòồờùừỳ", U"ảẳẩẻểỉỏổởủửỷ", U"ãẵẫẽễĩõỗỡũữỹ",
                        U"ạặậẹệịọộợụựỵ"};
const Text kMarkedLetters =
    U"áàảãạăắằẳẵặâấầẩẫậéèẻẽẹêếềểễệíìỉĩịóòỏõọôốồổỗộơớờởỡợúùủũụưứừửữựýỳỷỹỵđ";
const Text kOnsetLetters = U"qwrtpsdfghjklzxcvbnmđ";

struct ListError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Strict UTF-8 decoding; false on any malformed or overlong sequence.
bool decode(const std::string& s, Text& out) {
    out.clear();
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        int extra;
        char32_t c;
        if (b < 0x80) {
            extra = 0;
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1;
            c = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            c = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            c = b & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto cb = static_cast<unsigned char>(s[i + k]);
            if ((cb & 0xC0) != 0x80) return false;
            c = (c << 6) | (cb & 0x3F);
        }
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        out += c;
        i += extra + 1;
    }
    return true;
}

// Tone of a letter: index into kToneKeys and the letter without its tone.
bool split_tone(char32_t c, int& tone, char32_t& bare) {
    for (int k = 0; k < 5; ++k) {
        auto at = kToned[k].find(c);
        if (at != Text::npos) {
            tone = k;
            bare = kBaseVowels[at];
            return true;
        }
    }
    tone = -1;
    bare = c;
    return false;
}

char32_t with_tone(char32_t bare, int tone) {
    if (tone < 0) return bare;
    return kToned[tone][kBaseVowels.find(bare)];
}

char32_t without_tone(char32_t c) {
    int tone;
    char32_t bare;
    split_tone(c, tone, bare);
    return bare;
}

// The letter without its mark (breve, circumflex, horn, stroke); a tone stays.
char32_t without_mark(char32_t c) {
    int tone;
    char32_t bare;
    split_tone(c, tone, bare);
    char32_t plain = bare;
    switch (bare) {
    case U'ă':
    case U'â': plain = U'a'; break;
    case U'ê': plain = U'e'; break;
    case U'ô':
    case U'ơ': plain = U'o'; break;
    case U'ư': plain = U'u'; break;
    case U'đ': plain = U'd'; break;
    default: break;
    }
    return with_tone(plain, tone);
}

bool has_mark(char32_t c) { return without_mark(c) != c; }

Text strip_tones(Text t) {
    for (auto& c : t) c = without_tone(c);
    return t;
}

Text strip_all(Text t) {
    for (auto& c : t) c = without_mark(without_tone(c));
    return t;
}

bool all_ascii_lower(const Text& t) {
    return std::all_of(t.begin(), t.end(), [](char32_t c) { return c >= U'a' && c <= U'z'; });
}

enum class ListKind { Strict, Extra, English };

std::vector<Text> read_list(const std::string& path, ListKind kind) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ListError(path + ": cannot open the word list");
    std::vector<Text> entries;
    std::set<Text> seen;
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        throw ListError(path + ":" + std::to_string(number) + ": " + why);
    };
    while (std::getline(in, line)) {
        ++number;
        Text entry;
        if (!decode(line, entry)) fail("not valid UTF-8");
        if (entry.empty()) fail("empty line");
        for (char32_t c : entry) {
            const bool ascii = c >= U'a' && c <= U'z';
            const bool allowed = kind == ListKind::English
                                     ? ascii
                                     : (ascii && c != U'w') || kMarkedLetters.find(c) != Text::npos;
            if (!allowed) {
                std::ostringstream why;
                why << "character U+" << std::hex << std::uppercase << static_cast<unsigned>(c)
                    << " is not allowed in this list";
                fail(why.str());
            }
        }
        if (kind == ListKind::Strict && all_ascii_lower(entry))
            fail("strict entry '" + line + "' has no Vietnamese letter");
        if (kind == ListKind::English && (entry.size() < 4 || entry.size() > 7))
            fail("English entry '" + line + "' must have 4 to 7 letters");
        if (!seen.insert(entry).second) fail("duplicate entry '" + line + "'");
        entries.push_back(entry);
    }
    return entries;
}

// A tree built with ordered children, numbered breadth-first so that the
// output depends on nothing but the set of paths and flags.
class TrieBuilder {
  public:
    TrieBuilder() : nodes_(1) {}

    std::size_t add_path(const Text& t, std::uint8_t flags_on_path = 0) {
        std::size_t n = 0;
        nodes_[0].flags |= flags_on_path;
        for (char32_t c : t) {
            auto it = nodes_[n].children.find(c);
            if (it == nodes_[n].children.end()) {
                nodes_.emplace_back();
                it = nodes_[n].children.emplace(c, nodes_.size() - 1).first;
            }
            n = it->second;
            nodes_[n].flags |= flags_on_path;
        }
        return n;
    }

    void mark(const Text& t, std::uint8_t flags) { nodes_[add_path(t)].flags |= flags; }

    struct Arrays {
        std::vector<std::uint32_t> offsets, labels, targets;
        std::vector<std::uint8_t> flags;
        std::size_t count(std::uint8_t flag) const {
            return std::count_if(flags.begin(), flags.end(),
                                 [&](std::uint8_t f) { return (f & flag) != 0; });
        }
    };

    Arrays flatten() const {
        std::vector<std::size_t> order{0};
        std::vector<std::uint32_t> number(nodes_.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            for (const auto& [label, child] : nodes_[order[i]].children) {
                number[child] = static_cast<std::uint32_t>(order.size());
                order.push_back(child);
            }
        Arrays a;
        for (std::size_t old : order) {
            a.offsets.push_back(static_cast<std::uint32_t>(a.labels.size()));
            a.flags.push_back(nodes_[old].flags);
            for (const auto& [label, child] : nodes_[old].children) {
                a.labels.push_back(label);
                a.targets.push_back(number[child]);
            }
        }
        a.offsets.push_back(static_cast<std::uint32_t>(a.labels.size()));
        return a;
    }

  private:
    struct Node {
        std::map<char32_t, std::size_t> children;
        std::uint8_t flags = 0;
    };
    std::vector<Node> nodes_;
};

// The rest after the onset: qu or gi when more letters follow, otherwise the
// leading consonant letters. Empty when the word has no onset or no rest.
Text rest_after_onset(const Text& w) {
    if (w.size() > 2 && (w.compare(0, 2, U"qu") == 0 || w.compare(0, 2, U"gi") == 0))
        return w.substr(2);
    std::size_t k = 0;
    while (k < w.size() && kOnsetLetters.find(w[k]) != Text::npos) ++k;
    if (k == 0 || k == w.size()) return Text();
    return w.substr(k);
}

// Every spelling of w in which any marked letter may independently have lost
// its mark (a toned letter keeps its tone), and the toneless form of each.
std::set<Text> partial_spellings(const Text& w) {
    std::vector<std::size_t> marked;
    for (std::size_t i = 0; i < w.size(); ++i)
        if (has_mark(w[i])) marked.push_back(i);
    std::set<Text> out;
    for (std::size_t mask = 0; mask < (std::size_t{1} << marked.size()); ++mask) {
        Text v = w;
        for (std::size_t b = 0; b < marked.size(); ++b)
            if (mask & (std::size_t{1} << b)) v[marked[b]] = without_mark(v[marked[b]]);
        out.insert(v);
        out.insert(strip_tones(v));
    }
    return out;
}

struct WordStats {
    std::size_t derived = 0, rests = 0;
};

TrieBuilder::Arrays build_word_trie(const std::vector<Text>& strict, const std::vector<Text>& extra,
                                    bool spell_check, WordStats& stats) {
    std::set<Text> words(strict.begin(), strict.end());
    words.insert(extra.begin(), extra.end());
    std::set<Text> derived;
    for (const Text& s : strict) {
        int tone;
        char32_t bare;
        if (!split_tone(s.back(), tone, bare)) continue;
        Text toneless = s;
        toneless.back() = bare;
        derived.insert(toneless);
        derived.insert(strip_all(s));
    }
    stats.derived = derived.size();
    words.insert(derived.begin(), derived.end());
    if (!spell_check) {
        std::set<Text> rests;
        for (const Text& w : words) {
            Text rest = rest_after_onset(w);
            if (!rest.empty() && rest.back() != U'r' && !words.count(rest)) rests.insert(rest);
        }
        stats.rests = rests.size();
        words.insert(rests.begin(), rests.end());
    }
    TrieBuilder b;
    for (const Text& w : words)
        for (const Text& spelling : partial_spellings(w)) b.add_path(spelling);
    for (const Text& w : words) b.mark(w, WORD);
    for (const Text& s : strict) {
        b.add_path(s, STRICT_PATH);
        b.mark(s, WORD | STRICT_WORD);
    }
    b.mark(Text(), STRICT_PATH);
    return b.flatten();
}

TrieBuilder::Arrays build_english_trie(const std::vector<Text>& english) {
    TrieBuilder b;
    for (const Text& w : english) b.mark(w, STRICT_WORD);
    TrieBuilder::Arrays a = b.flatten();
    for (auto& f : a.flags) f |= STRICT_PATH;
    return a;
}

template <class T>
void write_array(std::ostream& out, const char* type, const std::string& name,
                 const std::vector<T>& values) {
    out << "constexpr " << type << " " << name << "[] = {";
    for (std::size_t i = 0; i < values.size(); ++i) {
        out << (i % 16 == 0 ? "\n    " : " ") << static_cast<std::uint32_t>(values[i]) << ",";
    }
    out << "\n};\n";
}

void write_trie(std::ostream& out, const std::string& name, const TrieBuilder::Arrays& a) {
    out << "namespace " << name << "_data {\n";
    write_array(out, "std::uint32_t", "offsets", a.offsets);
    write_array(out, "std::uint8_t", "flags", a.flags);
    write_array(out, "std::uint32_t", "labels", a.labels);
    write_array(out, "std::uint32_t", "targets", a.targets);
    out << "} // namespace " << name << "_data\n"
        << "const Trie " << name << " = {" << name << "_data::offsets, " << name << "_data::flags, "
        << name << "_data::labels, " << name << "_data::targets, " << a.flags.size() << ", "
        << a.labels.size() << "};\n\n";
}

std::string option(int argc, char** argv, const std::string& name) {
    for (int i = 1; i + 1 < argc; ++i)
        if (argv[i] == name) return argv[i + 1];
    throw ListError("missing option " + name);
}

} // namespace

int main(int argc, char** argv) {
    try {
        const auto strict_on = read_list(option(argc, argv, "--strict-on"), ListKind::Strict);
        const auto strict_off = read_list(option(argc, argv, "--strict-off"), ListKind::Strict);
        const auto extra = read_list(option(argc, argv, "--extra"), ListKind::Extra);
        const auto english = read_list(option(argc, argv, "--english"), ListKind::English);
        const std::string out_path = option(argc, argv, "--out");

        std::ostringstream out;
        out << "// Generated by tools/triegen from the word lists in data/. Do not edit.\n"
            << "#include \"trie.h\"\n\n"
            << "namespace vanto::engine::generated {\n\n";
        struct Variant {
            const char* name;
            bool spell_check;
            const std::vector<Text>* strict;
        };
        const Variant variants[] = {{"trie_off_off", false, &strict_off},
                                    {"trie_on_off", true, &strict_off},
                                    {"trie_off_on", false, &strict_on},
                                    {"trie_on_on", true, &strict_on}};
        for (const Variant& v : variants) {
            WordStats stats;
            const auto a = build_word_trie(*v.strict, extra, v.spell_check, stats);
            write_trie(out, v.name, a);
            std::cout << "triegen: " << v.name << ": " << a.flags.size() << " nodes, "
                      << a.labels.size() << " edges, " << a.count(WORD) << " WORD, "
                      << a.count(STRICT_WORD) << " STRICT_WORD (" << stats.derived
                      << " derived, " << stats.rests << " onset rests)\n";
        }
        const auto en = build_english_trie(english);
        write_trie(out, "english_words", en);
        std::cout << "triegen: english_words: " << en.flags.size() << " nodes, "
                  << en.labels.size() << " edges, " << en.count(STRICT_WORD) << " entries\n";
        out << "} // namespace vanto::engine::generated\n";

        // Rewrite only on change so that a rebuild does not recompile the tries.
        const std::string text = out.str();
        std::ifstream old(out_path, std::ios::binary);
        std::stringstream previous;
        previous << old.rdbuf();
        if (!old || previous.str() != text) {
            std::ofstream file(out_path, std::ios::binary | std::ios::trunc);
            file << text;
            if (!file) throw ListError(out_path + ": cannot write");
        }
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "triegen: error: " << e.what() << "\n";
        return 1;
    }
}
