#include "exclusion.h"

#include "settings/unicode.h"

namespace vanto {

namespace {

constexpr std::string_view kIdKey = "id";
constexpr std::string_view kEnabledKey = "enabled";

} // namespace

bool matches(std::string_view pattern, std::string_view text) {
    const std::string lowerPattern = lowercased(pattern), lowerText = lowercased(text);
    const std::vector<std::string_view> p = graphemes(lowerPattern), t = graphemes(lowerText);
    // Greedy; on a mismatch the most recent star takes one more character and
    // the rest is tried again. Earlier stars never need retrying: whatever
    // more they could take, the later star can take instead.
    std::size_t pi = 0, ti = 0, star = 0, mark = 0;
    bool haveStar = false;
    while (ti < t.size()) {
        if (pi < p.size() && p[pi] != "*" && p[pi] == t[ti]) {
            ++pi;
            ++ti;
        } else if (pi < p.size() && p[pi] == "*") {
            haveStar = true;
            star = pi++;
            mark = ti;
        } else if (haveStar) {
            pi = star + 1;
            ti = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == "*") ++pi;
    return pi == p.size();
}

bool matchesAny(const std::vector<std::string>& patterns, std::string_view text) {
    for (const std::string& pattern : patterns) {
        const bool hit = pattern.find('*') != std::string::npos
                             ? matches(pattern, text)
                             : lowercased(pattern) == lowercased(text);
        if (hit) return true;
    }
    return false;
}

std::optional<std::vector<Exclusion>> decodeExclusions(const PropertyLists& plists,
                                                       std::span<const std::uint8_t> bytes) {
    const auto root = plists.decode(bytes);
    const auto* array = root ? std::get_if<PlistArray>(&*root) : nullptr;
    if (!array) return std::nullopt;
    std::vector<Exclusion> exclusions;
    exclusions.reserve(array->size());
    for (const PlistValue& item : *array) {
        const auto* dict = std::get_if<PlistDictionary>(&item);
        if (!dict) return std::nullopt;
        const auto id = dict->find(kIdKey);
        const auto enabled = dict->find(kEnabledKey);
        if (id == dict->end() || enabled == dict->end()) return std::nullopt;
        const auto* idText = std::get_if<std::string>(&id->second);
        const auto* enabledFlag = std::get_if<bool>(&enabled->second);
        if (!idText || !enabledFlag) return std::nullopt;
        exclusions.push_back({*idText, *enabledFlag});
    }
    return exclusions;
}

std::optional<Bytes> encodeExclusions(const PropertyLists& plists,
                                      const std::vector<Exclusion>& exclusions) {
    PlistArray array;
    array.reserve(exclusions.size());
    for (const Exclusion& exclusion : exclusions)
        array.push_back(PlistDictionary{{std::string(kIdKey), exclusion.id},
                                        {std::string(kEnabledKey), exclusion.enabled}});
    return plists.encode(std::move(array));
}

} // namespace vanto
