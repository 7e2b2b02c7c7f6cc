// Drives the engine and its frozen reference copy with the same operations
// (the engine fuzz target's input format) and stops at the first difference
// in the keys, the shown or the committed text, a returned count, the history
// or the failure count.
#include "vanto/engine.h"

#include "engine_ops.h"
#include "engine_state.h" // the reference engine

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

namespace ref = vanto::reference;
using vanto::fuzz::Input;
using vanto::fuzz::kPalette;

std::string utf8(std::u32string_view text) {
    std::string out;
    vanto::reference::append_utf8(out, text);
    return out;
}

std::string engine_text(const vt_engine* e, uint32_t kind) {
    std::string out(vt_engine_text(e, kind, nullptr, 0), '\0');
    vt_engine_text(e, kind, out.data(), out.size());
    return out;
}

void differ(const char* what, const std::string& now, const std::string& before) {
    std::fprintf(stderr, "differential_fuzz: %s differs: engine \"%s\", reference \"%s\"\n", what,
                 now.c_str(), before.c_str());
    std::abort();
}

void same(const char* what, uint64_t now, uint64_t before) {
    if (now != before) differ(what, std::to_string(now), std::to_string(before));
}

void compare(const vt_engine* e, const ref::Engine& r) {
    const ref::State& s = r.state;
    const std::pair<uint32_t, std::string> texts[] = {
        {VT_ENGINE_TEXT_RAW, utf8(s.raw)},
        {VT_ENGINE_TEXT_RESULT, utf8(s.result())},
        {VT_ENGINE_TEXT_COMMITTED, utf8(ref::committed_text(r))},
    };
    const char* names[] = {"keys", "shown text", "committed text"};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string now = engine_text(e, texts[i].first);
        if (now != texts[i].second) differ(names[i], now, texts[i].second);
    }
    same("key count", vt_engine_raw_len(e), s.raw.size());
    same("shown length", vt_engine_result_len(e), s.result().size());
    same("history", vt_engine_state_stack_len(e), r.history.size());
    same("failure count", vt_engine_failure_count(e), 0);
}

bool valid_key(uint32_t k) {
    return !((k >= 0xD800 && k <= 0xDFFF) || k > 0x10FFFF);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    vt_engine* e = vt_engine_new();
    ref::Engine r;
    Input in{data, size};
    while (!in.empty()) {
        const uint8_t op = in.byte();
        switch (op % 16) {
        case 8: {
            const uint32_t key = in.word();
            vt_engine_add_key(e, key);
            if (valid_key(key)) ref::type_key(r, static_cast<char32_t>(key));
            break;
        }
        case 9:
            vt_engine_backspace(e);
            ref::backspace(r);
            break;
        case 10:
            vt_engine_delete_char(e);
            ref::guarded_delete_char(r);
            break;
        case 11:
            same("push_state", vt_engine_push_state(e), ref::guarded_push_state(r));
            break;
        case 12:
            same("pop_state", vt_engine_pop_state(e), ref::pop_state(r));
            break;
        case 13: {
            const uint8_t bits = in.byte();
            vt_engine_configure(e, bits & 1, (bits >> 1) & 1, (bits >> 2) & 1, (bits >> 3) & 1,
                                (bits >> 4) & 1);
            r.configure(bits & 1, (bits >> 1) & 1, (bits >> 2) & 1, (bits >> 3) & 1,
                        (bits >> 4) & 1);
            break;
        }
        case 14:
            if (in.byte() == 0) {
                vt_engine_reset(e);
                r.reset();
            }
            break;
        case 15:
            in.byte(), in.byte();
            break; // a read in the other target
        default: {
            const char32_t key = kPalette[in.byte() % (std::size(kPalette) - 1)];
            vt_engine_add_key(e, key);
            ref::type_key(r, key);
            break;
        }
        }
        compare(e, r);
    }
    vt_engine_free(e);
    return 0;
}
