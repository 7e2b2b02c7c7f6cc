// Key composition: every key proposes candidate spellings from the rule tables,
// the word trie scores them, and the best one becomes the word. Orthography is
// not hard-coded: the dictionary decides where a tone or mark may go.
#include "compose.h"

namespace vanto::engine {

namespace {

// Beyond this many keys no key acts as a mark or tone any more.
constexpr std::size_t kRewriteKeyLimit = 16;
// From this many keys on, a word past the dictionary's longest entry takes
// its keys in constant time (long_word_key).
constexpr std::size_t kLongWordKeys = 64;

// The new form of the word after one key, before it is recorded: the winning
// candidate itself, so that it is not copied on its way (whether it came from
// a secondary rule no longer matters).
using Outcome = Candidate;

bool is_strict_word(const Engine& e, TextView text) {
    return e.lookups.strict.lookup(*e.trie, text, STRICT_WORD, true) != NO_PATH;
}

bool is_english_with_key(const Engine& e, TextView raw, char32_t key) {
    return is_english_with_key(raw, key, e.lookups.english);
}

bool is_english_word(const Engine& e, TextView word) {
    return is_english_word(word, e.lookups.english);
}

// Shows the word as its keys: the user is typing English or something that
// cannot become Vietnamese.
void give_up(const State& s, char32_t key, Outcome& o) {
    o.text.assign(s.raw);
    o.text += key;
    o.reverted = true;
}

// Whether text with its ă and â, or its ươ and uô, swapped is on the way to
// a word.
bool other_pair_scores(const Engine& e, TextView text) {
    for (char32_t switch_key : {U'a', U'8'}) { // ă to â, â to ă
        const LetterMap& m = e.rules->of(switch_key).switch_letters;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char32_t to = e.rules->apply(m, text[i]);
            if (!to) continue;
            InlineText t(text);
            t[i] = to;
            if (score_of(e, t) != NO_PATH) return true;
        }
    }
    for (char32_t key : {U'o', U'w'}) { // ươ to uô, uô to ươ
        const auto* rules = e.rules->seqs(key);
        for (std::size_t r = 0; rules && r < rules->size(); ++r) {
            const SeqRule& rule = (*rules)[r];
            if (rule.pattern.size() != 2 || decompose(e, rule.pattern[1]).mark == Mark::None ||
                to_lower(decompose(e, rule.pattern[0]).base) != U'u')
                continue;
            const std::size_t at = text.find(rule.pattern);
            if (at == Text::npos) continue;
            InlineText t(text.substr(0, at));
            t += rule.replacement;
            t += text.substr(at + 2);
            if (score_of(e, t) != NO_PATH) return true;
        }
    }
    return false;
}

// No candidate made sense: append the key, or fall back to the keys.
Outcome no_useful_rewrite(const Engine& e, char32_t key) {
    const State& s = e.state;
    const Text& current = s.result();
    Outcome o;
    o.text.assign(current);
    o.text += key;
    if (has_tone_char(e) && e.spell_check) {
        // A wrong pair (bă for bâ, buô for bươ) is kept while the other pair
        // could still make a word: the typist may yet correct it (bawua: bâu).
        if (key_upper(key) != U'Z' && !is_english_with_key(e, s.raw, key) &&
            other_pair_scores(e, o.text))
            return o;
        if (key_upper(key) == U'Z' || !s.last_is_word() || current.size() < 4 ||
            is_english_with_key(e, s.raw, key)) {
            give_up(s, key, o);
            return o;
        }
    } else {
        const bool repeated = !s.raw.empty() && s.raw.back() == key;
        if (!repeated) {
            const std::uint8_t as_keys = append_candidate(e, key, s.raw).score;
            if (as_keys == PATH || as_keys == ENTRY) {
                give_up(s, key, o);
                return o;
            }
        }
    }
    return o;
}

// A key that puts or changes a tone (not z, which takes it off).
bool is_tone_key(const Engine& e, char32_t key) {
    const char32_t a = e.rules->apply(e.rules->of(key).letters, U'a');
    return a && key_upper(key) != U'Z' && key != U'0' && e.rules->decomposition(a) != nullptr;
}

// key is a horn key, the last key was the o of ươ and that o came out horned.
bool horn_already_given(const Engine& e, char32_t key, TextView word) {
    const State& s = e.state;
    if (e.rules->apply(e.rules->of(key).letters, U'o') != U'ơ') return false;
    if (s.raw.empty() || to_lower(s.raw.back()) != U'o' || word.size() < 2) return false;
    const Decomposed last = decompose(e, word.back());
    const Decomposed before = decompose(e, word[word.size() - 2]);
    return to_lower(last.base) == U'o' && last.mark == Mark::Horn &&
           to_lower(before.base) == U'u' && before.mark == Mark::Horn;
}

// text is word with its ươ turned into uô or the other way round.
bool switches_pair(const Engine& e, TextView word, TextView text) {
    if (word.size() != text.size()) return false;
    std::size_t at = 0;
    while (at < word.size() && word[at] == text[at]) ++at;
    if (at + 2 > word.size() || word.substr(at + 2) != text.substr(at + 2)) return false;
    auto pair = [&](TextView t) {
        const Decomposed u = decompose(e, t[at]), o = decompose(e, t[at + 1]);
        const bool is_uo = to_lower(u.base) == U'u' && to_lower(o.base) == U'o';
        if (!is_uo) return Mark::None;
        if (u.mark == Mark::Horn && o.mark == Mark::Horn) return Mark::Horn;
        if (u.mark == Mark::None && o.mark == Mark::Circumflex) return Mark::Circumflex;
        return Mark::None;
    };
    const Mark from = pair(word), to = pair(text);
    return from != Mark::None && to != Mark::None && from != to;
}

bool previous_key_added_letter(const State& s) {
    const std::size_t n = s.results.size();
    if (n == 0) return false;
    return s.results.size_at(n - 1) > (n >= 2 ? s.results.size_at(n - 2) : 0);
}

// One pass of the rewrite procedure over word; never returns nothing.
Candidate rewrite_pass(const Engine& e, char32_t key, TextView word) {
    const Rules& r = *e.rules;
    const char32_t ku = key_upper(key);
    // Every return gives back best itself, so that it is not copied out.
    Candidate best;
    bool found = false;
    auto take = [&](const Candidate& c) {
        best = c;
        found = true;
    };
    auto beats = [&](const Candidate& c) { return !found || better(c, best); };
    auto done = [&] { return found && best.score > PATH; };

    if (ku == U'W' && (!e.telex || e.telex_w)) {
        if (MaybeCandidate undo = repeat_undo_candidate(e, key, word)) {
            undo->reverted = false;
            take(*undo);
        } else {
            best.text.assign(word);
            best.text += key == U'W' ? U'Ư' : U'ư';
            best.score = score_of(e, best.text);
            found = true;
        }
        if (done()) return best;
    }

    // A tone typed before the o of ươ already horned it (buwsowc, bu71o7c):
    // the horn key has nothing left to do and the pair stays.
    if (!found && horn_already_given(e, key, word)) {
        best.text.assign(word);
        best.score = score_of(e, best.text);
        if (best.score != NO_PATH) return best;
    }

    // A switch or sequence rule may not undo a tone that was just moved; a
    // switch between ươ and uô moves no tone and is always allowed.
    auto acceptable = [&](const MaybeCandidate& c) {
        return c && c->score != NO_PATH && beats(*c) &&
               !(c->secondary && e.state.last_reapplied() && !switches_pair(e, word, c->text));
    };
    auto tone_moved = [&](MaybeCandidate& c) {
        if (c && !is_tone_key(e, key))
            if (MaybeCandidate moved = with_tone_moved(e, *c)) c = std::move(moved);
    };
    if (MaybeCandidate c = seq_candidate(e, key, word); tone_moved(c), acceptable(c)) take(*c);
    if (done()) return best;
    if (MaybeCandidate c = char_candidate(e, key, word); tone_moved(c), acceptable(c)) take(*c);
    if (done()) return best;
    if (Candidate c = append_candidate(e, key, word); beats(c)) take(c);
    if (done()) return best;

    // A key typed twice undoes the first only when the first was taken as a
    // mark or tone. When it went in as a letter (the tone moving onto it, as
    // in hijeen) and the second one makes sense, it completes that letter.
    const bool completes = previous_key_added_letter(e.state) && best.score != NO_PATH;
    const bool undo_allowed =
        !completes && (r.seq_choices(key) || r.seqs(key) ||
                       ((r.char_map(key) || r.char_switch_map(key)) && (ku != U'Z' || e.telex_z)));
    if (undo_allowed) {
        MaybeCandidate undo = repeat_undo_candidate(e, key, word);
        if (undo && beats(*undo)) take(*undo);
    }
    if (!found) throw InternalFailure("append case");
    return best;
}

// english: whether keys that spell an English word give the word up.
Outcome rewrite(const Engine& e, char32_t key, bool english) {
    const State& s = e.state;
    TextView onset;
    Candidate best = rewrite_pass(e, key, s.result());
    if (best.score == NO_PATH && !e.spell_check) {
        // An onset the dictionary does not know must not stop the vowel from
        // taking its mark: try again on the rest after the onset.
        auto [head, rest] = split_onset(s.result(), e.spell_check);
        onset = head;
        best = rewrite_pass(e, key, rest);
    }
    if (best.score == NO_PATH) {
        best = no_useful_rewrite(e, key);
        return best;
    }

    if (!onset.empty()) {
        InlineText whole(onset);
        whole += best.text;
        best.text = whole;
    }
    if (english && best.score != 2 && e.spell_check && is_english_with_key(e, s.raw, key) &&
        !is_strict_word(e, best.text))
        give_up(s, key, best);
    return best;
}

Outcome append_route(const Engine& e, char32_t key, bool english) {
    const State& s = e.state;
    Candidate a = append_candidate(e, key, s.result());
    if (a.score == NO_PATH) {
        a = no_useful_rewrite(e, key); // into a: every return gives back a itself
        return a;
    }
    if (english && a.score == ENTRY && s.raw.size() >= 4 && e.spell_check &&
        is_english_with_key(e, s.raw, key) && !is_strict_word(e, a.text))
        give_up(s, key, a);
    return a;
}

// A composed word stretched by repeating its last letter ("chưaaa", "điii")
// keeps its letters instead of falling back to the keys.
void guard_elongation(const Engine& e, char32_t key, Outcome& o) {
    const State& s = e.state;
    const Text& current = s.result();
    // Only the keys with this one appended are guarded; the length rules most
    // words out before any comparison.
    if (current.empty() || !is_ascii_letter(key) || o.text.size() != s.raw.size() + 1) return;
    if (current == s.raw || TextView(o.text).compare(0, s.raw.size(), s.raw) != 0) return;
    const char32_t base = to_lower(decompose(e, current.back()).base);
    if (base != to_lower(key)) return;
    if (!s.last_is_word() && !is_elongated_word(e, current)) return;
    if (is_english_word(e, o.text)) return;
    o.text.assign(current);
    o.text += key;
}

} // namespace

bool better(const Candidate& c, const Candidate& best) {
    if (c.score != best.score) return c.score > best.score;
    return c.text.size() < best.text.size();
}

bool better(const Candidate& c, const MaybeCandidate& best) {
    return !best || better(c, *best);
}

namespace {

// The first rule of list whose pattern occurs in word, and where; usable says
// which rules may be taken.
template <class Entry, class Usable>
const Entry* first_rule(const std::vector<Entry>& list, const PairIndex& index, TextView word,
                        std::size_t& at, Usable usable) {
    if (index.usable) {
        std::uint32_t rule = 0;
        return Rules::first_pair_rule(index, word, rule, at) ? &list[rule] : nullptr;
    }
    for (const Entry& entry : list) {
        at = word.find(entry.pattern);
        if (at != TextView::npos && usable(entry)) return &entry;
    }
    return nullptr;
}

} // namespace

MaybeCandidate seq_candidate(const Engine& e, char32_t key, TextView word) {
    const KeyRules& k = e.rules->of(key);
    const auto* choices = k.seq_choices;
    const auto* seqs = k.seqs;
    if (!choices && !seqs) return std::nullopt;
    auto replace = [&](InlineText& t, std::size_t at, std::size_t length, TextView by) {
        t.assign(word.substr(0, at));
        t += by;
        t += word.substr(at + length);
    };
    std::size_t at = 0;
    if (choices) {
        auto has_replacements = [](const SeqChoice& rule) { return !rule.replacements.empty(); };
        if (const SeqChoice* rule =
                first_rule(*choices, k.choice_pairs, word, at, has_replacements)) {
            Candidate c;
            for (const Text& by : rule->replacements) {
                replace(c.text, at, rule->pattern.size(), by);
                c.score = score_of(e, c.text);
                if (c.score == ENTRY) break;
            }
            return c;
        }
    }
    if (seqs) {
        auto any = [](const SeqRule&) { return true; };
        if (const SeqRule* rule = first_rule(*seqs, k.seq_pairs, word, at, any)) {
            Candidate c;
            replace(c.text, at, rule->pattern.size(), rule->replacement);
            c.score = score_of(e, c.text);
            c.secondary = true;
            return c;
        }
    }
    return std::nullopt;
}

MaybeCandidate char_candidate(const Engine& e, char32_t key, TextView word) {
    const KeyRules& k = e.rules->of(key);
    if (!k.char_map && !k.char_switch_map) return std::nullopt;
    if (key_upper(key) == U'Z' && !e.telex_z) return std::nullopt;
    // Every change is scored in one scratch text, copied from the word at the
    // first letter the key changes; only the best becomes a candidate.
    InlineText t;
    int best_map = -1;
    std::size_t best_at = 0;
    std::uint8_t best_score = 0;
    const LetterMap* maps[2] = {&k.letters, &k.switch_letters};
    for (int m = 0; m < 2; ++m) {
        if (maps[m]->empty()) continue;
        const LetterMap& map = *maps[m];
        // Rightmost position first: among equal scores it wins.
        for (std::size_t i = word.size(); i-- > 0;) {
            const char32_t to = map[e.rules->letter_slot(word[i])];
            if (!to) continue;
            if (t.size() != word.size()) t.assign(word);
            t[i] = to;
            const std::uint8_t score = score_of(e, t);
            t[i] = word[i];
            if (best_map < 0 || score > best_score) {
                best_map = m;
                best_at = i;
                best_score = score;
            }
            if (score == ENTRY) break;
        }
    }
    if (best_map < 0) return std::nullopt;
    MaybeCandidate best(std::in_place);
    best->text.assign(word);
    best->text[best_at] = e.rules->apply(*maps[best_map], word[best_at]);
    best->score = best_score;
    best->secondary = best_map == 1;
    return best;
}

MaybeCandidate repeat_undo_candidate(const Engine& e, char32_t key, TextView word) {
    const State& s = e.state;
    if (word.empty() || word.back() == key || s.raw.empty() || s.raw.back() != key)
        return std::nullopt;
    Candidate c;
    s.results.before_last(c.text);
    c.text += key;
    c.reverted = true;
    c.score = 2;
    return c;
}

namespace {

Outcome outcome_of(const Engine& e, char32_t key, bool english) {
    const State& s = e.state;
    const bool non_empty = !s.result().empty();
    bool to_rewrite = false;
    if (s.raw.size() < kRewriteKeyLimit) {
        if (e.telex)
            to_rewrite = !is_digit(key) && ((non_empty && e.rules->is_modifier(key)) ||
                                            (key_upper(key) == U'W' && e.telex_w));
        else
            to_rewrite = is_digit(key) && non_empty;
    }
    Outcome o = to_rewrite ? rewrite(e, key, english) : append_route(e, key, english);
    guard_elongation(e, key, o);
    return o;
}

void record(State& s, char32_t key, Outcome o) {
    const bool reverted = o.reverted || s.last_reverted();
    const bool reapplied = o.reapplied || s.last_reapplied();
    s.raw.push_back(key);
    s.results.push_back(o.text, s.raw, {o.score == ENTRY, reverted, reapplied});
}

// The last key gave the word up and showed its keys.
bool given_up_by_last_key(const State& s) {
    const std::size_t n = s.raw.size();
    return n >= 2 && s.results.flags_at(n - 1).reverted && !s.results.flags_at(n - 2).reverted &&
           s.results.last_is_raw();
}

// The keys were English up to the last one (vise, dire) and the word was
// shown as its keys; when this key leaves English (viseet: viết, direem:
// diểm), the last key is taken again as a Vietnamese key and this key goes on
// from there. Nothing changes unless that gives a word that is not given up.
bool left_english(Engine& e, char32_t key) {
    State& s = e.state;
    if (!e.spell_check || !given_up_by_last_key(s)) return false;
    if (is_english_with_key(e, s.raw, key)) return false;
    // An s after an English word is its plural (queues, vises), not a tone
    // that brings a rare syllable back.
    if ((key == U's' || key == U'S') && is_english_word(e, s.raw)) return false;
    // Only the last entry of each list changes on the way: it alone is kept
    // to put back, rather than a copy of the whole word.
    const std::size_t keys = s.raw.size();
    const char32_t last = s.raw.back();
    const InlineText last_result(s.result());
    const bool last_word = s.last_is_word(), last_reverted = s.last_reverted(),
               last_reapplied = s.last_reapplied();
    const std::uint64_t last_name = s.results.last_name();
    auto put_back = [&] {
        while (s.raw.size() >= keys) s.pop_key();
        s.raw.push_back(last);
        s.results.push_back(last_result, s.raw, {last_word, last_reverted, last_reapplied},
                            last_name);
        return false;
    };
    s.pop_key();
    Outcome first = outcome_of(e, last, false);
    if (first.reverted) return put_back();
    record(s, last, std::move(first));
    Outcome second = outcome_of(e, key, true);
    if (second.reverted || second.score == NO_PATH) return put_back();
    record(s, key, std::move(second));
    return true;
}

// A word whose keys are past the rewrite limit and whose text is past the
// dictionary's longest entry can only grow: each key is appended to the word
// or, when the word is given up, to its keys, and the word stays no entry.
// This is what the full procedure decides for it (append_route, then
// no_useful_rewrite and guard_elongation), taken in constant time so that a
// caller feeding one very long word pays the same for every key. The only
// scan left, for a stretched word, happens once per word.
bool long_word_key(Engine& e, char32_t key) {
    State& s = e.state;
    const Text& current = s.result();
    if (s.raw.size() < kLongWordKeys || current.size() < kLookupLimit ||
        s.raw.size() < kLookupLimit || s.last_is_word() || given_up_by_last_key(s))
        return false;
    const bool reverted_before = s.last_reverted(), reapplied_before = s.last_reapplied();
    bool give_up_now = false;
    bool stretched = false;
    if (s.results.last_has_marked() && e.spell_check) {
        give_up_now = true;
        // guard_elongation: a composed word stretched by its last letter
        // keeps its letters.
        if (!s.results.last_is_raw() && is_ascii_letter(key) &&
            to_lower(decompose(e, current.back()).base) == to_lower(key)) {
            const bool elongated =
                s.elongated_keys == s.raw.size() || is_elongated_word(e, current);
            // Only the first letters of a long word say whether it is English.
            stretched = elongated && !is_english_word(e, TextView(s.raw).substr(0, 7));
        }
    }
    const KeyFlags flags{false, give_up_now || reverted_before, reapplied_before};
    s.raw.push_back(key);
    if (give_up_now && !stretched && !s.results.last_is_raw())
        s.results.push_back(s.raw, s.raw, flags);
    else
        s.results.push_appended(key, s.raw, flags);
    s.elongated_keys = stretched ? s.raw.size() : 0;
    return true;
}

// Runs the whole procedure for key; true when the word left English and the
// last key was taken again.
bool compose_key(Engine& e, char32_t key) {
    if (left_english(e, key)) return true;
    record(e.state, key, outcome_of(e, key, true));
    return false;
}

// Everything besides the word that decides what a key does.
std::uint8_t options_of(const Engine& e) {
    return static_cast<std::uint8_t>((e.telex != 0) | e.spell_check << 1 |
                                     e.loaded_spell_check << 2 | e.loaded_std_tone << 3 |
                                     e.telex_w << 4 | e.telex_z << 5);
}

} // namespace

void add_key(Engine& e, char32_t key) {
    State& s = e.state;
    s.check_consistent();
    if (long_word_key(e, key)) return;
    const std::uint64_t from = s.results.last_name();
    if (from == kUnnamedWord || s.raw.size() >= Transitions::kKeys) {
        compose_key(e, key);
        return;
    }
    const std::uint8_t options = options_of(e);
    if (const Transition* t = e.transitions.find(from, key, options)) {
        if (t->replayable) {
            s.raw.push_back(key);
            s.results.replay(*t);
        } else {
            compose_key(e, key);
            s.results.name_last(t->to);
        }
        return;
    }
    const bool left = compose_key(e, key);
    Transition& t = e.transitions.add(from, key, options);
    t.replayable = !left && s.results.describe_last(t);
    s.results.name_last(t.to);
}

} // namespace vanto::engine
