#include "portable_property_lists.h"

#include "settings/unicode.h"

#include <plist/plist.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace vanto {

namespace {

// Every node we create or parse is a tree root owned here and freed once;
// nodes reached inside a tree are borrowed from it.
struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using OwnedPlist = std::unique_ptr<void, PlistFree>;

struct MallocFree {
    void operator()(void* p) const { std::free(p); }
};

// Deeper trees than this are not settings; refusing them keeps a hostile
// file from exhausting the stack.
constexpr int kMaxDepth = 256;

// libplist takes texts as C strings and writes whatever bytes it is given:
// a NUL would cut the text short, and bytes that are not UTF-8 come back
// mangled, so both are refused rather than stored wrongly.
bool storable(const std::string& text) {
    return text.find('\0') == std::string::npos && fromUtf16(toUtf16(text)) == text;
}

OwnedPlist toNode(const PlistValue& value, int depth) {
    if (depth > kMaxDepth) return nullptr;
    if (const auto* b = std::get_if<bool>(&value)) return OwnedPlist(plist_new_bool(*b));
    // Signed on purpose: eight-byte integers in the binary format are signed.
    if (const auto* i = std::get_if<std::int64_t>(&value))
        return OwnedPlist(plist_new_uint(static_cast<std::uint64_t>(*i)));
    if (const auto* s = std::get_if<std::string>(&value))
        return storable(*s) ? OwnedPlist(plist_new_string(s->c_str())) : nullptr;
    if (const auto* d = std::get_if<Bytes>(&value))
        return OwnedPlist(plist_new_data(reinterpret_cast<const char*>(d->data()), d->size()));
    if (const auto* a = std::get_if<PlistArray>(&value)) {
        OwnedPlist array(plist_new_array());
        for (const PlistValue& item : *a) {
            OwnedPlist node = toNode(item, depth + 1);
            if (!node) return nullptr;
            plist_array_append_item(array.get(), node.release()); // the array owns it now
        }
        return array;
    }
    OwnedPlist dict(plist_new_dict());
    for (const auto& [key, item] : std::get<PlistDictionary>(value)) {
        OwnedPlist node = toNode(item, depth + 1);
        if (!node || !storable(key)) return nullptr;
        plist_dict_set_item(dict.get(), key.c_str(), node.release());
    }
    return dict;
}

std::optional<PlistValue> fromNode(plist_t node, int depth) {
    if (!node || depth > kMaxDepth) return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return PlistValue(b != 0);
    }
    case PLIST_UINT: {
        std::uint64_t i = 0;
        plist_get_uint_val(node, &i);
        return PlistValue(static_cast<std::int64_t>(i));
    }
    case PLIST_STRING: {
        std::uint64_t length = 0;
        const char* s = plist_get_string_ptr(node, &length);
        std::string text(s ? s : "", s ? length : 0);
        // What could not be written back is not read either: a value read
        // is a value the next save can keep.
        if (!storable(text)) return std::nullopt;
        return std::optional<PlistValue>(std::in_place, std::move(text));
    }
    case PLIST_DATA: {
        std::uint64_t length = 0;
        const auto* d = reinterpret_cast<const std::uint8_t*>(plist_get_data_ptr(node, &length));
        return PlistValue(d ? Bytes(d, d + length) : Bytes());
    }
    case PLIST_ARRAY: {
        PlistArray array;
        array.reserve(plist_array_get_size(node));
        // An iterator, not the index: libplist 2.2 finds the n-th item of a
        // parsed array by walking to it, which made long lists quadratic.
        plist_array_iter raw = nullptr;
        plist_array_new_iter(node, &raw);
        const std::unique_ptr<void, MallocFree> iter(raw);
        for (;;) {
            plist_t child = nullptr;
            plist_array_next_item(node, iter.get(), &child);
            if (!child) break;
            auto item = fromNode(child, depth + 1);
            if (!item) return std::nullopt;
            array.push_back(std::move(*item));
        }
        return std::optional<PlistValue>(std::in_place, std::move(array));
    }
    case PLIST_DICT: {
        PlistDictionary dict;
        plist_dict_iter raw = nullptr;
        plist_dict_new_iter(node, &raw);
        const std::unique_ptr<void, MallocFree> iter(raw); // libplist 2.2 mallocs it
        for (;;) {
            char* rawKey = nullptr;
            plist_t item = nullptr;
            plist_dict_next_item(node, iter.get(), &rawKey, &item);
            const std::unique_ptr<char, MallocFree> key(rawKey);
            if (!key) break;
            auto value = fromNode(item, depth + 1);
            if (!value || !storable(key.get())) return std::nullopt;
            dict.insert_or_assign(std::string(key.get()), std::move(*value));
        }
        return std::optional<PlistValue>(std::in_place, std::move(dict));
    }
    default: // reals, dates and keyed-archive identifiers have no place in our trees
        return std::nullopt;
    }
}

} // namespace

std::optional<Bytes> PortablePropertyLists::encode(const PlistValue& value) const {
    const OwnedPlist root = toNode(value, 0);
    if (!root) return std::nullopt;
    char* raw = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(root.get(), &raw, &length);
    if (!raw) return std::nullopt;
    Bytes bytes(reinterpret_cast<const std::uint8_t*>(raw),
                reinterpret_cast<const std::uint8_t*>(raw) + length);
    plist_to_bin_free(raw);
    return bytes;
}

std::optional<Bytes> PortablePropertyLists::encodeXml(const PlistValue& value) const {
    const OwnedPlist root = toNode(value, 0);
    if (!root) return std::nullopt;
    char* raw = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root.get(), &raw, &length);
    if (!raw) return std::nullopt;
    Bytes bytes(reinterpret_cast<const std::uint8_t*>(raw),
                reinterpret_cast<const std::uint8_t*>(raw) + length);
    plist_to_xml_free(raw);
    return bytes;
}

namespace {

OwnedPlist parse(std::span<const std::uint8_t> bytes) {
    static constexpr char kBinaryMagic[] = "bplist00";
    if (bytes.empty() || bytes.size() > std::numeric_limits<std::uint32_t>::max()) return nullptr;
    const auto* data = reinterpret_cast<const char*>(bytes.data());
    const auto length = static_cast<std::uint32_t>(bytes.size());
    plist_t raw = nullptr;
    if (bytes.size() >= 8 && std::memcmp(data, kBinaryMagic, 8) == 0)
        plist_from_bin(data, length, &raw);
    else {
        // A NUL after the end, in case the parser looks one byte past it.
        const std::string text(data, length);
        plist_from_xml(text.c_str(), length, &raw);
    }
    return OwnedPlist(raw);
}

} // namespace

std::optional<PlistValue> PortablePropertyLists::decode(std::span<const std::uint8_t> bytes) const {
    const OwnedPlist root = parse(bytes);
    return fromNode(root.get(), 0);
}

std::optional<PlistDictionary>
PortablePropertyLists::decodeEntries(std::span<const std::uint8_t> bytes,
                                     std::vector<std::string>& skipped) const {
    const OwnedPlist root = parse(bytes);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT) return std::nullopt;
    PlistDictionary dict;
    plist_dict_iter raw = nullptr;
    plist_dict_new_iter(root.get(), &raw);
    const std::unique_ptr<void, MallocFree> iter(raw);
    for (;;) {
        char* rawKey = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(root.get(), iter.get(), &rawKey, &item);
        const std::unique_ptr<char, MallocFree> key(rawKey);
        if (!key) break;
        auto value = fromNode(item, 1);
        if (value && storable(key.get()))
            dict.insert_or_assign(std::string(key.get()), std::move(*value));
        else
            skipped.emplace_back(key.get());
    }
    return dict;
}

} // namespace vanto
