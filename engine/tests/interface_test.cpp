// The C interface: handles, buffers, configuration and the failure guard.
#include "vanto/engine.h"

#include "engine_state.h"
#include "test_allocations.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using EnginePtr = std::unique_ptr<vt_engine, decltype(&vt_engine_free)>;

EnginePtr make_engine() {
    return EnginePtr(vt_engine_new(), &vt_engine_free);
}

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
    EXPECT_EQ(vt_engine_push_state_as_typed(nullptr), 0u);
    EXPECT_EQ(vt_engine_is_english_word(nullptr, "test", 4), 0u);
    EXPECT_EQ(vt_engine_text(nullptr, 0, buffer, sizeof buffer), 0u);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(vt_engine_raw_len(nullptr), 0u);
    EXPECT_EQ(vt_engine_result_len(nullptr), 0u);
    EXPECT_EQ(vt_engine_state_stack_len(nullptr), 0u);
}

// A word kept as typed counts its keys on the way back and in evictions, and
// comes back composed.
TEST(Interface, AWordFiledAsTypedCountsItsKeys) {
    auto e = make_engine();
    type(e.get(), U"of");
    ASSERT_EQ(text(e.get(), VT_ENGINE_TEXT_COMMITTED), "\xc3\xb2"); // ò
    EXPECT_EQ(vt_engine_push_state_as_typed(e.get()), 0u);
    EXPECT_EQ(vt_engine_push_state(e.get()), 0u); // a second separator
    EXPECT_EQ(vt_engine_pop_state(e.get()), 1u);
    EXPECT_EQ(vt_engine_pop_state(e.get()), 2u + 1u); // "of" and its separator
    EXPECT_EQ(text(e.get()), "\xc3\xb2");
    EXPECT_EQ(text(e.get(), VT_ENGINE_TEXT_RAW), "of");

    vt_engine_push_state_as_typed(e.get());
    type(e.get(), U"is");
    vt_engine_push_state_as_typed(e.get());
    type(e.get(), U"a");
    EXPECT_EQ(vt_engine_push_state(e.get()), 2u + 1u); // "of " falls out whole
}

TEST(Interface, EnglishWordsOfTheSpellCheck) {
    auto e = make_engine();
    const struct {
        std::string_view text;
        uint32_t english;
    } cases[] = {
        {"of", 1},      {"Has", 1},
        {"test", 1},    {"THIS", 1},
        {"another", 1}, {"tetris", 0},
        {"the", 0}, // short words only when they end in a tone key
        {"", 0},        {"t\xc3\xa9t", 0},
        {"te st", 0},   {"internationalisation", 1}, // by its first 7 letters
    };
    for (const auto& c : cases)
        EXPECT_EQ(vt_engine_is_english_word(e.get(), c.text.data(), c.text.size()), c.english)
            << c.text;
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
    EXPECT_EQ(buffer[6], '#');             // no terminating zero
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

// What configure sets is what typing shows; reset forgets the words only.
TEST(Interface, ConfigurationShapesTypingAndOutlivesReset) {
    struct Case {
        const char* name;
        uint32_t telex, spell_check, std_tone, telex_w;
        std::u32string_view keys;
        const char* result;
    };
    const Case cases[] = {
        {"defaults: standard tone style", 1, 1, 1, 0, U"hoaf", "hòa"},
        {"other tone style", 1, 1, 0, 0, U"hoaf", "hoà"},
        {"any non-zero is on", 7, 7, 2, 0, U"hoaf", "hòa"},
        {"spell check off marks an unknown onset", 1, 0, 1, 0, U"stras", "strá"},
        {"spell check on leaves it", 1, 1, 1, 0, U"stras", "stras"},
        {"digits", 0, 1, 1, 0, U"hoa2", "hòa"},
        {"quick w", 1, 1, 1, 1, U"w", "ư"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto e = make_engine();
        vt_engine_configure(e.get(), c.telex, c.spell_check, c.std_tone, c.telex_w, 0);
        type(e.get(), U"ab");
        vt_engine_push_state(e.get());
        type(e.get(), U"c");
        vt_engine_reset(e.get());
        EXPECT_EQ(vt_engine_raw_len(e.get()), 0u);
        EXPECT_EQ(vt_engine_state_stack_len(e.get()), 0u);
        type(e.get(), c.keys);
        EXPECT_EQ(text(e.get()), c.result);
    }
}

TEST(Interface, ConfigureKeepsTheWordBeingTyped) {
    auto e = make_engine();
    type(e.get(), U"hoa");
    vt_engine_configure(e.get(), 1, 1, 0, 1, 1);
    EXPECT_EQ(vt_engine_raw_len(e.get()), 3u);
    type(e.get(), U"f");
    EXPECT_EQ(text(e.get()), "hoà");
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
        EXPECT_EQ(vt_engine_failure_count(e.get()), 1u);
        type(e.get(), U"hoaf"); // configuration kept: the other tone style
        EXPECT_EQ(text(e.get()), "hoà");
        vt_engine_reset(e.get());
        type(e.get(), U"w"); // and quick w
        EXPECT_EQ(text(e.get()), "ư");
        EXPECT_EQ(vt_engine_failure_count(e.get()), 1u); // a reset keeps the count
    }
}

TEST(Interface, OrdinaryTypingCountsNoFailure) {
    auto e = make_engine();
    for (uint32_t config = 0; config < 32; ++config) {
        vt_engine_configure(e.get(), config & 1, config & 2, config & 4, config & 8, config & 16);
        for (std::u32string_view word : {U"tieengs", U"Vieetj", U"nguwowif", U"dd", U"queues",
                                         U"tie6ng1", U"zzzz", U"aaaa", U"w"}) {
            type(e.get(), word);
            text(e.get(), VT_ENGINE_TEXT_COMMITTED);
            vt_engine_delete_char(e.get());
            vt_engine_push_state(e.get());
        }
        vt_engine_pop_state(e.get());
        vt_engine_backspace(e.get());
    }
    EXPECT_EQ(vt_engine_failure_count(e.get()), 0u);
    EXPECT_EQ(vt_engine_failure_count(nullptr), 0u);
}

// A library caller may feed one word of any length: every key costs the same
// few bytes (and the same time), where keeping the whole word per key took
// gigabytes for this many keys.
TEST(Interface, AVeryLongWordNeedsMemoryInProportionToItsKeys) {
    constexpr std::size_t kKeys = 100000;
    constexpr std::size_t kBytesPerKey = 100;
    const std::u32string_view runs[] = {U"tieengsvieetjnguwowifquyeenf", U"a"};
    for (uint32_t spell_check : {0u, 1u}) {
        for (std::u32string_view run : runs) {
            auto e = make_engine();
            vt_engine_configure(e.get(), 1, spell_check, 1, 0, 0);
            const std::size_t before = bytes_requested;
            type(e.get(), U"chuwa"); // a composed word, then stretched or given up
            for (std::size_t i = 0; i < kKeys; ++i) vt_engine_add_key(e.get(), run[i % run.size()]);
            vt_engine_push_state(e.get());
            const uint64_t dropped = vt_engine_pop_state(e.get());
            EXPECT_EQ(dropped, vt_engine_result_len(e.get()) + 1);
            EXPECT_EQ(vt_engine_raw_len(e.get()), kKeys + 5);
            EXPECT_LT(bytes_requested - before, kKeys * kBytesPerKey)
                << "spell check " << spell_check << ", run " << run.size();
            EXPECT_EQ(vt_engine_failure_count(e.get()), 0u);
        }
    }
}

// Running out of memory is not an engine bug to hide behind a reset: the
// process ends, as it would anywhere else.
TEST(InterfaceDeathTest, RunningOutOfMemoryEndsTheProcess) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_DEATH(
        {
            auto e = make_engine();
            fail_next_allocation = true;
            for (int i = 0; i < 100000; ++i) vt_engine_add_key(e.get(), 'a' + i % 26);
        },
        "out of memory");
}

} // namespace
