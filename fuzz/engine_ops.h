// What the engine fuzz targets share: the keys worth typing and the reader of
// the operation bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vanto::fuzz {

// Keys worth typing: Telex and digit keys of both cases, plain letters,
// separators, precomposed Vietnamese letters and other scripts.
constexpr char32_t kPalette[] = U"aeiouydwsfrxjzAEIOUYDWSFRXJZ0123456789bcghklmnpqtv "
                                U".,@ăâêôơưđĂÂÊÔƠƯĐáàảãạệỳữ\u0130\u212A\u00DF\u03A3あ😀";

struct Input {
    const uint8_t* data;
    std::size_t size, at = 0;
    bool empty() const { return at >= size; }
    uint8_t byte() { return at < size ? data[at++] : 0; }
    uint32_t word() {
        uint32_t w = 0;
        for (int i = 0; i < 4; ++i) w = (w << 8) | byte();
        return w;
    }
};

} // namespace vanto::fuzz
