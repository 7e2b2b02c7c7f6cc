#include "english_priors.h"

#include <algorithm>

namespace vanto::englishPriors {

const Entry* find(std::string_view keys) {
    const Entry* end = kEntries + kEntryCount;
    const Entry* it = std::lower_bound(
        kEntries, end, keys, [](const Entry& e, std::string_view k) { return e.keys < k; });
    return it != end && it->keys == keys ? it : nullptr;
}

} // namespace vanto::englishPriors
