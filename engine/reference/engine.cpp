// The engine as it was before keys could come in any order, kept unchanged so
// that tests can check the usual orders still give what they gave.
#include "engine_state.h"

namespace vanto::reference {

namespace {
const Text kEmpty;
}

const Text& State::result() const { return results.empty() ? kEmpty : results.back(); }

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
    if (results.size() != n || is_word.size() != n || reverted.size() != n ||
        reapplied.size() != n)
        throw InternalFailure("per-key lists out of step");
}

void State::pop_key() {
    if (!raw.empty()) raw.pop_back();
    if (!results.empty()) results.pop_back();
    if (!is_word.empty()) is_word.pop_back();
    if (!reapplied.empty()) reapplied.pop_back();
    if (!reverted.empty()) reverted.pop_back();
}

Engine::Engine() : trie(&word_trie(true, true)), rules(&vanto::reference::rules()) {}

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

void backspace(Engine& e) { e.state.pop_key(); }

// Runs op; like the interface, a failure inside it empties the engine.
void type_key(Engine& e, char32_t key) {
    try {
        add_key(e, key);
    } catch (...) {
        e.reset();
    }
}

Text committed_text(const Engine& e) {
    try {
        return commit_result(e);
    } catch (...) {
        return Text();
    }
}

} // namespace vanto::reference
