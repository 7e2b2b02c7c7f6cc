// The C interface: handle checks, the failure guard and text output.
#include "vanto/engine.h"

#include "engine_state.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

using vanto::engine::Engine;
using vanto::engine::Text;

namespace vanto::engine {

void State::clear() {
    raw.clear();
    results.clear();
    committed.clear();
    separators = 0;
    elongated_keys = 0;
}

void fail_inconsistent() {
    throw InternalFailure("per-key lists out of step");
}

void KeyResults::push_back(TextView text, TextView raw, KeyFlags flags, std::uint64_t name) {
    const std::size_t n = current_.size();
    std::size_t keep = 0;
    while (keep < n && keep < text.size() && current_[keep] == text[keep]) ++keep;
    if (keep == n && text.size() == n + 1) {
        push_appended(text.back(), raw, flags);
        name_last(name);
        return;
    }
    std::uint32_t marked = 0;
    for (char32_t c : text) marked += is_marked_letter(c) ? 1 : 0;
    Step step{};
    step.keep = static_cast<std::uint32_t>(keep);
    step.size = static_cast<std::uint32_t>(text.size());
    step.tail = static_cast<std::uint32_t>(tails_.size());
    step.marked = marked;
    step.is_raw = text == raw;
    step.flags = flags;
    tails_.append(current_, keep, Text::npos);
    current_.resize(keep);
    current_.append(text.substr(keep));
    steps_.push_back(step);
    name_last(name);
}

void KeyResults::replay(const Transition& t) {
    if (t.keep > current_.size()) fail_inconsistent();
    Step step{};
    step.keep = t.keep;
    step.size = std::uint32_t{t.keep} + t.added_size;
    step.tail = static_cast<std::uint32_t>(tails_.size());
    step.marked = t.marked;
    step.is_raw = t.is_raw;
    step.flags = {t.is_word, t.reverted, t.reapplied};
    if (t.keep < current_.size()) {
        tails_.append(current_, t.keep, Text::npos);
        current_.resize(t.keep);
    }
    current_.append(t.added, t.added_size);
    steps_.push_back(step);
    name_last(t.to);
}

bool KeyResults::describe_last(Transition& t) const {
    if (steps_.empty()) return false;
    const Step& step = steps_.back();
    const std::size_t added = step.size - step.keep;
    if (added > Transition::kAdded || step.keep > 0xFF || step.marked > 0xFF) return false;
    t.keep = static_cast<std::uint8_t>(step.keep);
    t.added_size = static_cast<std::uint8_t>(added);
    std::char_traits<char32_t>::copy(t.added, current_.data() + step.keep, added);
    t.marked = static_cast<std::uint8_t>(step.marked);
    t.is_raw = step.is_raw;
    t.is_word = step.flags.is_word;
    t.reverted = step.flags.reverted;
    t.reapplied = step.flags.reapplied;
    return true;
}

void KeyResults::pop_back() {
    if (steps_.empty()) return;
    const Step& step = steps_.back();
    current_.resize(step.keep);
    current_.append(tails_, step.tail, Text::npos);
    tails_.resize(step.tail);
    steps_.pop_back();
}

void KeyResults::clear() {
    current_.clear();
    tails_.clear();
    steps_.clear();
}

void KeyResults::before_last(InlineText& out) const {
    if (steps_.size() < 2) {
        out.assign(TextView());
        return;
    }
    const Step& step = steps_.back();
    out.assign(TextView(current_).substr(0, step.keep));
    out += TextView(tails_).substr(step.tail);
}

void State::pop_key() {
    if (!raw.empty()) raw.pop_back();
    if (!results.empty()) results.pop_back();
    if (elongated_keys > raw.size()) elongated_keys = 0;
}

void swap(State& a, State& b) noexcept {
    a.raw.swap(b.raw);
    swap(a.results, b.results);
    a.committed.swap(b.committed);
    std::swap(a.separators, b.separators);
    std::swap(a.elongated_keys, b.elongated_keys);
}

Engine::Engine() : trie(&word_trie(true, true)), rules(&vanto::engine::rules()) {}

void Engine::reset() {
    state.clear();
    history.clear();
}

void Engine::configure(bool telex_on, bool spell_on, bool std_on, bool w_on, bool z_on) {
    telex = telex_on ? 1 : 0;
    spell_check = spell_on;
    telex_w = w_on;
    telex_z = z_on;
    if (spell_on != static_cast<bool>(loaded_spell_check) ||
        std_on != static_cast<bool>(loaded_std_tone)) {
        trie = &word_trie(spell_on, std_on);
        loaded_spell_check = spell_on;
        loaded_std_tone = std_on;
    }
}

void backspace(Engine& e) {
    e.state.pop_key();
}

} // namespace vanto::engine

namespace {

[[noreturn]] void out_of_memory() {
    std::fputs("vanto engine: out of memory\n", stderr);
    std::abort();
}

// Runs op; any failure inside it empties the engine instead of reaching the
// host application, which must never lose its key stream to an engine bug.
// Each one is counted, so that tests and fuzzing see what users never do.
// Running out of memory is not an engine bug to recover from: like every
// allocation failure of the engine it ends the process.
template <class Op> auto guarded(Engine& e, Op op) -> decltype(op()) {
    try {
        return op();
    } catch (const std::bad_alloc&) {
        out_of_memory();
    } catch (...) {
        e.reset();
        ++e.failures;
        return decltype(op())();
    }
}

const Text& text_of(const Engine& e, std::uint32_t kind) {
    switch (kind) {
    case VT_ENGINE_TEXT_COMMITTED:
        return vanto::engine::commit_result(e);
    case VT_ENGINE_TEXT_RAW:
        return e.state.raw;
    default:
        return e.state.result();
    }
}

} // namespace

extern "C" {

vt_engine* vt_engine_new(void) {
    try {
        return new vt_engine();
    } catch (const std::bad_alloc&) {
        out_of_memory();
    } catch (const std::exception& ex) {
        std::fprintf(stderr, "vanto engine: cannot create an engine: %s\n", ex.what());
        std::abort();
    }
}

void vt_engine_free(vt_engine* engine) {
    delete engine;
}

void vt_engine_reset(vt_engine* engine) {
    if (engine) engine->engine.reset();
}

void vt_engine_configure(vt_engine* engine, uint32_t telex, uint32_t spell_check, uint32_t std_tone,
                         uint32_t telex_w, uint32_t telex_z) {
    if (engine)
        engine->engine.configure(telex != 0, spell_check != 0, std_tone != 0, telex_w != 0,
                                 telex_z != 0);
}

void vt_engine_add_key(vt_engine* engine, uint32_t character) {
    if (!engine) return;
    if ((character >= 0xD800 && character <= 0xDFFF) || character > 0x10FFFF) return;
    Engine& e = engine->engine;
    guarded(e, [&] { vanto::engine::add_key(e, static_cast<char32_t>(character)); });
}

void vt_engine_backspace(vt_engine* engine) {
    if (engine) vanto::engine::backspace(engine->engine);
}

void vt_engine_delete_char(vt_engine* engine) {
    if (!engine) return;
    Engine& e = engine->engine;
    guarded(e, [&] { vanto::engine::delete_char(e); });
}

uint64_t vt_engine_push_state(vt_engine* engine) {
    if (!engine) return 0;
    Engine& e = engine->engine;
    return guarded(e, [&] { return vanto::engine::push_state(e); });
}

uint64_t vt_engine_push_state_as_typed(vt_engine* engine) {
    if (!engine) return 0;
    Engine& e = engine->engine;
    return guarded(e, [&] { return vanto::engine::push_state(e, true); });
}

uint64_t vt_engine_pop_state(vt_engine* engine) {
    if (!engine) return 0;
    return vanto::engine::pop_state(engine->engine);
}

uint64_t vt_engine_text(const vt_engine* engine, uint32_t kind, char* buffer, uint64_t capacity) {
    if (!engine) return 0;
    try {
        const Text& text = text_of(engine->engine, kind);
        // A buffer with room for four bytes a character takes the text in one
        // pass; otherwise it is measured before anything is written.
        if (buffer && text.size() <= capacity / 4)
            return static_cast<uint64_t>(vanto::engine::write_utf8(buffer, text) - buffer);
        const std::size_t length = vanto::engine::utf8_length(text);
        if (buffer && length <= capacity) vanto::engine::write_utf8(buffer, text);
        return length;
    } catch (const std::bad_alloc&) {
        out_of_memory();
    } catch (...) {
        // Only the committed kind computes anything; a failure there reads as
        // an empty text rather than reaching the caller.
        ++engine->engine.failures;
        return 0;
    }
}

uint32_t vt_engine_is_english_word(const vt_engine* engine, const char* utf8, uint64_t bytes) {
    if (!engine || !utf8) return 0;
    // The list is looked up by at most 7 letters; one more keeps a long word
    // from reading as a short one.
    char32_t letters[8];
    const std::size_t kept = bytes < 8 ? static_cast<std::size_t>(bytes) : 8;
    for (std::uint64_t i = 0; i < bytes; ++i) {
        const char c = utf8[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return 0;
        if (i < kept) letters[i] = static_cast<char32_t>(c);
    }
    return vanto::engine::is_english_word(vanto::engine::TextView(letters, kept)) ? 1 : 0;
}

uint64_t vt_engine_raw_len(const vt_engine* engine) {
    return engine ? engine->engine.state.raw.size() : 0;
}

uint64_t vt_engine_result_len(const vt_engine* engine) {
    return engine ? engine->engine.state.result().size() : 0;
}

uint64_t vt_engine_state_stack_len(const vt_engine* engine) {
    return engine ? engine->engine.history.size() : 0;
}

uint64_t vt_engine_failure_count(const vt_engine* engine) {
    return engine ? engine->engine.failures : 0;
}

} // extern "C"
