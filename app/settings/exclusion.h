// The user's exclusions: applications and web sites in which Vanto types
// nothing, and the pattern rule shared with the built-in application lists.
#pragma once

#include "platform/property_list.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vanto {

// id is an application pattern (a bundle identifier, possibly with "*") or
// an address pattern starting with "http://" or "https://".
struct Exclusion {
    std::string id;
    bool enabled = true;
    bool operator==(const Exclusion&) const = default;
};

// Case-insensitive match of text against a pattern in which "*" stands for
// any run of characters, none included. Characters are grapheme clusters.
bool matches(std::string_view pattern, std::string_view text);

// Whether any pattern accepts text: by matches() when it has a "*", else by
// case-insensitive equality. False for no patterns.
bool matchesAny(const std::vector<std::string>& patterns, std::string_view text);

// The stored form: a binary property list, an array of dictionaries with the
// keys "id" (text) and "enabled" (Boolean). Decoding fails as a whole when
// any entry lacks either key or has it with another type.
std::optional<std::vector<Exclusion>> decodeExclusions(const PropertyLists& plists,
                                                       std::span<const std::uint8_t> bytes);
std::optional<Bytes> encodeExclusions(const PropertyLists& plists,
                                      const std::vector<Exclusion>& exclusions);

} // namespace vanto
