#include "engine_state.h"

namespace vanto::engine {

// Until composition lands every key is appended as typed.
void add_key(Engine& e, char32_t key) {
    State& s = e.state;
    s.check_consistent();
    Text next = s.result() + key;
    const bool word = lookup(*e.trie, next, WORD, false) == ENTRY;
    s.raw.push_back(key);
    s.results.push_back(std::move(next));
    s.is_word.push_back(word);
    s.reverted.push_back(s.last_reverted());
    s.reapplied.push_back(s.last_reapplied());
}

void delete_char(Engine& e) { backspace(e); }

Text commit_result(const Engine& e) { return e.state.result(); }

std::uint64_t push_state(Engine& e) {
    State& s = e.state;
    s.check_consistent();
    if (s.empty()) {
        if (!e.history.empty()) ++e.history.back().separators;
        return 0;
    }
    std::uint64_t evicted = 0;
    if (e.history.size() >= kHistoryLimit) {
        evicted = e.history.front().committed.size() + e.history.front().separators;
        e.history.erase(e.history.begin());
    }
    Text committed = commit_result(e);
    State snapshot = std::move(s);
    s.clear();
    snapshot.committed = std::move(committed);
    snapshot.separators = 1;
    e.history.push_back(std::move(snapshot));
    return evicted;
}

std::uint64_t pop_state(Engine& e) {
    if (e.history.empty() || !e.state.empty()) return 0;
    State& newest = e.history.back();
    if (newest.separators > 1) {
        --newest.separators;
        return 1;
    }
    const std::uint64_t dropped = newest.committed.size() + 1;
    e.state = std::move(newest);
    e.state.committed.clear();
    e.state.separators = 0;
    e.history.pop_back();
    return dropped;
}

} // namespace vanto::engine
