// The engine as it stands while its internals are reworked for speed, kept
// unchanged so that tests can check every operation still gives what it gave.
#include "engine_state.h"

namespace vanto::reference {

namespace {
const Text kEmpty;
}

const Text& State::result() const {
    return results.empty() ? kEmpty : results.back();
}

void State::clear() {
    raw.clear();
    results.clear();
    is_word.clear();
    committed.clear();
    reverted.clear();
    reapplied.clear();
    separators = 0;
}

void State::check_consistent() const {
    const std::size_t n = raw.size();
    if (results.size() != n || is_word.size() != n || reverted.size() != n || reapplied.size() != n)
        throw InternalFailure("per-key lists out of step");
}

void State::pop_key() {
    if (!raw.empty()) raw.pop_back();
    if (!results.empty()) results.pop_back();
    if (!is_word.empty()) is_word.pop_back();
    if (!reapplied.empty()) reapplied.pop_back();
    if (!reverted.empty()) reverted.pop_back();
}

namespace {
// Records in circulation besides the current word and the history: one for
// the word after the next push, and the ones a reset or an eviction frees.
constexpr std::size_t kSpareLimit = kHistoryLimit + 1;
} // namespace

Engine::Engine() : trie(&word_trie(true, true)), rules(&vanto::reference::rules()) {
    // Reserved up front so that keeping records later never allocates.
    history.reserve(kHistoryLimit + 1);
    spare.reserve(kSpareLimit);
}

void Engine::reset() {
    state.clear();
    for (State& s : history) recycle(*this, std::move(s));
    history.clear();
}

void recycle(Engine& e, State&& s) {
    if (e.spare.size() < kSpareLimit) e.spare.push_back(std::move(s));
}

State take_spare(Engine& e) {
    if (e.spare.empty()) return State();
    State s = std::move(e.spare.back());
    e.spare.pop_back();
    s.clear();
    return s;
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

namespace {

template <class Op> auto guarded(Engine& e, Op op) -> decltype(op()) {
    try {
        return op();
    } catch (...) {
        e.reset();
        return decltype(op())();
    }
}

} // namespace

void type_key(Engine& e, char32_t key) {
    guarded(e, [&] { add_key(e, key); });
}

void guarded_delete_char(Engine& e) {
    guarded(e, [&] { delete_char(e); });
}

std::uint64_t guarded_push_state(Engine& e) {
    return guarded(e, [&] { return push_state(e); });
}

Text committed_text(const Engine& e) {
    try {
        return commit_result(e);
    } catch (...) {
        return Text();
    }
}

} // namespace vanto::reference
