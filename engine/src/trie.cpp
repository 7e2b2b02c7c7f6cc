#include "trie.h"

#include <algorithm>

namespace vanto::engine {

bool TrieWalk::step(char32_t c) {
    if (!alive_) return false;
    const char32_t folded = to_lower(c);
    const std::uint32_t* first = trie_.labels + trie_.offsets[node_];
    const std::uint32_t* last = trie_.labels + trie_.offsets[node_ + 1];
    const std::uint32_t* found = std::lower_bound(first, last, static_cast<std::uint32_t>(folded));
    if (found == last || *found != folded) return alive_ = false;
    node_ = trie_.targets[found - trie_.labels];
    if (strict_ && !(trie_.flags[node_] & STRICT_PATH)) return alive_ = false;
    return true;
}

bool TrieWalk::step(TextView text) {
    for (char32_t c : text)
        if (!step(c)) return false;
    return alive_;
}

std::uint8_t TrieWalk::answer(std::uint8_t mask) const {
    if (!alive_) return NO_PATH;
    return (trie_.flags[node_] & mask) ? ENTRY : PATH;
}

std::uint8_t lookup(const Trie& trie, TextView word, std::uint8_t mask, bool strict) {
    TrieWalk walk(trie, strict);
    walk.step(word);
    return walk.answer(mask);
}

ChildIndex::ChildIndex(const Trie& trie) : trie_(trie) {
    row_of_.assign(trie.nodes, 0);
    std::uint32_t rows = 0;
    for (std::uint32_t node = 0; node < trie.nodes; ++node) {
        if (trie.offsets[node + 1] - trie.offsets[node] <= kNarrow) continue;
        bool fits = trie.offsets[node + 1] - trie.offsets[node] <= 255 && rows < 0xFFFF;
        for (std::uint32_t e = trie.offsets[node]; e < trie.offsets[node + 1] && fits; ++e) {
            const std::uint32_t label = trie.labels[e];
            fits = label < kLabels && (column_of_[label] != 0 || columns_ < 255);
            if (fits && column_of_[label] == 0)
                column_of_[label] = static_cast<std::uint8_t>(++columns_);
        }
        if (!fits) {
            // Too large to index: every node is searched.
            row_of_.assign(trie.nodes, 0);
            return;
        }
        row_of_[node] = static_cast<std::uint16_t>(++rows);
    }
    rows_.assign(std::size_t{rows} * columns_, 0);
    for (std::uint32_t node = 0; node < trie.nodes; ++node) {
        if (row_of_[node] == 0) continue;
        std::uint8_t* row = rows_.data() + std::size_t{row_of_[node] - 1u} * columns_;
        const std::uint32_t first = trie.offsets[node];
        for (std::uint32_t e = first; e < trie.offsets[node + 1]; ++e)
            row[column_of_[trie.labels[e]] - 1] = static_cast<std::uint8_t>(e - first + 1);
    }
}

const ChildIndex* child_index(const Trie& trie) {
    using namespace generated;
    if (&trie == &trie_off_off) {
        static const ChildIndex index(trie_off_off);
        return &index;
    }
    if (&trie == &trie_on_off) {
        static const ChildIndex index(trie_on_off);
        return &index;
    }
    if (&trie == &trie_off_on) {
        static const ChildIndex index(trie_off_on);
        return &index;
    }
    if (&trie == &trie_on_on) {
        static const ChildIndex index(trie_on_on);
        return &index;
    }
    if (&trie == &english_words) {
        static const ChildIndex index(english_words);
        return &index;
    }
    return nullptr;
}

template <class At>
std::uint8_t TrieCache::walk(const Trie& trie, std::size_t n, At at, std::uint8_t mask,
                             bool strict) {
    if (&trie != trie_ || strict != strict_) {
        trie_ = &trie;
        index_ = child_index(trie);
        strict_ = strict;
        size_ = 0;
        dead_end_ = false;
    }
    std::size_t i = 0;
    const std::size_t common = std::min(n, size_);
    while (i < common && chars_[i] == at(i)) ++i;
    if (i == size_ && dead_end_ && i < n && chars_[i] == at(i)) return NO_PATH;
    size_ = i;
    dead_end_ = false;
    std::uint32_t node = nodes_[i];
    for (; i < n; ++i) {
        const char32_t c = at(i);
        const std::uint32_t folded = to_lower(c);
        std::int64_t edge;
        if (index_ != nullptr) {
            edge = index_->edge(node, folded);
        } else {
            const std::uint32_t* first = trie.labels + trie.offsets[node];
            const std::uint32_t* last = trie.labels + trie.offsets[node + 1];
            const std::uint32_t* found = std::lower_bound(first, last, folded);
            edge = found != last && *found == folded ? found - trie.labels : -1;
        }
        const bool followed =
            edge >= 0 && (!strict || (trie.flags[trie.targets[edge]] & STRICT_PATH));
        if (i < kRoom) chars_[i] = c;
        if (!followed) {
            dead_end_ = i < kRoom;
            return NO_PATH;
        }
        node = trie.targets[edge];
        if (i < kRoom) {
            nodes_[i + 1] = node;
            size_ = i + 1;
        }
    }
    return (trie.flags[node] & mask) ? ENTRY : PATH;
}

std::uint8_t TrieCache::lookup(const Trie& trie, TextView word, std::uint8_t mask, bool strict) {
    const char32_t* text = word.data();
    return walk(
        trie, word.size(), [text](std::size_t i) { return text[i]; }, mask, strict);
}

std::uint8_t TrieCache::lookup(const Trie& trie, TextView head, char32_t c, std::uint8_t mask,
                               bool strict) {
    const char32_t* text = head.data();
    const std::size_t size = head.size();
    auto at = [text, size, c](std::size_t i) { return i < size ? text[i] : c; };
    return walk(trie, size + 1, at, mask, strict);
}

const Trie& word_trie(bool spell_check, bool std_tone) {
    if (spell_check) return std_tone ? generated::trie_on_on : generated::trie_on_off;
    return std_tone ? generated::trie_off_on : generated::trie_off_off;
}

const Trie& english_trie() {
    return generated::english_words;
}

const char32_t* const short_english_words[40] = {
    U"as",  U"if",  U"is",  U"of",  U"or",  U"us",  U"air", U"bar", U"box", U"bus",
    U"car", U"ear", U"err", U"far", U"fax", U"fix", U"for", U"fox", U"fur", U"gas",
    U"has", U"her", U"his", U"its", U"jar", U"max", U"mix", U"nor", U"off", U"our",
    U"per", U"sex", U"sir", U"six", U"tar", U"tax", U"war", U"was", U"wax", U"yes",
};

bool is_english_word(TextView word) {
    TrieCache cache;
    return is_english_word(word, cache);
}

bool is_english_word(TextView word, TrieCache& cache) {
    if (word.size() > 3)
        return cache.lookup(english_trie(), word.substr(0, 7), STRICT_WORD, false) == ENTRY;
    if (word.empty()) return false;
    for (const char32_t* entry : short_english_words) {
        TextView candidate(entry);
        if (candidate.size() != word.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < word.size() && same; ++i)
            same = to_lower(word[i]) == candidate[i];
        if (same) return true;
    }
    return false;
}

bool is_english_with_key(TextView raw, char32_t key) {
    TrieCache cache;
    return is_english_with_key(raw, key, cache);
}

bool is_english_with_key(TextView raw, char32_t key, TrieCache& cache) {
    return cache.lookup(english_trie(), raw, key, STRICT_WORD, false) == ENTRY;
}

std::pair<TextView, TextView> split_onset(TextView word, bool spell_check) {
    if (spell_check) return {TextView(), word};
    if (word.size() > 2) {
        for (TextView prefix : {U"qu", U"QU", U"Qu", U"qU", U"gi", U"GI", U"Gi", U"gI"})
            if (word.substr(0, 2) == prefix) return {word.substr(0, 2), word.substr(2)};
    }
    constexpr TextView consonants = U"qwrtpsdfghjklzxcvbnmQWRTPSDFGHJKLZXCVBNMđĐ";
    std::size_t k = 0;
    while (k < word.size() && consonants.find(word[k]) != TextView::npos) ++k;
    if (word.empty() || k == 0 || k == word.size() ||
        (k == 1 && (word[0] == U'd' || word[0] == U'D')))
        return {TextView(), word};
    return {word.substr(0, k), word.substr(k)};
}

} // namespace vanto::engine
