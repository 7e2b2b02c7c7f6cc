// Property lists through NSPropertyListSerialization, in the binary and XML
// formats, mapped onto the value tree of the port.
#import <Foundation/Foundation.h>

#include "platform/macos/mac_adapters.h"
#include "platform/macos/ns_text.h"

#include <CoreFoundation/CoreFoundation.h>

#include <cstring>
#include <string>

namespace vanto::mac {

namespace {

// Deeper trees than this are not ours; refusing them keeps a hostile file
// from exhausting the stack.
constexpr int kMaxDepth = 256;

id toObject(const PlistValue& value, int depth) {
    if (depth > kMaxDepth) return nil;
    if (const auto* b = std::get_if<bool>(&value)) return *b ? @YES : @NO;
    if (const auto* i = std::get_if<std::int64_t>(&value)) return @(*i);
    if (const auto* s = std::get_if<std::string>(&value)) return makeStringWithoutNul(*s);
    if (const auto* d = std::get_if<Bytes>(&value))
        return [NSData dataWithBytes:d->data() length:d->size()];
    if (const auto* a = std::get_if<PlistArray>(&value)) {
        NSMutableArray* array = [NSMutableArray arrayWithCapacity:a->size()];
        for (const PlistValue& item : *a) {
            id object = toObject(item, depth + 1);
            if (!object) return nil;
            [array addObject:object];
        }
        return array;
    }
    NSMutableDictionary* dictionary = [NSMutableDictionary dictionary];
    for (const auto& [key, item] : std::get<PlistDictionary>(value)) {
        NSString* name = makeStringWithoutNul(key);
        id object = toObject(item, depth + 1);
        if (!name || !object) return nil;
        dictionary[name] = object;
    }
    return dictionary;
}

std::optional<PlistValue> fromNumber(NSNumber* number) {
    // Both kinds arrive as NSNumber; the Booleans are the two CFBoolean
    // objects. Reals have no place in the tree.
    if (CFGetTypeID((__bridge CFTypeRef)number) == CFBooleanGetTypeID())
        return PlistValue(static_cast<bool>(number.boolValue));
    const char* type = number.objCType;
    if (!type || type[0] == 'f' || type[0] == 'd') return std::nullopt;
    // Integers above the signed range keep their 64 bits, as the portable
    // reader gives them.
    if (std::strcmp(type, @encode(unsigned long long)) == 0)
        return PlistValue(static_cast<std::int64_t>(number.unsignedLongLongValue));
    return PlistValue(static_cast<std::int64_t>(number.longLongValue));
}

std::optional<PlistValue> fromObject(id object, int depth) {
    if (!object || depth > kMaxDepth) return std::nullopt;
    if ([object isKindOfClass:[NSString class]]) {
        auto text = utf8(object);
        if (!text) return std::nullopt;
        return PlistValue(std::move(*text));
    }
    if ([object isKindOfClass:[NSNumber class]]) return fromNumber(object);
    if ([object isKindOfClass:[NSData class]]) {
        NSData* data = object;
        const auto* bytes = static_cast<const std::uint8_t*>(data.bytes);
        return PlistValue(Bytes(bytes, bytes + data.length));
    }
    if ([object isKindOfClass:[NSArray class]]) {
        PlistArray array;
        array.reserve([object count]);
        for (id item in static_cast<NSArray*>(object)) {
            auto value = fromObject(item, depth + 1);
            if (!value) return std::nullopt;
            array.push_back(std::move(*value));
        }
        return PlistValue(std::move(array));
    }
    if ([object isKindOfClass:[NSDictionary class]]) {
        PlistDictionary dictionary;
        NSDictionary* source = object;
        for (id key in source) {
            if (![key isKindOfClass:[NSString class]]) return std::nullopt;
            auto name = utf8(key);
            auto value = fromObject(source[key], depth + 1);
            if (!name || !value) return std::nullopt;
            dictionary.insert_or_assign(std::move(*name), std::move(*value));
        }
        return PlistValue(std::move(dictionary));
    }
    return std::nullopt; // dates, reals and keyed-archive identifiers
}

std::optional<Bytes> serialise(const PlistValue& value, NSPropertyListFormat format) {
    @autoreleasepool {
        id object = toObject(value, 0);
        if (!object) return std::nullopt;
        NSError* error = nil;
        NSData* data = [NSPropertyListSerialization dataWithPropertyList:object
                                                                  format:format
                                                                 options:0
                                                                   error:&error];
        if (!data) return std::nullopt;
        const auto* bytes = static_cast<const std::uint8_t*>(data.bytes);
        return Bytes(bytes, bytes + data.length);
    }
}

class MacPropertyLists final : public PropertyLists {
  public:
    std::optional<Bytes> encode(const PlistValue& value) const override {
        return serialise(value, NSPropertyListBinaryFormat_v1_0);
    }

    std::optional<Bytes> encodeXml(const PlistValue& value) const override {
        return serialise(value, NSPropertyListXMLFormat_v1_0);
    }

    std::optional<PlistValue> decode(std::span<const std::uint8_t> bytes) const override {
        if (bytes.empty()) return std::nullopt;
        @autoreleasepool {
            NSData* data = [NSData dataWithBytes:bytes.data() length:bytes.size()];
            NSPropertyListFormat format = NSPropertyListBinaryFormat_v1_0;
            NSError* error = nil;
            id object = [NSPropertyListSerialization propertyListWithData:data
                                                                  options:NSPropertyListImmutable
                                                                   format:&format
                                                                    error:&error];
            // The reader also takes the old OpenStep text format, which the
            // port does not: a bare word would read as a string.
            if (!object || (format != NSPropertyListBinaryFormat_v1_0 &&
                            format != NSPropertyListXMLFormat_v1_0))
                return std::nullopt;
            return fromObject(object, 0);
        }
    }
};

} // namespace

std::unique_ptr<PropertyLists> makePropertyLists() {
    return std::make_unique<MacPropertyLists>();
}

} // namespace vanto::mac
