// Property lists through libplist.
#pragma once

#include "platform/property_list.h"

namespace vanto {

class PortablePropertyLists final : public PropertyLists {
  public:
    std::optional<Bytes> encode(const PlistValue& value) const override;
    std::optional<Bytes> encodeXml(const PlistValue& value) const override;
    std::optional<PlistValue> decode(std::span<const std::uint8_t> bytes) const override;
};

} // namespace vanto
