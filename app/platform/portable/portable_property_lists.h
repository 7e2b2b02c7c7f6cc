// Property lists through libplist.
#pragma once

#include "platform/property_list.h"

#include <string>
#include <vector>

namespace vanto {

class PortablePropertyLists final : public PropertyLists {
  public:
    std::optional<Bytes> encode(const PlistValue& value) const override;
    std::optional<Bytes> encodeXml(const PlistValue& value) const override;
    std::optional<PlistValue> decode(std::span<const std::uint8_t> bytes) const override;
    // A dictionary at the root, entry by entry: an entry that cannot be read
    // (a real, a date, a text that is not UTF-8) is left out and its key
    // added to skipped, so one strange value costs only itself. Nothing when
    // the bytes are no property list or the root is no dictionary.
    std::optional<PlistDictionary> decodeEntries(std::span<const std::uint8_t> bytes,
                                                 std::vector<std::string>& skipped) const;
};

} // namespace vanto
