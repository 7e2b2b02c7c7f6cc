// Drives the whole C interface with random operations and checks the engine's
// invariants after every call.
#include "vanto/engine.h"

#include "engine_ops.h"
#include "engine_state.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using vanto::fuzz::Input;
using vanto::fuzz::kPalette;

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "engine_fuzz: invariant broken: %s\n", what);
        std::abort();
    }
}

std::size_t utf8_chars(const char* s, std::size_t n) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < n; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) ++count;
    return count;
}

void check(vt_engine* e) {
    const auto& s = e->engine.state;
    const std::size_t n = s.raw.size();
    require(s.results.size() == n, "one result per key");
    require(vt_engine_raw_len(e) == n, "raw_len");
    require(vt_engine_state_stack_len(e) <= 2, "at most two finished words");
    const uint64_t bytes = vt_engine_text(e, 0, nullptr, 0);
    char* text = static_cast<char*>(std::malloc(bytes + 1));
    require(vt_engine_text(e, 0, text, bytes) == bytes, "text length stable");
    require(utf8_chars(text, bytes) == vt_engine_result_len(e), "result_len counts characters");
    std::free(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    vt_engine* e = vt_engine_new();
    Input in{data, size};
    while (!in.empty()) {
        const uint8_t op = in.byte();
        switch (op % 16) {
        case 8:
            vt_engine_add_key(e, in.word()); // surrogates and out-of-range values too
            break;
        case 9:
            vt_engine_backspace(e);
            break;
        case 10:
            vt_engine_delete_char(e);
            break;
        case 11:
            vt_engine_push_state(e);
            break;
        case 12:
            vt_engine_pop_state(e);
            break;
        case 13: {
            const uint8_t bits = in.byte();
            vt_engine_configure(e, bits & 1, (bits >> 1) & 1, (bits >> 2) & 1, (bits >> 3) & 1,
                                (bits >> 4) & 1);
            break;
        }
        case 14:
            if (in.byte() == 0) vt_engine_reset(e);
            break;
        case 15: {
            const uint32_t kind = in.byte() % 4;
            const uint64_t capacity = in.byte() % 12;
            char buffer[16];
            std::memset(buffer, 0x7F, sizeof buffer);
            const uint64_t length = vt_engine_text(e, kind, buffer, capacity);
            if (length > capacity) {
                for (char c : buffer) require(c == 0x7F, "nothing written to a short buffer");
            } else {
                require(buffer[length] == 0x7F, "no byte written past the text");
            }
            break;
        }
        default:
            vt_engine_add_key(e, kPalette[in.byte() % (std::size(kPalette) - 1)]);
            break;
        }
        check(e);
    }
    require(vt_engine_failure_count(e) == 0, "no internal failure");
    vt_engine_free(e);
    return 0;
}
