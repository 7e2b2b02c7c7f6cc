#include "english_priors.h"

#include <algorithm>

namespace vanto::englishPriors {

std::optional<int> share(std::string_view keys) {
    const Entry* end = kEntries + kEntryCount;
    const Entry* it = std::lower_bound(
        kEntries, end, keys, [](const Entry& e, std::string_view k) { return e.keys < k; });
    if (it == end || it->keys != keys) return std::nullopt;
    return it->share;
}

} // namespace vanto::englishPriors
