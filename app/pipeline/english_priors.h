// How often the keys of a word are meant as English rather than as
// Vietnamese, counted in English and Vietnamese documents (the table is
// generated from data/english_priors.tsv).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vanto::englishPriors {

struct Entry {
    std::string_view keys; // lowercase ASCII letters
    std::uint16_t share;   // per mille meant as English
};

// Sorted by keys.
extern const Entry kEntries[];
extern const std::size_t kEntryCount;

// The share of keys (lowercase ASCII letters), or nothing when the keys were
// not counted. Allocates nothing.
std::optional<int> share(std::string_view keys);

} // namespace vanto::englishPriors
