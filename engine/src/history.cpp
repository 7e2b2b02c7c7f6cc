// Going backwards: deleting the last character of the composed word, and the
// short history of finished words that lets Backspace return into a word.
#include "compose.h"

#include <utility>

namespace vanto::engine {

namespace {

char32_t mark_key(const Engine& e, const Decomposed& d) {
    switch (d.mark) {
    case Mark::None:
        return 0;
    case Mark::Circumflex:
        return e.telex ? d.base : U'6';
    case Mark::Stroke:
        return e.telex ? d.base : U'9';
    case Mark::Breve:
        return e.telex ? U'w' : U'8';
    case Mark::Horn:
        return e.telex ? U'w' : U'7';
    }
    return 0;
}

char32_t tone_key(const Engine& e, char32_t tone) {
    if (!tone || e.telex) return tone;
    constexpr TextView letters = U"sfrxj";
    return static_cast<char32_t>(U'1' + letters.find(tone));
}

// The keys that type text: A with every tone key at the end of the word, B
// with each tone key right after the letter that carries it.
void keys_for(const Engine& e, TextView text, Text& tones_last, Text& tones_inline) {
    Text tones;
    for (char32_t c : text) {
        const Decomposed d = decompose(e, c);
        const char32_t mark = mark_key(e, d);
        const char32_t tone = tone_key(e, d.tone);
        for (Text* keys : {&tones_last, &tones_inline}) {
            *keys += d.base;
            if (mark) *keys += mark;
        }
        if (tone) {
            tones_inline += tone;
            tones += tone;
        }
    }
    tones_last += tones;
}

bool retype(Engine& e, TextView keys, TextView target) {
    e.state.clear();
    for (char32_t k : keys) add_key(e, k);
    return e.state.result() == target;
}

} // namespace

void delete_char(Engine& e) {
    State& s = e.state;
    s.check_consistent();
    if (s.result().empty()) {
        backspace(e);
        return;
    }
    const InlineText target(TextView(s.result()).substr(0, s.result().size() - 1));
    while (!s.raw.empty()) {
        backspace(e);
        if (s.result() == TextView(target)) return;
    }
    // No earlier key left the word reading as the target: type it afresh,
    // first with the tones last, then with each tone after its letter.
    Text tones_last, tones_inline;
    keys_for(e, target, tones_last, tones_inline);
    if (retype(e, tones_last, target) || retype(e, tones_inline, target)) return;

    // The rules or the spell check would not give the target back: record it
    // directly, one letter per key.
    s.clear();
    for (std::size_t i = 1; i <= target.size(); ++i) {
        const TextView prefix = TextView(target).substr(0, i);
        const bool word = score_of(e, prefix) == ENTRY;
        const KeyFlags flags{word, s.last_reverted(), s.last_reapplied()};
        s.raw.push_back(target[i - 1]);
        s.results.push_back(prefix, s.raw, flags);
    }
}

std::uint64_t push_state(Engine& e, bool as_typed) {
    State& s = e.state;
    s.check_consistent();
    if (s.empty()) {
        if (!e.history.empty()) ++e.history.back().separators;
        return 0;
    }
    const std::uint64_t evicted =
        e.history.size() < kHistoryLimit
            ? 0
            : e.history.front().committed.size() + e.history.front().separators;
    s.committed.assign(as_typed ? TextView(s.raw) : TextView(commit_result(e)));
    s.separators = 1;
    e.history.push(s);
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
    e.history.pop(e.state);
    e.state.committed.clear();
    e.state.separators = 0;
    return dropped;
}

} // namespace vanto::engine
