#include "typist.h"

#include "platform/process_info.h"
#include "settings/settings.h"
#include "settings/unicode.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace vanto {

namespace {

constexpr std::array<std::int64_t, 4> kCaretKeys = {KeyCode::LeftArrow, KeyCode::RightArrow,
                                                    KeyCode::Home, KeyCode::End};
constexpr std::array<std::int64_t, 3> kLineKeys = {KeyCode::Return, KeyCode::Tab,
                                                   KeyCode::KeypadEnter};
// A word must not start right after one of these (an address, a path, a
// prompt): the letters that follow pass uncomposed.
constexpr std::array<std::string_view, 7> kNoStartCharacters = {":", ">", "@", "\\",
                                                                "?", "^", "$"};

constexpr std::uint64_t kWordEndingKeyFlags = ModifierFlags::Control | ModifierFlags::Option |
                                              ModifierFlags::Command | ModifierFlags::Function;
constexpr std::uint64_t kWordEndingModifierChanges =
    ModifierFlags::CapsLock | ModifierFlags::Control | ModifierFlags::Option |
    ModifierFlags::Command | ModifierFlags::NumericPad | ModifierFlags::Function;

template <class Set, class T>
bool contains(const Set& set, const T& value) {
    for (const auto& v : set)
        if (v == value) return true;
    return false;
}

bool startsWithClusters(std::string_view text, std::string_view prefix) {
    return graphemePrefix(text, graphemeCount(prefix)) == prefix;
}

} // namespace

Engine::Engine() : ptr_(vt_engine_new()) {
    if (!ptr_) {
        std::fprintf(stderr, "Vanto: cannot create the composition engine\n");
        std::abort();
    }
}

Engine::~Engine() { vt_engine_free(ptr_); }

void Engine::add(std::string_view keys) {
    for (char32_t c : toScalars(keys)) vt_engine_add_key(ptr_, c);
}

std::string Engine::text(std::uint32_t kind) const {
    std::string bytes(128, '\0');
    const std::uint64_t length = vt_engine_text(ptr_, kind, bytes.data(), bytes.size());
    if (length > bytes.size()) {
        bytes.assign(length, '\0');
        vt_engine_text(ptr_, kind, bytes.data(), bytes.size());
    }
    bytes.resize(length);
    return fromScalars(toScalars(bytes)); // replaces anything that is not UTF-8
}

Typist::Typist(Settings& settings, KeyTyping& sender, ProcessInfo* processInfo)
    : sender_(sender), settings_(settings), processInfo_(processInfo) {
    applySettings();
}

void Typist::applySettings() {
    std::lock_guard<std::mutex> guard(lock);
    vt_engine_configure(engine_.ptr(), settings_.telex(), settings_.spellCheck(),
                        settings_.stdTone(), settings_.telexW(), settings_.telexZ());
    if (processInfo_) processInfo_->relieveMemoryPressure();
}

bool Typist::process(const KeyEvent& event, TapProxy* proxy) {
    std::lock_guard<std::mutex> guard(lock);
    if (!isActive || app_.ignored) return false;
    sender_.proxy = proxy;
    const bool swallow = handle(event);
    sender_.proxy = nullptr;
    return swallow;
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
            sync(prevText_ + engine_.text(VT_ENGINE_TEXT_RAW));
            reset();
            return true;
        }
        return false;
    }
    if (keyCode == KeyCode::Delete) return handleBackspace();

    const bool isLetter = isAsciiLetter(characters);
    bool composes = isLetter;
    if (!settings_.telex() && contains(KeyCode::Digits, keyCode) && !(flags & ModifierFlags::Shift))
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
    return false;
}

bool Typist::handleBackspace() {
    vt_engine* e = engine_.ptr();
    --keyCount_;
    if (vt_engine_raw_len(e) < 1) {
        if (prevText_.empty()) {
            noStart_ = false;
            return false;
        }
        const std::uint64_t n = vt_engine_pop_state(e);
        prevText_ = std::string(dropLastGraphemes(prevText_, n));
    } else if (settings_.backspaceDeletesChar()) {
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
    } else {
        prevText_ += engine_.text(VT_ENGINE_TEXT_COMMITTED);
        const std::uint64_t n = vt_engine_push_state(e);
        if (n > 0) {
            std::string leaving(graphemePrefix(prevText_, n));
            commit(leaving);
            prevText_ = std::string(dropGraphemes(prevText_, n));
        }
    }
    prevText_ += characters;
    return sync(std::nullopt, characters);
}

bool Typist::sync(std::optional<std::string> target, std::optional<std::string_view> expected) {
    std::string goal = target ? std::move(*target) : prevText_ + engine_.text(VT_ENGINE_TEXT_RESULT);
    const std::vector<std::string_view> shown = graphemes(lastTyped_);
    const std::vector<std::string_view> wanted = graphemes(goal);
    std::size_t k = 0, tailBytes = 0;
    while (k < shown.size() && k < wanted.size() && shown[k] == wanted[k]) tailBytes += wanted[k++].size();
    const std::int64_t deletions = static_cast<std::int64_t>(shown.size() - k);
    const std::string_view tail = std::string_view(goal).substr(tailBytes);

    bool swallowed;
    if (deletions == 0 && expected && tail == *expected) {
        swallowed = false;
    } else {
        BeforeDeleting before = BeforeDeleting::nothing;
        if (app_.suggestsInline && !caretMoved)
            before = BeforeDeleting::forwardDelete;
        else if (app_.specialBackspace && keyCount_ < kInvisibleCharacterKeyLimit)
            before = BeforeDeleting::invisibleCharacter;
        sender_.type(tail, deletions, before);
        swallowed = true;
    }
    const bool tooLong = wanted.size() > kTrackedSpanLimit;
    lastTyped_ = std::move(goal);
    if (tooLong) reset();
    return swallowed;
}

void Typist::commit(std::optional<std::string> text) {
    const bool whole = !text;
    std::string t = whole ? prevText_ + engine_.text(VT_ENGINE_TEXT_COMMITTED) : std::move(*text);
    if (t.empty()) return;
    if (startsWithClusters(lastTyped_, t)) {
        lastTyped_ = std::string(dropGraphemes(lastTyped_, graphemeCount(t)));
    } else {
        sync(t);
        lastTyped_.clear();
    }
    if (whole) reset();
}

void Typist::reset() {
    vt_engine* e = engine_.ptr();
    if (prevText_.empty() && lastTyped_.empty() && vt_engine_raw_len(e) == 0) return;
    vt_engine_reset(e);
    prevText_.clear();
    lastTyped_.clear();
    keyCount_ = 0;
}

void Typist::refreshApp() {
    app_ = overlay ? *overlay : frontApp;
    sender_.directPostTap = app_.directPostTap;
}

} // namespace vanto
