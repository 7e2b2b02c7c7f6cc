// The C interface: handles, buffers, configuration and the failure guard.
#include "vanto/engine.h"

#include "engine_state.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using EnginePtr = std::unique_ptr<vt_engine, decltype(&vt_engine_free)>;

EnginePtr make_engine() { return EnginePtr(vt_engine_new(), &vt_engine_free); }

void type(vt_engine* e, std::u32string_view keys) {
    for (char32_t k : keys) vt_engine_add_key(e, k);
}

std::string text(const vt_engine* e, uint32_t kind = VT_ENGINE_TEXT_RESULT) {
    char small[128];
    uint64_t n = vt_engine_text(e, kind, small, sizeof small);
    if (n <= sizeof small) return std::string(small, n);
    std::string big(n, '\0');
    vt_engine_text(e, kind, big.data(), n);
    return big;
}

TEST(Interface, NullHandleDoesNothing) {
    vt_engine_free(nullptr);
    vt_engine_reset(nullptr);
    vt_engine_configure(nullptr, 1, 1, 1, 1, 1);
    vt_engine_add_key(nullptr, 'a');
    vt_engine_backspace(nullptr);
    vt_engine_delete_char(nullptr);
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(vt_engine_push_state(nullptr), 0u);
    EXPECT_EQ(vt_engine_pop_state(nullptr), 0u);
    EXPECT_EQ(vt_engine_text(nullptr, 0, buffer, sizeof buffer), 0u);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(vt_engine_raw_len(nullptr), 0u);
    EXPECT_EQ(vt_engine_result_len(nullptr), 0u);
    EXPECT_EQ(vt_engine_state_stack_len(nullptr), 0u);
}

TEST(Interface, TextBufferContract) {
    auto e = make_engine();
    vt_engine_configure(e.get(), 1, 0, 1, 0, 0);
    type(e.get(), U"việt"); // typed as characters: no rewriting needed
    ASSERT_EQ(vt_engine_result_len(e.get()), 4u);
    const std::string expected = "vi\xe1\xbb\x87t"; // 6 bytes
    char buffer[16];
    std::fill(std::begin(buffer), std::end(buffer), '#');

    EXPECT_EQ(vt_engine_text(e.get(), 0, nullptr, 100), 6u);
    EXPECT_EQ(vt_engine_text(e.get(), 0, buffer, 5), 6u); // one byte short
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(vt_engine_text(e.get(), 0, buffer, 6), 6u); // exactly enough
    EXPECT_EQ(std::string(buffer, 6), expected);
    EXPECT_EQ(buffer[6], '#'); // no terminating zero
    EXPECT_EQ(text(e.get(), 5), expected); // unknown kinds read the result
    EXPECT_EQ(text(e.get(), VT_ENGINE_TEXT_RAW), expected);
}

TEST(Interface, LongTextNeedsASecondCall) {
    auto e = make_engine();
    std::u32string keys(200, U'ệ');
    type(e.get(), keys);
    EXPECT_EQ(vt_engine_raw_len(e.get()), 200u);
    EXPECT_EQ(vt_engine_text(e.get(), VT_ENGINE_TEXT_RAW, nullptr, 0), 600u);
    EXPECT_EQ(text(e.get(), VT_ENGINE_TEXT_RAW).size(), 600u);
}

TEST(Interface, InvalidScalarValuesAreIgnored) {
    auto e = make_engine();
    type(e.get(), U"ab");
    for (uint32_t bad : {0xD800u, 0xDFFFu, 0x110000u, 0xFFFFFFFFu}) vt_engine_add_key(e.get(), bad);
    EXPECT_EQ(vt_engine_raw_len(e.get()), 2u);
    EXPECT_EQ(vt_engine_result_len(e.get()), 2u);
    vt_engine_add_key(e.get(), 0x10FFFF);
    vt_engine_add_key(e.get(), 0xE000);
    EXPECT_EQ(vt_engine_raw_len(e.get()), 4u);
}

TEST(Interface, BackspaceRemovesOneKeyAndStopsAtEmpty) {
    auto e = make_engine();
    type(e.get(), U"ab");
    vt_engine_backspace(e.get());
    EXPECT_EQ(text(e.get()), "a");
    vt_engine_backspace(e.get());
    vt_engine_backspace(e.get());
    EXPECT_EQ(vt_engine_raw_len(e.get()), 0u);
    EXPECT_EQ(text(e.get()), "");
}

TEST(Interface, ResetKeepsConfiguration) {
    auto e = make_engine();
    vt_engine_configure(e.get(), 0, 0, 0, 1, 1);
    type(e.get(), U"ab");
    vt_engine_push_state(e.get());
    type(e.get(), U"c");
    vt_engine_reset(e.get());
    EXPECT_EQ(vt_engine_raw_len(e.get()), 0u);
    EXPECT_EQ(vt_engine_state_stack_len(e.get()), 0u);
    const auto& engine = e->engine;
    EXPECT_EQ(engine.telex, 0u);
    EXPECT_EQ(engine.spell_check, 0);
    EXPECT_EQ(engine.trie, &vanto::engine::word_trie(false, false));
}

TEST(Interface, ConfigureSelectsTheTrieByTheTwoDictionaryOptions) {
    auto e = make_engine();
    const auto& engine = e->engine;
    EXPECT_EQ(engine.trie, &vanto::engine::word_trie(true, true));
    EXPECT_EQ(engine.telex, 1u);
    EXPECT_EQ(engine.telex_w, 0);
    EXPECT_EQ(engine.telex_z, 0);
    struct Case {
        uint32_t spell_check, std_tone;
        bool expect_spell, expect_std;
    };
    const Case cases[] = {{0, 0, false, false}, {1, 0, true, false}, {0, 1, false, true},
                          {1, 1, true, true},   {7, 2, true, true}};
    for (const Case& c : cases) {
        vt_engine_configure(e.get(), 1, c.spell_check, c.std_tone, 0, 0);
        EXPECT_EQ(engine.trie, &vanto::engine::word_trie(c.expect_spell, c.expect_std));
        EXPECT_EQ(engine.spell_check, c.expect_spell);
    }
    // Options that do not shape the dictionary leave the word alone too.
    type(e.get(), U"ab");
    vt_engine_configure(e.get(), 0, 1, 1, 1, 1);
    EXPECT_EQ(engine.trie, &vanto::engine::word_trie(true, true));
    EXPECT_EQ(engine.telex_w, 1);
    EXPECT_EQ(vt_engine_raw_len(e.get()), 2u);
}

// Whatever goes wrong inside the engine, the host sees an empty word, never a
// crash or an exception.
TEST(Interface, InternalFailureResetsTheEngine) {
    struct Op {
        const char* name;
        void (*run)(vt_engine*);
    };
    const Op ops[] = {
        {"add_key", [](vt_engine* e) { vt_engine_add_key(e, 'x'); }},
        {"delete_char", [](vt_engine* e) { vt_engine_delete_char(e); }},
        {"push_state", [](vt_engine* e) { EXPECT_EQ(vt_engine_push_state(e), 0u); }},
    };
    for (const Op& op : ops) {
        SCOPED_TRACE(op.name);
        auto e = make_engine();
        vt_engine_configure(e.get(), 1, 0, 0, 1, 0);
        type(e.get(), U"ab");
        vt_engine_push_state(e.get());
        type(e.get(), U"cd");
        e->engine.state.results.pop_back(); // break the one-entry-per-key rule
        op.run(e.get());
        EXPECT_EQ(vt_engine_raw_len(e.get()), 0u);
        EXPECT_EQ(vt_engine_result_len(e.get()), 0u);
        EXPECT_EQ(vt_engine_state_stack_len(e.get()), 0u);
        EXPECT_EQ(e->engine.telex_w, 1); // configuration kept
        EXPECT_EQ(e->engine.trie, &vanto::engine::word_trie(false, false));
        type(e.get(), U"a");
        EXPECT_EQ(text(e.get()), "a");
    }
}

} // namespace
