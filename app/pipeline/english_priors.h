// How often the keys of a word are meant as English rather than as
// Vietnamese, counted in English and Vietnamese documents (the table is
// generated from data/english_priors.tsv).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vanto::englishPriors {

struct Entry {
    std::string_view keys;     // lowercase ASCII letters
    std::int16_t share;        // per mille meant as English
    std::int16_t capitalShare; // the same, written with a capital; -1: too rare to tell
};

// Sorted by keys.
extern const Entry kEntries[];
extern const std::size_t kEntryCount;

// The entry of keys (lowercase ASCII letters), or null when the keys were
// not counted. Allocates nothing.
const Entry* find(std::string_view keys);

} // namespace vanto::englishPriors
