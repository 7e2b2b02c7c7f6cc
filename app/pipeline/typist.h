// The per-keystroke controller: decides for every key whether it goes on to
// the focused application or is swallowed, feeds composing keys to the
// engine, and writes the difference between the engine's word and what the
// field shows through its KeyTyping sender.
#pragma once

#include "app_profile.h"
#include "key_event.h"
#include "key_sender.h"

#include <vanto/engine.h>

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace vanto {

class Settings;
class ProcessInfo;

// Owns one composition-engine handle for its whole life.
class Engine {
  public:
    Engine();
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    vt_engine* ptr() const { return ptr_; }
    // Feeds every Unicode scalar of keys, in order.
    void add(std::string_view keys);
    // 0: the composed word, 1: its committed form, 2: the keys as typed.
    std::string text(std::uint32_t kind) const;
    // The same text appended to out, whose spare capacity takes it without
    // allocating once out has grown to the size of a span.
    void appendText(std::uint32_t kind, std::string& out) const;

  private:
    vt_engine* ptr_;
};

class Typist {
  public:
    // Only on the tap thread while a word grows: above this many keys since
    // the last reset the invisible-character preparation is not used.
    static constexpr std::int64_t kInvisibleCharacterKeyLimit = 30;
    // A tracked span longer than this is forgotten once written.
    static constexpr std::size_t kTrackedSpanLimit = 32;

    Typist(Settings& settings, KeyTyping& sender, ProcessInfo* processInfo = nullptr);

    // Takes one snapshot of the options for the engine and for the keys
    // that follow, and hands free memory back. Locks.
    void applySettings();
    // The tap's entry: locked, gated by isActive and the profile, with the
    // sender's proxy set for the call. True: swallow the event. Never
    // throws: a failure forgets the tracked text and lets the key through,
    // unless the sender was already asked to write its effect.
    bool process(const KeyEvent& event, TapProxy* proxy) noexcept;
    // The same decision without lock, gate or proxy (self-test, tests).
    bool handle(const KeyEvent& event);
    bool handleKey(std::string_view characters, std::int64_t keyCode, std::uint64_t flags);
    // Writes the difference between lastTyped and target (default: prevText
    // plus the composed word). True: the incoming key was replaced.
    // target must not be a view into the typist's own buffers other than
    // prevText.
    bool sync(std::optional<std::string_view> target = std::nullopt,
              std::optional<std::string_view> expected = std::nullopt);
    // Ends the word, or lets a leading piece of the tracked span go.
    void commit(std::optional<std::string_view> text = std::nullopt);
    // Forgets the tracked text without writing.
    void reset();
    // The field, the focus or the caret changed in a way the keys did not
    // show (a click, another application or overlay): forgets the tracked
    // text without writing, and with it what belonged to the old place, the
    // no-start mark and the key count.
    void leaveField();
    // app := overlay or frontApp; the sender follows its posting rule.
    void refreshApp();

    // Outside callers take `lock` around these and around reset, commit and
    // refreshApp.
    std::mutex lock;
    bool isActive = false;
    bool caretMoved = false;
    AppProfile frontApp = AppProfile::initial();
    std::optional<AppProfile> overlay;

    // Read-only views for the shell, the self-test and the tests.
    const AppProfile& app() const { return app_; }
    const std::string& lastTyped() const { return lastTyped_; }
    const std::string& prevText() const { return prevText_; }
    std::int64_t keyCount() const { return keyCount_; }
    bool noStart() const { return noStart_; }
    const Engine& engine() const { return engine_; }

  private:
    // The options in force, read from the settings in one go.
    struct Options {
        bool telex = true, spellCheck = true, stdTone = true, telexW = false, telexZ = false,
             backspaceDeletesChar = false, englishContext = false;
    };

    bool handleBackspace();
    bool handleSeparator(std::string_view characters);
    bool tracksAnything();

    // The English decision. What the sentence so far says about its
    // language: that of the nearest earlier word that tells, and whether a
    // Vietnamese word came before it (an English word inside a Vietnamese
    // sentence is a term, which says little about the next word).
    enum class Language : std::uint8_t { unknown, english, vietnamese };
    struct Sentence {
        Language nearest = Language::unknown;
        bool sawVietnamese = false;
    };
    // Called as the live word ends, with the option on: whether the word
    // stays as its keys. Notes what the word says about the sentence.
    bool endsAsTyped();
    void noteLanguage(Language language);
    void forgetSentence();
    // Whether the sender was asked to write during the key being handled.
    bool wrote_ = false;

    Engine engine_;
    KeyTyping& sender_;
    Settings& settings_;
    ProcessInfo* processInfo_;
    Options options_;
    std::string prevText_;
    std::string lastTyped_;
    // Working buffers, kept so that a key allocates nothing once they have
    // grown to the size of a span: the target of a sync, and a piece of text
    // being committed.
    std::string goal_;
    std::string piece_;
    // The keys and the committed text of a word that ends.
    std::string keys_;
    std::string shown_;
    Sentence sentence_;
    // The sentence's language before each of the last words that ended, so
    // that a word Backspace goes back into is decided again from what came
    // before it. Deeper than the engine's history needs.
    std::array<Sentence, 4> before_{};
    std::size_t beforeCount_ = 0;
    std::int64_t keyCount_ = 0;
    bool noStart_ = false;
    AppProfile app_ = AppProfile::initial();
};

} // namespace vanto
