// The engine gives what its frozen reference copy gives: every word of the
// benchmark corpora, in every typing style and configuration, is typed into
// both one after another, and the keys, the shown and the committed texts and
// the history must agree after every key, Backspace, deleted letter, word
// end and step back into the word before.
//
// Under the sanitizers the full run takes minutes, so a sanitized build types
// a deterministic sample (every 7th word); VANTO_DIFFERENTIAL_FULL=1 types
// every word (the release build types every word by default).
#include "engine_state.h" // the reference engine
#include "typing_styles.h"
#include "vanto/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#ifndef VANTO_BENCH_DATA
#define VANTO_BENCH_DATA "bench/data"
#endif

namespace {

namespace ref = vanto::reference;
using namespace std::string_view_literals;
using vanto::bench::Style;

std::vector<std::u32string> corpus_words(const char* name) {
    std::ifstream in(std::string(VANTO_BENCH_DATA) + "/" + name, std::ios::binary);
    std::vector<std::u32string> out;
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t tab = line.find('\t');
        std::u32string w;
        if (tab != std::string::npos && vanto::bench::decode_utf8(line.substr(tab + 1), w))
            out.push_back(std::move(w));
    }
    return out;
}

std::size_t stride() {
    const char* full = std::getenv("VANTO_DIFFERENTIAL_FULL");
    if (full && *full == '1') return 1;
#ifdef VANTO_DIFFERENTIAL_SAMPLE
    return VANTO_DIFFERENTIAL_SAMPLE;
#else
    return 1;
#endif
}

std::u32string engine_text(const vt_engine* e, std::uint32_t kind) {
    std::string bytes(vt_engine_text(e, kind, nullptr, 0), '\0');
    vt_engine_text(e, kind, bytes.data(), bytes.size());
    std::u32string out;
    vanto::bench::decode_utf8(bytes, out);
    return out;
}

struct Config {
    bool telex, spell_check, std_tone;
};

class Differential {
  public:
    explicit Differential(const Config& c) : engine_(vt_engine_new(), &vt_engine_free) {
        vt_engine_configure(engine_.get(), c.telex, c.spell_check, c.std_tone, 0, 0);
        reference_.configure(c.telex, c.spell_check, c.std_tone, false, false);
    }

    // Both take the options of bits: Telex, spell check, tone style, quick w
    // and tone removal by z, from the lowest bit up.
    void configure(unsigned bits) {
        const bool telex = bits & 1, spell = bits & 2, std_tone = bits & 4, w = bits & 8,
                   z = bits & 16;
        vt_engine_configure(engine_.get(), telex, spell, std_tone, w, z);
        reference_.configure(telex, spell, std_tone, w, z);
    }

    // Types keys into both, after the word before them, comparing after every
    // key; then deletes the last letter or steps back over a Backspace and
    // into the word before, as asked. Before key switch_at (if any) both take
    // the options switch_to; after the last key, the last retype keys are
    // taken back with Backspace and typed again. False (with a message) when
    // they disagree.
    bool agree(std::u32string_view keys, bool delete_letter, std::string& why,
               std::size_t switch_at = std::u32string_view::npos, unsigned switch_to = 0,
               std::size_t retype = 0) {
        // The word before ends and a new one starts, as at a space.
        if (vt_engine_push_state(engine_.get()) != ref::guarded_push_state(reference_))
            return differ(keys, "the end of the word before", why);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (i == switch_at) configure(switch_to);
            vt_engine_add_key(engine_.get(), keys[i]);
            ref::type_key(reference_, keys[i]);
            if (!same(why)) return differ(keys.substr(0, i + 1), "", why);
        }
        retype = std::min(retype, keys.size());
        for (std::size_t i = 0; i < retype; ++i) {
            vt_engine_backspace(engine_.get());
            ref::backspace(reference_);
        }
        for (std::size_t i = keys.size() - retype; i < keys.size(); ++i) {
            vt_engine_add_key(engine_.get(), keys[i]);
            ref::type_key(reference_, keys[i]);
            if (!same(why)) return differ(keys.substr(0, i + 1), " (typed again)", why);
        }
        if (retype > 0) { // and the last key replaced by another
            vt_engine_backspace(engine_.get());
            ref::backspace(reference_);
            if (!type_other(keys, why)) return differ(keys, " (its last key replaced)", why);
        }
        if (delete_letter) {
            vt_engine_delete_char(engine_.get());
            ref::guarded_delete_char(reference_);
            if (!same(why)) return differ(keys, " and a deleted letter", why);
            if (retype > 0 && !type_other(keys, why))
                return differ(keys, " and a deleted letter, then a key", why);
        } else {
            vt_engine_backspace(engine_.get());
            ref::backspace(reference_);
            if (!same(why)) return differ(keys, " and a Backspace", why);
        }
        // Back over the boundary into the word before and out again.
        if (vt_engine_state_stack_len(engine_.get()) > 0 && keys.size() % 5 == 0) {
            while (vt_engine_raw_len(engine_.get()) > 0) {
                vt_engine_backspace(engine_.get());
                ref::backspace(reference_);
            }
            if (vt_engine_pop_state(engine_.get()) != ref::pop_state(reference_) || !same(why))
                return differ(keys, " and a step back into the word before", why);
        }
        return vt_engine_failure_count(engine_.get()) == 0 ||
               differ(keys, " (an internal failure)", why);
    }

    // Both start afresh, after a difference.
    void reset() {
        vt_engine_reset(engine_.get());
        reference_.reset();
    }

  private:
    // Types a key other than the last of keys into both and compares.
    bool type_other(std::u32string_view keys, std::string& why) {
        const char32_t other = keys.back() == U'a' ? U'o' : U'a';
        vt_engine_add_key(engine_.get(), other);
        ref::type_key(reference_, other);
        return same(why);
    }

    // Compares the keys, the shown and the committed text and the history.
    bool same(std::string& why) {
        const std::u32string raw = engine_text(engine_.get(), VT_ENGINE_TEXT_RAW);
        const std::u32string shown = engine_text(engine_.get(), VT_ENGINE_TEXT_RESULT);
        const std::u32string committed = engine_text(engine_.get(), VT_ENGINE_TEXT_COMMITTED);
        const std::u32string& ref_shown = reference_.state.result();
        const std::u32string ref_committed = ref::committed_text(reference_);
        if (raw == reference_.state.raw && shown == ref_shown && committed == ref_committed &&
            vt_engine_state_stack_len(engine_.get()) == reference_.history.size())
            return true;
        using vanto::bench::encode_utf8;
        why = ": now " + encode_utf8(shown) + " / " + encode_utf8(committed) + ", before " +
              encode_utf8(ref_shown) + " / " + encode_utf8(ref_committed);
        return false;
    }

    static bool differ(std::u32string_view keys, const char* step, std::string& why) {
        why = vanto::bench::encode_utf8(keys) + step + why;
        return false;
    }

  private:
    std::unique_ptr<vt_engine, decltype(&vt_engine_free)> engine_;
    ref::Engine reference_;
};

void expect_no_change(const Config& c, const std::vector<std::u32string>& words,
                      const std::vector<Style>& styles, bool as_spelled) {
    Differential d(c);
    std::size_t changed = 0;
    const std::size_t step = stride();
    for (std::size_t i = 0; i < words.size(); i += step) {
        auto check = [&](std::u32string_view keys) {
            for (bool delete_letter : {false, true}) {
                std::string why;
                if (d.agree(keys, delete_letter, why)) continue;
                d.reset();
                if (++changed <= 20) ADD_FAILURE() << why;
            }
        };
        if (as_spelled) check(words[i]);
        for (Style s : styles) check(vanto::bench::keys_for(words[i], s));
    }
    EXPECT_EQ(changed, 0u);
}

std::vector<Style> styles_of(bool telex) {
    std::vector<Style> out;
    for (Style s : vanto::bench::kStyles)
        if (vanto::bench::is_telex(s) == telex) out.push_back(s);
    return out;
}

class UsualOrders : public testing::TestWithParam<Config> {};

TEST_P(UsualOrders, VietnameseCorpusTypesAsBefore) {
    const auto words = corpus_words("vi_words.tsv");
    ASSERT_FALSE(words.empty());
    expect_no_change(GetParam(), words, styles_of(GetParam().telex), false);
}

TEST_P(UsualOrders, EnglishCorpusTypesAsBefore) {
    const auto words = corpus_words("en_words.tsv");
    ASSERT_FALSE(words.empty());
    expect_no_change(GetParam(), words, styles_of(GetParam().telex), true);
}

std::string config_name(const testing::TestParamInfo<Config>& info) {
    const Config& c = info.param;
    return std::string(c.telex ? "Telex" : "Vni") + (c.spell_check ? "SpellOn" : "SpellOff") +
           (c.std_tone ? "StdOn" : "StdOff");
}

INSTANTIATE_TEST_SUITE_P(AllConfigurations, UsualOrders,
                         testing::Values(Config{true, true, true}, Config{true, true, false},
                                         Config{true, false, true}, Config{true, false, false},
                                         Config{false, true, true}, Config{false, true, false},
                                         Config{false, false, true}, Config{false, false, false}),
                         config_name);

// One engine through a changing sequence of options, as when the user flips
// a setting while typing, sometimes in the middle of a word, and retypes
// words it has just typed: what a key did under one set of options or to one
// word must never be taken for what it does under another.
TEST(ChangingOptions, EveryWordAgreesWithTheReference) {
    auto words = corpus_words("vi_words.tsv");
    const auto english = corpus_words("en_words.tsv");
    for (std::size_t i = 0; i < english.size(); i += 4) words.push_back(english[i]);
    ASSERT_GT(words.size(), 3000u);
    Differential d(Config{true, true, true});
    std::size_t changed = 0;
    const std::size_t step = 3 * stride();
    for (std::size_t i = 0; i < words.size(); i += step) {
        const unsigned options = (static_cast<unsigned>(i) * 2654435761u >> 11) % 32;
        d.configure(options);
        const std::vector<Style> styles = styles_of(options & 1);
        const std::u32string keys = vanto::bench::keys_for(words[i], styles[i % styles.size()]);
        // Every fourth word changes options halfway; every third is typed twice;
        // each has its last few keys taken back and typed again.
        const std::size_t switch_at = i % 4 == 0 ? keys.size() / 2 : std::u32string::npos;
        for (int round = 0; round < (i % 3 == 0 ? 2 : 1); ++round) {
            std::string why;
            if (i % 3 == 0 && round == 1) d.configure(options);
            if (d.agree(keys, i % 2 == 0, why, switch_at, options ^ (1 + i % 31), 1 + i % 4))
                continue;
            d.reset();
            if (++changed <= 20) ADD_FAILURE() << "options " << options << ": " << why;
        }
    }
    EXPECT_EQ(changed, 0u);
}

// Words far longer than any Vietnamese word, as a library caller may feed
// them: after every key, and after Backspace, a deleted letter and a trip
// through the history, the engine reads as the reference reads.
TEST(LongWords, EveryOperationAgreesWithTheReference) {
    std::vector<std::u32string> words;
    for (std::u32string_view pattern :
         {U"tieengsvieetjnguwowif"sv,       // Vietnamese keys run together
          U"abcdefghijklmnopqrstuvwxyzs"sv, // English letters, tone keys among them
          U"tie6ng1vie6t5\u1ea1"sv,         // VNI keys and a precomposed letter
          U"Ddaauf\u00e1"sv}) {
        std::u32string keys;
        while (keys.size() < 160) keys += pattern;
        words.push_back(keys);
    }
    // Composed words stretched by their last letter, then given up.
    for (std::u32string_view start : {U"chuwa"sv, U"nguwowif"sv, U"Vieetj"sv, U"tie6"sv})
        words.push_back(std::u32string(start) + std::u32string(150, start.back()) + U"bc");
    std::size_t differences = 0;
    for (std::uint32_t config = 0; config < 32; ++config) {
        auto e =
            std::unique_ptr<vt_engine, decltype(&vt_engine_free)>(vt_engine_new(), &vt_engine_free);
        ref::Engine r;
        const bool telex = config & 1, spell = config & 2, std_tone = config & 4, w = config & 8,
                   z = config & 16;
        vt_engine_configure(e.get(), telex, spell, std_tone, w, z);
        r.configure(telex, spell, std_tone, w, z);
        auto agree = [&](const char* step, std::size_t key) {
            const std::u32string shown = engine_text(e.get(), VT_ENGINE_TEXT_RESULT);
            const std::u32string committed = engine_text(e.get(), VT_ENGINE_TEXT_COMMITTED);
            const std::u32string raw = engine_text(e.get(), VT_ENGINE_TEXT_RAW);
            if (shown == r.state.result() && committed == ref::committed_text(r) &&
                raw == r.state.raw && vt_engine_state_stack_len(e.get()) == r.history.size())
                return;
            if (++differences <= 10)
                ADD_FAILURE() << "configuration " << config << ", " << step << " at key " << key
                              << ": " << vanto::bench::encode_utf8(shown) << " / "
                              << vanto::bench::encode_utf8(committed) << ", reference "
                              << vanto::bench::encode_utf8(r.state.result()) << " / "
                              << vanto::bench::encode_utf8(ref::committed_text(r));
        };
        for (const std::u32string& keys : words) {
            for (std::size_t i = 0; i < keys.size(); ++i) {
                vt_engine_add_key(e.get(), keys[i]);
                ref::type_key(r, keys[i]);
                agree("typing", i);
                if (i % 37 == 36) {
                    vt_engine_backspace(e.get());
                    ref::backspace(r);
                    agree("backspace", i);
                }
            }
            vt_engine_delete_char(e.get());
            ref::guarded_delete_char(r);
            agree("deleting a letter", keys.size());
            EXPECT_EQ(vt_engine_push_state(e.get()), ref::guarded_push_state(r));
            EXPECT_EQ(vt_engine_pop_state(e.get()), ref::pop_state(r));
            agree("back into the word", keys.size());
            vt_engine_push_state(e.get());
            ref::guarded_push_state(r);
        }
        EXPECT_EQ(vt_engine_failure_count(e.get()), 0u);
    }
    EXPECT_EQ(differences, 0u);
}

} // namespace
