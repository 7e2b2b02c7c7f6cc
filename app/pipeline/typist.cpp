#include "typist.h"

#include "english_priors.h"
#include "platform/process_info.h"
#include "settings/settings.h"
#include "settings/unicode.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace vanto {

namespace {

constexpr std::array<std::int64_t, 4> kCaretKeys = {KeyCode::LeftArrow, KeyCode::RightArrow,
                                                    KeyCode::Home, KeyCode::End};
constexpr std::array<std::int64_t, 3> kLineKeys = {KeyCode::Return, KeyCode::Tab,
                                                   KeyCode::KeypadEnter};
// A word must not start right after one of these (an address, a path, a
// prompt): the letters that follow pass uncomposed.
constexpr std::array<std::string_view, 7> kNoStartCharacters = {":", ">", "@", "\\", "?", "^", "$"};

constexpr std::uint64_t kWordEndingKeyFlags = ModifierFlags::Control | ModifierFlags::Option |
                                              ModifierFlags::Command | ModifierFlags::Function;
constexpr std::uint64_t kWordEndingModifierChanges =
    ModifierFlags::CapsLock | ModifierFlags::Control | ModifierFlags::Option |
    ModifierFlags::Command | ModifierFlags::NumericPad | ModifierFlags::Function;

// Characters after which a sentence starts: what came before says nothing
// about the language of the next word.
constexpr std::array<std::string_view, 6> kSentenceEnds = {".", "!", "?", "\n", "\r", "…"};
// With nothing earlier in the sentence to tell, keys are taken as English
// when at least this share (per mille) of their uses in the counted
// documents are English.
constexpr int kEnglishShareNeeded = 500;
// A word written as typed tells the sentence's language only when its
// spelling is clearly more often one language than the other.
constexpr int kEnglishWordShare = 800;
constexpr int kVietnameseWordShare = 100;
// Longer keys are not looked up: no counted word is this long.
constexpr std::size_t kLongestCountedKeys = 32;

template <class Set, class T> bool contains(const Set& set, const T& value) {
    for (const auto& v : set)
        if (v == value) return true;
    return false;
}

// text in lower case into room, when it is ASCII letters only and fits.
std::optional<std::string_view> lowerLetters(std::string_view text,
                                             std::array<char, kLongestCountedKeys>& room) {
    if (text.empty() || text.size() > room.size()) return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= 'a' && c <= 'z')
            room[i] = c;
        else if (c >= 'A' && c <= 'Z')
            room[i] = static_cast<char>(c - 'A' + 'a');
        else
            return std::nullopt;
    }
    return std::string_view(room.data(), text.size());
}

// The share of counted keys as typed: written with a capital, the word
// likely starts a sentence, where the two languages' words are others (There
// is common, Thể is not).
int priorShare(const englishPriors::Entry& entry, std::string_view keys) {
    const bool capital = !keys.empty() && keys[0] >= 'A' && keys[0] <= 'Z';
    return capital && entry.capitalShare >= 0 ? entry.capitalShare : entry.share;
}

bool startsWithClusters(std::string_view text, std::string_view prefix) {
    return graphemePrefix(text, graphemeCount(prefix)) == prefix;
}

// The engine's text is read into this much room first, and again only when
// it is longer.
constexpr std::size_t kFirstTextRead = 128;
// Room the span buffers start with: a span of 32 characters, a word being
// read next to it, and the occasional long cluster.
constexpr std::size_t kSpanBufferBytes = 512;

// Sets the sender's proxy for one event and clears it on every way out: a
// proxy left behind would send a later write from the main thread into the
// stream of an event that has long gone.
class ProxyScope {
  public:
    ProxyScope(KeyTyping& sender, TapProxy* proxy) : sender_(sender) { sender_.proxy = proxy; }
    ~ProxyScope() { sender_.proxy = nullptr; }
    ProxyScope(const ProxyScope&) = delete;
    ProxyScope& operator=(const ProxyScope&) = delete;

  private:
    KeyTyping& sender_;
};

} // namespace

Engine::Engine() : ptr_(vt_engine_new()) {
    if (!ptr_) {
        std::fprintf(stderr, "Vanto: cannot create the composition engine\n");
        std::abort();
    }
}

Engine::~Engine() {
    vt_engine_free(ptr_);
}

void Engine::add(std::string_view keys) {
    for (std::size_t i = 0; i < keys.size();) vt_engine_add_key(ptr_, nextScalar(keys, i));
}

std::string Engine::text(std::uint32_t kind) const {
    std::string out;
    appendText(kind, out);
    return out;
}

void Engine::appendText(std::uint32_t kind, std::string& out) const {
    const std::size_t at = out.size();
    out.resize(at + kFirstTextRead);
    const std::uint64_t length = vt_engine_text(ptr_, kind, out.data() + at, kFirstTextRead);
    if (length > kFirstTextRead) {
        out.resize(at + length);
        vt_engine_text(ptr_, kind, out.data() + at, length);
    }
    out.resize(at + length);
    const std::string_view read = std::string_view(out).substr(at);
    if (!isValidUtf8(read)) out.replace(at, std::string::npos, fromScalars(toScalars(read)));
}

Typist::Typist(Settings& settings, KeyTyping& sender, ProcessInfo* processInfo)
    : sender_(sender), settings_(settings), processInfo_(processInfo) {
    for (std::string* buffer : {&prevText_, &lastTyped_, &goal_, &piece_, &keys_, &shown_})
        buffer->reserve(kSpanBufferBytes);
    applySettings();
}

void Typist::applySettings() {
    std::lock_guard<std::mutex> guard(lock);
    // The engine and the per-key decisions read the same snapshot: a change
    // landing between the two reads would otherwise compose one key under
    // two sets of options.
    options_ = {settings_.telex(),         settings_.spellCheck(), settings_.stdTone(),
                settings_.telexW(),        settings_.telexZ(),     settings_.backspaceDeletesChar(),
                settings_.englishContext()};
    vt_engine_configure(engine_.ptr(), options_.telex, options_.spellCheck, options_.stdTone,
                        options_.telexW, options_.telexZ);
    // What was learnt of the sentence under other options does not carry over.
    forgetSentence();
    if (processInfo_) processInfo_->relieveMemoryPressure();
}

bool Typist::process(const KeyEvent& event, TapProxy* proxy) noexcept {
    try {
        std::lock_guard<std::mutex> guard(lock);
        if (!isActive || app_.ignored) return false;
        ProxyScope scope(sender_, proxy);
        wrote_ = false;
        try {
            return handle(event);
        } catch (...) {
            // The span may no longer say what the field shows. Once the
            // sender has written, the key's effect is on screen already and
            // the key itself must not follow.
            reset();
            return wrote_;
        }
    } catch (...) {
        return false;
    }
}

bool Typist::handle(const KeyEvent& event) {
    if (event.kind == KeyEvent::Kind::keyDown) {
        if (contains(kCaretKeys, event.keyCode)) caretMoved = true;
        if (event.flags & kWordEndingKeyFlags) {
            commit();
            return false;
        }
        return handleKey(event.characters, event.keyCode, event.flags);
    }
    if (event.flags != 0 && (event.flags & kWordEndingModifierChanges)) commit();
    return false;
}

bool Typist::handleKey(std::string_view characters, std::int64_t keyCode, std::uint64_t flags) {
    vt_engine* e = engine_.ptr();
    if (keyCode == KeyCode::Escape) {
        keyCount_ = 0;
        if (vt_engine_result_len(e) > 0) {
            piece_.assign(prevText_);
            engine_.appendText(VT_ENGINE_TEXT_RAW, piece_);
            sync(piece_);
            reset();
            return true;
        }
        // The application gets this Escape and may close a find bar or a
        // search field with it, putting the caret back where the span is
        // not: a later Backspace must not reach into text that went away.
        reset();
        return false;
    }
    if (keyCode == KeyCode::Delete) return handleBackspace();

    const bool isLetter = isAsciiLetter(characters);
    bool composes = isLetter;
    if (!options_.telex && contains(KeyCode::Digits, keyCode) && !(flags & ModifierFlags::Shift))
        composes = isLetter || vt_engine_result_len(e) > 0;
    if (composes) {
        if (noStart_) return false;
        ++keyCount_;
        engine_.add(characters);
        return sync(std::nullopt, characters);
    }

    if (!contains(kLineKeys, keyCode) && isSeparatorCharacter(characters)) {
        ++keyCount_;
        if (vt_engine_result_len(e) >= 1 || !prevText_.empty() || vt_engine_state_stack_len(e) > 0)
            return handleSeparator(characters);
    }

    noStart_ = contains(kNoStartCharacters, characters);
    // Anything tracked ends here: the key changes the field in a way the
    // span does not model, so keeping it would aim later deletions wrong.
    if (vt_engine_result_len(e) != 0 || !prevText_.empty()) commit();
    if (contains(kLineKeys, keyCode)) forgetSentence();
    return false;
}

bool Typist::handleBackspace() {
    vt_engine* e = engine_.ptr();
    // Backspaces that reach the application delete text older than the span;
    // they do not make the span's keys fewer than none.
    if (keyCount_ > 0) --keyCount_;
    if (vt_engine_raw_len(e) < 1) {
        if (prevText_.empty()) {
            noStart_ = false;
            return false;
        }
        const std::uint64_t n = vt_engine_pop_state(e);
        prevText_.resize(dropLastGraphemes(prevText_, n).size());
        if (vt_engine_raw_len(e) > 0) {
            // Back in the word: it is decided again when it ends, from what
            // came before it.
            sentence_ = beforeCount_ > 0 ? before_[--beforeCount_] : Sentence{};
        }
    } else if (options_.backspaceDeletesChar) {
        vt_engine_delete_char(e);
    } else {
        vt_engine_backspace(e);
    }
    return sync();
}

bool Typist::handleSeparator(std::string_view characters) {
    vt_engine* e = engine_.ptr();
    if (vt_engine_result_len(e) < 1 && prevText_.empty()) {
        // Only a remembered word: count one more separator after it.
        vt_engine_push_state(e);
    } else if (vt_engine_raw_len(e) == 0 && extendsLastGrapheme(prevText_, characters)) {
        // The field shows no new character (the second half of a flag): one
        // Backspace takes both keys away, so the engine must count one
        // separator for them, not two.
    } else {
        const bool asTyped = options_.englishContext && vt_engine_raw_len(e) > 0 && endsAsTyped();
        engine_.appendText(asTyped ? VT_ENGINE_TEXT_RAW : VT_ENGINE_TEXT_COMMITTED, prevText_);
        const std::uint64_t n =
            asTyped ? vt_engine_push_state_as_typed(e) : vt_engine_push_state(e);
        if (n > 0) {
            piece_.assign(graphemePrefix(prevText_, n));
            commit(piece_);
            prevText_.erase(0, std::min(piece_.size(), prevText_.size()));
        }
    }
    if (contains(kSentenceEnds, characters)) forgetSentence();
    prevText_ += characters;
    return sync(std::nullopt, characters);
}

bool Typist::sync(std::optional<std::string_view> target,
                  std::optional<std::string_view> expected) {
    if (target) {
        goal_.assign(*target);
    } else {
        goal_.assign(prevText_);
        engine_.appendText(VT_ENGINE_TEXT_RESULT, goal_);
    }
    std::size_t tailBytes = 0;
    const std::size_t k = commonGraphemePrefix(lastTyped_, goal_, tailBytes);
    const auto deletions = static_cast<std::int64_t>(graphemeCount(lastTyped_) - k);
    const std::string_view tail = std::string_view(goal_).substr(tailBytes);
    // The key typed by itself after what the field shows gives the target:
    // it may go on. Compared as text, because a key may join the character
    // before it (the second half of a flag) without deleting anything.
    const bool keyAlone = expected && goal_.size() == lastTyped_.size() + expected->size() &&
                          goal_.starts_with(lastTyped_) && goal_.ends_with(*expected);

    bool swallowed;
    if (keyAlone) {
        swallowed = false;
    } else {
        BeforeDeleting before = BeforeDeleting::nothing;
        if (app_.suggestsInline && !caretMoved)
            before = BeforeDeleting::forwardDelete;
        else if (app_.specialBackspace && keyCount_ < kInvisibleCharacterKeyLimit)
            before = BeforeDeleting::invisibleCharacter;
        wrote_ = true;
        sender_.type(tail, deletions, before);
        swallowed = true;
    }
    const bool tooLong = graphemeCount(goal_) > kTrackedSpanLimit;
    lastTyped_.swap(goal_);
    if (tooLong) reset();
    return swallowed;
}

void Typist::commit(std::optional<std::string_view> text) {
    const bool whole = !text;
    std::string_view t;
    if (whole) {
        const bool asTyped =
            options_.englishContext && vt_engine_raw_len(engine_.ptr()) > 0 && endsAsTyped();
        piece_.assign(prevText_);
        engine_.appendText(asTyped ? VT_ENGINE_TEXT_RAW : VT_ENGINE_TEXT_COMMITTED, piece_);
        t = piece_;
    } else {
        t = *text;
    }
    if (t.empty()) return;
    if (startsWithClusters(lastTyped_, t)) {
        lastTyped_.erase(0, t.size());
    } else {
        sync(t);
        lastTyped_.clear();
    }
    if (whole) reset();
}

bool Typist::tracksAnything() {
    vt_engine* e = engine_.ptr();
    // Remembered words count: a separator would bring them back into the
    // span, and a Backspace after it into the field.
    return !prevText_.empty() || !lastTyped_.empty() || vt_engine_raw_len(e) != 0 ||
           vt_engine_state_stack_len(e) != 0;
}

bool Typist::endsAsTyped() {
    vt_engine* e = engine_.ptr();
    keys_.clear();
    engine_.appendText(VT_ENGINE_TEXT_RAW, keys_);
    shown_.clear();
    engine_.appendText(VT_ENGINE_TEXT_COMMITTED, shown_);
    if (beforeCount_ == before_.size()) {
        // The oldest is too far back for Backspace to reach.
        std::move(before_.begin() + 1, before_.end(), before_.begin());
        --beforeCount_;
    }
    before_[beforeCount_++] = sentence_;

    std::array<char, kLongestCountedKeys> room;
    const std::optional<std::string_view> keys = lowerLetters(keys_, room);
    const englishPriors::Entry* counted = keys ? englishPriors::find(*keys) : nullptr;
    if (keys && shown_ != keys_ &&
        (counted || vt_engine_is_english_word(e, keys->data(), keys->size()))) {
        // Keys of an English word that compose to something else. Kept as
        // English, it is an English word of the sentence; made Vietnamese,
        // it says nothing: a rare Vietnamese word is no sign of Vietnamese.
        bool english;
        if (sentence_.nearest == Language::vietnamese)
            english = false;
        else if (sentence_.nearest == Language::english && !sentence_.sawVietnamese)
            english = true;
        else
            english = counted && priorShare(*counted, keys_) >= kEnglishShareNeeded;
        if (english) sentence_.nearest = Language::english;
        return english;
    }
    if (std::any_of(shown_.begin(), shown_.end(),
                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        noteLanguage(Language::vietnamese); // Vietnamese letters
        return false;
    }
    if (const std::optional<std::string_view> shown = lowerLetters(shown_, room)) {
        // Written as typed: English or Vietnamese without diacritics (cho,
        // trong) when the counts say so clearly (not do, ai); an uncounted
        // word only when it is English.
        if (const englishPriors::Entry* entry = englishPriors::find(*shown)) {
            if (entry->share >= kEnglishWordShare)
                noteLanguage(Language::english);
            else if (entry->share <= kVietnameseWordShare)
                noteLanguage(Language::vietnamese);
        } else if (vt_engine_is_english_word(e, shown->data(), shown->size())) {
            noteLanguage(Language::english);
        }
    }
    return false;
}

void Typist::noteLanguage(Language language) {
    sentence_.nearest = language;
    if (language == Language::vietnamese) sentence_.sawVietnamese = true;
}

void Typist::forgetSentence() {
    sentence_ = {};
    beforeCount_ = 0;
}

void Typist::reset() {
    forgetSentence();
    if (!tracksAnything()) return;
    vt_engine_reset(engine_.ptr());
    prevText_.clear();
    lastTyped_.clear();
    keyCount_ = 0;
}

void Typist::leaveField() {
    forgetSentence();
    vt_engine_reset(engine_.ptr());
    prevText_.clear();
    lastTyped_.clear();
    keyCount_ = 0;
    noStart_ = false;
}

void Typist::refreshApp() {
    app_ = overlay ? *overlay : frontApp;
    sender_.directPostTap = app_.directPostTap;
}

} // namespace vanto
