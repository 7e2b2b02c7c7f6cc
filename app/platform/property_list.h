// Port: property lists, the system's format for small typed value trees.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace vanto {

using Bytes = std::vector<std::uint8_t>;

struct PlistValue;
using PlistArray = std::vector<PlistValue>;
using PlistDictionary = std::map<std::string, PlistValue, std::less<>>;

// One node: a Boolean, an integer, a text, bytes, an array or a dictionary.
// Texts are UTF-8.
struct PlistValue
    : std::variant<bool, std::int64_t, std::string, Bytes, PlistArray, PlistDictionary> {
    using variant::variant;
};

class PropertyLists {
  public:
    virtual ~PropertyLists() = default;
    // The value in the binary format; nothing when it cannot be written
    // faithfully (a text that is not UTF-8 or holds a NUL).
    virtual std::optional<Bytes> encode(const PlistValue& value) const = 0;
    // The same in the XML format, for files people and system tools read.
    virtual std::optional<Bytes> encodeXml(const PlistValue& value) const = 0;
    // The value of a binary or XML property list; nothing when the bytes are
    // malformed or hold a kind of node the tree above has no place for.
    virtual std::optional<PlistValue> decode(std::span<const std::uint8_t> bytes) const = 0;
};

} // namespace vanto
