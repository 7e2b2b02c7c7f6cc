#include "text.h"

namespace vanto::engine {

namespace {

// Blocks where upper and lower case alternate: the even code point is the
// capital when upper_even is true, the odd one otherwise.
struct PairedRange {
    char32_t first, last;
    bool upper_even;
};

// The blocks do not overlap; those with Vietnamese letters come first, as
// they are met most.
constexpr PairedRange kPaired[] = {
    {0x1EA0, 0x1EFF, true},  {0x01AF, 0x01B0, false}, {0x01A0, 0x01A1, true},
    {0x0100, 0x012F, true},  {0x014A, 0x0177, true},  {0x0132, 0x0137, true},
    {0x0139, 0x0148, false}, {0x0179, 0x017E, false}, {0x1E00, 0x1E95, true},
};

const PairedRange* paired_range(char32_t c) {
    for (const auto& r : kPaired)
        if (c >= r.first && c <= r.last) return &r;
    return nullptr;
}

} // namespace

char32_t to_lower_any(char32_t c) {
    if (c < 0x80) return (c >= U'A' && c <= U'Z') ? c + 0x20 : c;
    if (c < 0x100) return (c >= 0xC0 && c <= 0xDE && c != 0xD7) ? c + 0x20 : c;
    if (c == 0x178) return 0xFF;
    if (c == 0x1E9E) return 0xDF;
    if (c == 0x212A) return U'k';
    if (c == 0x212B) return 0xE5;
    if (const PairedRange* r = paired_range(c)) {
        bool is_upper = ((c % 2 == 0) == r->upper_even);
        return is_upper ? c + 1 : c;
    }
    // U+0130 lower-cases to two characters and is left as it is.
    return c;
}

char32_t to_upper(char32_t c) {
    if (c < 0x80) return (c >= U'a' && c <= U'z') ? c - 0x20 : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    if (c == 0xFF) return 0x178;
    if (const PairedRange* r = paired_range(c)) {
        bool is_upper = ((c % 2 == 0) == r->upper_even);
        return is_upper ? c : c - 1;
    }
    return c;
}

std::size_t utf8_length(TextView text) {
    std::size_t n = 0;
    for (char32_t c : text) n += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    return n;
}

char* write_utf8(char* out, TextView text) {
    for (char32_t c : text) {
        if (c < 0x80) {
            *out++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *out++ = static_cast<char>(0xC0 | (c >> 6));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *out++ = static_cast<char>(0xE0 | (c >> 12));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *out++ = static_cast<char>(0xF0 | (c >> 18));
            *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void append_utf8(std::string& out, TextView text) {
    std::size_t at = out.size();
    out.resize(at + utf8_length(text));
    write_utf8(out.data() + at, text);
}

} // namespace vanto::engine
