#include "rules.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace vanto::engine {

namespace {

// The twelve base vowels; position i of every toned series carries its tone
// on base vowel i.
constexpr char32_t kBaseVowels[] = U"aăâeêioôơuưy";

// The tone keys, always taken in this order, with their toned series.
struct ToneSeries {
    char32_t key;
    const char32_t* series;
};
constexpr ToneSeries kTones[] = {
    {U's', U"áắấéếíóốớúứý"}, {U'f', U"àằầèềìòồờùừỳ"}, {U'r', U"ảẳẩẻểỉỏổởủửỷ"},
    {U'x', U"ãẵẫẽễĩõỗỡũữỹ"}, {U'j', U"ạặậẹệịọộợụựỵ"},
};

constexpr char32_t kMarkedLetters[] =
    U"áàảãạăắằẳẵặâấầẩẫậéèẻẽẹêếềểễệíìỉĩịóòỏõọôốồổỗộơớờởỡợúùủũụưứừửữựýỳỷỹỵđ";

// Digit aliases of the letter keys: one list for the single-letter tables,
// one for the sequence tables.
constexpr char32_t kCharDigits[] = U"0z1s2f3r4x5j";
constexpr char32_t kSeqDigits[] = U"1s2f3r4x5j6o7w";

[[noreturn]] void missing_key(char32_t key) {
    std::fprintf(stderr, "vanto engine: no entry found for key U+%04X\n",
                 static_cast<unsigned>(key));
    std::abort();
}

// Character i of from maps to character i of to; a letter given twice keeps
// the later pair.
void add_pairs(CharMap& map, TextView from, TextView to) {
    for (std::size_t i = 0; i < from.size() && i < to.size(); ++i) map[from[i]] = to[i];
}

Text all_upper(TextView s) {
    Text out(s);
    for (auto& c : out) c = to_upper(c);
    return out;
}

Text capitalized(TextView s) {
    Text out(s);
    if (!out.empty()) out[0] = to_upper(out[0]);
    return out;
}

bool is_lowercase_letter(char32_t c) {
    return to_upper(c) != c;
}

[[noreturn]] void too_many_letters(char32_t letter) {
    std::fprintf(stderr, "vanto engine: the letter tables have no room for U+%04X\n",
                 static_cast<unsigned>(letter));
    std::abort();
}

template <class Table> const typename Table::mapped_type& entry(const Table& table, char32_t key) {
    auto it = table.find(key);
    if (it == table.end()) missing_key(key);
    return it->second;
}

using CharTable = std::unordered_map<char32_t, CharMap>;

void build_char_rules(CharTable& t) {
    for (const auto& tone : kTones) add_pairs(t[tone.key], kBaseVowels, tone.series);
    add_pairs(t[U'd'], U"d", U"đ");
    add_pairs(t[U'a'], U"aáàảãạ", U"âấầẩẫậ");
    add_pairs(t[U'o'], U"oóòỏõọ", U"ôốồổỗộ");
    add_pairs(t[U'e'], U"eéèẻẽẹ", U"êếềểễệ");
    CharMap& w = t[U'w'];
    add_pairs(w, U"aáàảãạ", U"ăắằẳẵặ");
    add_pairs(w, U"oóòỏõọ", U"ơớờởỡợ");
    add_pairs(w, U"uúùủũụ", U"ưứừửữự");
    CharMap& z = t[U'z'];
    for (const auto& tone : kTones) add_pairs(z, tone.series, kBaseVowels);
}

void build_char_switch_rules(CharTable& t) {
    for (const auto& target : kTones) {
        CharMap& map = t[target.key];
        for (const auto& other : kTones)
            if (other.key != target.key) add_pairs(map, other.series, target.series);
    }
    add_pairs(t[U'a'], U"ăắằẳẵặ", U"âấầẩẫậ");
    add_pairs(t[U'o'], U"ơớờởỡợ", U"ôốồổỗộ");
    CharMap& w = t[U'w'];
    add_pairs(w, U"âấầẩẫậ", U"ăắằẳẵặ");
    add_pairs(w, U"ôốồổỗộ", U"ơớờởỡợ");
}

// The digit breve turns a circumflex back into a breve, as w does in Telex
// (ca6n8: căn).
void add_breve_switch(CharTable& t) {
    add_pairs(t[U'8'], U"âấầẩẫậ", U"ăắằẳẵặ");
}

// Digit keys of the two single-letter tables. The table without z gets no 0;
// 6 is the union of whichever of a, e, o the table has.
void add_char_digits(CharTable& t, bool is_switch_table) {
    TextView digits = kCharDigits;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        auto it = t.find(digits[i + 1]);
        if (it != t.end()) t[digits[i]] = CharMap(it->second);
    }
    CharMap six;
    for (char32_t key : {U'a', U'e', U'o'}) {
        auto it = t.find(key);
        if (it == t.end()) continue;
        for (const auto& [from, to] : it->second) six[from] = to;
    }
    t[U'6'] = std::move(six);
    if (is_switch_table) {
        add_pairs(t[U'7'], U"ôốồổỗộ", U"ơớờởỡợ");
        return;
    }
    CharMap& seven = t[U'7'];
    add_pairs(seven, U"oóòỏõọ", U"ơớờởỡợ");
    add_pairs(seven, U"uúùủũụ", U"ưứừửữự");
    add_pairs(t[U'8'], U"aáàảãạ", U"ăắằẳẵặ");
    t[U'9'] = CharMap(entry(t, U'd'));
}

void extend_char_case(CharTable& t) {
    for (auto& [key, map] : t) {
        CharMap lower = map;
        for (const auto& [from, to] : lower) map[to_upper(from)] = to_upper(to);
    }
    std::vector<char32_t> keys;
    for (const auto& [key, map] : t)
        if (is_lowercase_letter(key)) keys.push_back(key);
    for (char32_t key : keys) t[to_upper(key)] = CharMap(entry(t, key));
}

template <class Table> void add_seq_digits(Table& t) {
    TextView digits = kSeqDigits;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        auto it = t.find(digits[i + 1]);
        if (it != t.end()) t[digits[i]] = typename Table::mapped_type(it->second);
    }
}

// Adds the all-upper and then the capitalised form of every entry: an entry
// whose sequence is already listed is replaced in place, otherwise appended.
// Mixed case other than a capital first letter gets no entry.
template <class Entry, class Transform>
void extend_seq_case(std::unordered_map<char32_t, std::vector<Entry>>& t, Transform transform) {
    for (auto& [key, list] : t) {
        const std::vector<Entry> snapshot = list;
        for (const Entry& e : snapshot) {
            for (auto caser : {&all_upper, &capitalized}) {
                Entry added = transform(e, caser);
                bool replaced = false;
                for (Entry& existing : list) {
                    if (existing.pattern == added.pattern) {
                        existing = std::move(added);
                        replaced = true;
                        break;
                    }
                }
                if (!replaced) list.push_back(std::move(added));
            }
        }
    }
    std::vector<char32_t> keys;
    for (const auto& [key, list] : t)
        if (is_lowercase_letter(key)) keys.push_back(key);
    for (char32_t key : keys) t[to_upper(key)] = std::vector<Entry>(entry(t, key));
}

using Caser = Text (*)(TextView);

Rules build() {
    Rules r;
    build_char_rules(r.char_rules);
    build_char_switch_rules(r.char_switch_rules);
    add_char_digits(r.char_rules, false);
    add_char_digits(r.char_switch_rules, true);
    add_breve_switch(r.char_switch_rules);
    extend_char_case(r.char_rules);
    extend_char_case(r.char_switch_rules);

    r.seq_choice_rules[U'w'] = {
        {U"uo", {U"uơ", U"ươ"}}, {U"uó", {U"ướ"}}, {U"uò", {U"uờ", U"ườ"}},
        {U"uỏ", {U"ưở"}},        {U"uõ", {U"ưỡ"}}, {U"uọ", {U"ượ"}},
    };
    constexpr const char32_t* kHornTone[] = {U"ướ", U"ườ", U"ưở", U"ưỡ", U"ượ"};
    for (std::size_t i = 0; i < std::size(kTones); ++i)
        r.seq_rules[kTones[i].key] = {{U"uơ", kHornTone[i]}, {U"ưo", kHornTone[i]}};
    r.seq_rules[U'w'] = {
        {U"úo", U"ướ"}, {U"ùo", U"ườ"}, {U"ủo", U"ưở"}, {U"ũo", U"ưỡ"},
        {U"ụo", U"ượ"}, {U"oa", U"oă"}, {U"oá", U"oắ"}, {U"oà", U"oằ"},
        {U"oả", U"oẳ"}, {U"oã", U"oẵ"}, {U"oạ", U"oặ"}, {U"óa", U"oắ"},
        {U"òa", U"oằ"}, {U"ỏa", U"oẳ"}, {U"õa", U"oẵ"}, {U"ọa", U"oặ"},
    };
    // A typist who chose the wrong pair switches it with the other pair's key:
    // o turns ươ into uô (muownos: muốn), w turns uô into ươ (thuoongw:
    // thương). The tone stays on the second vowel.
    constexpr const char32_t* kHornPair[] = {U"ươ", U"ướ", U"ườ", U"ưở", U"ưỡ", U"ượ"};
    constexpr const char32_t* kCircumflexPair[] = {U"uô", U"uố", U"uồ", U"uổ", U"uỗ", U"uộ"};
    for (std::size_t i = 0; i < std::size(kHornPair); ++i) {
        r.seq_rules[U'o'].push_back({kHornPair[i], kCircumflexPair[i]});
        r.seq_rules[U'w'].push_back({kCircumflexPair[i], kHornPair[i]});
    }
    add_seq_digits(r.seq_choice_rules);
    add_seq_digits(r.seq_rules);
    extend_seq_case(r.seq_choice_rules, [](const SeqChoice& e, Caser caser) {
        SeqChoice out{caser(e.pattern), {}};
        for (const Text& c : e.replacements) out.replacements.push_back(caser(c));
        return out;
    });
    extend_seq_case(r.seq_rules, [](const SeqRule& e, Caser caser) {
        return SeqRule{caser(e.pattern), caser(e.replacement)};
    });

    for (const auto& tone : kTones)
        for (std::size_t i = 0; i < 12; ++i)
            r.decompositions[tone.series[i]] = {tone.key, kBaseVowels[i]};
    r.decompositions[U'ơ'] = {U'w', U'o'};
    r.decompositions[U'ư'] = {U'w', U'u'};
    const auto lower_decompositions = r.decompositions;
    for (const auto& [c, d] : lower_decompositions)
        r.decompositions[to_upper(c)] = {d.key, to_upper(d.letter)};

    for (char32_t c : TextView(kMarkedLetters)) {
        r.marked_letters.insert(c);
        r.marked_letters.insert(to_upper(c));
    }
    return r;
}

template <class Entry, class Usable>
PairIndex pair_index(const std::vector<Entry>& list, Usable usable) {
    PairIndex index;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> pairs;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].pattern.size() != 2) return PairIndex();
        if (!usable(list[i])) continue;
        pairs.emplace_back(std::uint64_t{list[i].pattern[0]} << 32 | list[i].pattern[1],
                           static_cast<std::uint32_t>(i));
    }
    // Sorted by pair, then position: the first of equal pairs is the one a
    // search rule by rule meets first.
    std::sort(pairs.begin(), pairs.end());
    for (const auto& [pair, rule] : pairs) {
        if (!index.pairs.empty() && index.pairs.back() == pair) continue;
        index.pairs.push_back(pair);
        index.rules.push_back(rule);
        index.firsts |= std::uint64_t{1} << (pair >> 32) % 64;
    }
    index.usable = true;
    return index;
}

} // namespace

void Rules::build_index() {
    std::vector<char32_t> keys;
    for (const auto* table : {&char_rules, &char_switch_rules})
        for (const auto& [key, map] : *table) keys.push_back(key);
    for (const auto& [key, list] : seq_choice_rules) keys.push_back(key);
    for (const auto& [key, list] : seq_rules) keys.push_back(key);

    // Every letter a single-letter table changes gets a slot; slot 0 is none.
    letter_slots_.fill(0);
    std::uint32_t slots = 1;
    for (const auto* table : {&char_rules, &char_switch_rules})
        for (const auto& [key, map] : *table)
            for (const auto& [from, to] : map) {
                if (from >= kDenseLetters || slots > 255) too_many_letters(from);
                if (!letter_slots_[from]) letter_slots_[from] = static_cast<std::uint8_t>(slots++);
            }
    auto flat = [&](const CharMap* map) {
        LetterMap letters;
        if (!map) return letters;
        letters.assign(slots, 0);
        for (const auto& [from, to] : *map) letters[letter_slots_[from]] = to;
        return letters;
    };
    for (char32_t key : keys) {
        KeyRules k;
        k.char_map = find(char_rules, key);
        k.char_switch_map = find(char_switch_rules, key);
        k.seq_choices = find(seq_choice_rules, key);
        k.seqs = find(seq_rules, key);
        k.letters = flat(k.char_map);
        k.switch_letters = flat(k.char_switch_map);
        if (k.seq_choices)
            k.choice_pairs = pair_index(*k.seq_choices,
                                        [](const SeqChoice& c) { return !c.replacements.empty(); });
        if (k.seqs) k.seq_pairs = pair_index(*k.seqs, [](const SeqRule&) { return true; });
        k.modifier = true;
        if (key < ascii_keys_.size())
            ascii_keys_[key] = std::move(k);
        else
            other_keys_[key] = std::move(k);
    }

    decomposition_slots_.assign(kDenseLetters, 0);
    for (const auto& [c, d] : decompositions) {
        if (c >= kDenseLetters) continue; // found in the map instead
        decomposition_list_.push_back(d);
        decomposition_slots_[c] = static_cast<std::uint16_t>(decomposition_list_.size());
    }
    marked_.assign(kDenseLetters, 0);
    for (char32_t c : marked_letters)
        if (c < kDenseLetters) marked_[c] = 1;
}

bool Rules::first_pair_rule(const PairIndex& index, TextView word, std::uint32_t& rule,
                            std::size_t& at) {
    bool found = false;
    for (std::size_t i = 0; i + 1 < word.size(); ++i) {
        if (!(index.firsts >> word[i] % 64 & 1)) continue;
        const std::uint64_t pair = std::uint64_t{word[i]} << 32 | word[i + 1];
        auto it = std::lower_bound(index.pairs.begin(), index.pairs.end(), pair);
        if (it == index.pairs.end() || *it != pair) continue;
        const std::uint32_t r = index.rules[it - index.pairs.begin()];
        if (!found || r < rule) {
            rule = r;
            at = i;
            found = true;
        }
    }
    return found;
}

const Rules& rules() {
    // Function-local statics are built exactly once; racing first callers wait
    // for the one build and then share it. The index is built in place, after
    // the maps it points into have settled.
    static Rules instance = build();
    static const bool indexed = (instance.build_index(), true);
    (void)indexed;
    return instance;
}

} // namespace vanto::engine
