// Scenario tests: decoded key events into a Typist typing into a screen.
#include "pipeline_rig.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vanto {
namespace {

using testing::Options;
using testing::PipelineRig;

TEST(Typist, TypingCases) {
    struct Case {
        const char* name;
        const char* keys;
        const char* field;
        Options options;
    };
    Options vni;
    vni.telex = false;
    Options bsChar;
    bsChar.backspaceDeletesChar = true;
    const Case cases[] = {
        {"words and separators", "tieengs vieejt ", "tiếng việt ", {}},
        {"digit keys", "tie6ng1 Vie65t", "tiếng Việt", vni},
        {"digits alone stay digits", "2024 ", "2024 ", vni},
        {"Escape restores the keys", "vieetj~", "vieetj", {}},
        {"Escape with nothing composed", "~a", "a", {}},
        {"Backspace into the previous word", "vieetj <<s", "viết", {}},
        {"Backspace deletes a whole character", "vieetj <<", "việ", bsChar},
        {"English committed as typed", "affect arrow ", "affect arrow ", {}},
        {"a doubled tone key leaves one letter", "off ", "of ", {}},
        {"stretched words", "chuwaaa ddiii ", "chưaaa điii ", {}},
        {"after @ letters pass uncomposed", "@vieetj", "@vieetj", {}},
        {"a space after @ lets words compose again", "@a vieetj", "@a việt", {}},
        {"Backspace with nothing tracked passes", "a <<<vieetj", "việt", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PipelineRig rig(c.options);
        rig.type(c.keys);
        EXPECT_EQ(rig.text(), c.field);
        EXPECT_EQ(rig.text().substr(rig.text().size() - rig.typist.lastTyped().size()),
                  rig.typist.lastTyped());
    }
}

TEST(Typist, KeysThatPass) {
    PipelineRig rig;
    EXPECT_FALSE(rig.key("A", ModifierFlags::Shift));
    EXPECT_FALSE(rig.key(" ")); // nothing tracked: an ordinary space
    EXPECT_TRUE(rig.sender.requests.empty());
}

TEST(Typist, LongSpanIsForgottenOnceWritten) {
    // The span holds at most two finished words and the live one. Once it
    // passes 32 characters it is written and forgotten: the tone key that
    // follows no longer reaches the word before it.
    Options noSpell;
    noSpell.spellCheck = false; // an unknown onset still takes a tone
    PipelineRig rig(noSpell);
    rig.type("bbbbbbbbbb cccccccccc gggggggggba"); // 33 characters
    EXPECT_EQ(rig.typist.lastTyped(), "");
    rig.type("s");
    EXPECT_EQ(rig.text(), "bbbbbbbbbb cccccccccc gggggggggbas");
    PipelineRig shorter(noSpell);
    shorter.type("bbbbbbbbbb cccccccccc ggggggggbas");
    EXPECT_EQ(shorter.text(), "bbbbbbbbbb cccccccccc ggggggggbá");
}

void changeFlags(PipelineRig& rig, std::uint64_t flags) {
    std::lock_guard<std::mutex> guard(rig.typist.lock);
    rig.typist.handle(KeyEvent{KeyEvent::Kind::flagsChanged, 55, "", flags});
}

// Which keys end the word: after them a tone key starts a new word instead
// of reaching the old one.
TEST(Typist, WordEndingKeys) {
    struct Case {
        const char* name;
        const char* before;
        void (*end)(PipelineRig&);
        const char* after;
        const char* field;
    };
    const Case cases[] = {
        {"Command-C", "vieetj", [](PipelineRig& r) { r.key("", ModifierFlags::Command, 8); }, "s",
         "việts"},
        {"Command pressed", "vieetj",
         [](PipelineRig& r) { changeFlags(r, ModifierFlags::Command); }, "s", "việts"},
        {"Shift pressed does not", "vieetj",
         [](PipelineRig& r) { changeFlags(r, ModifierFlags::Shift); }, "s", "viết"},
        {"space", "vieetj", [](PipelineRig& r) { r.key(" "); }, "s", "việt s"},
        // Return leaves the span; a Backspace after it is the application's
        // own and must not bring the word before the Return back to life.
        {"Return", "vieetj ", [](PipelineRig& r) { r.key("\r", 0, KeyCode::Return); }, "<s",
         "việt s"},
        // A word the spell check rejected is written back as its keys.
        {"Return after a rejected word", "vieetjk",
         [](PipelineRig& r) { r.key("\r", 0, KeyCode::Return); }, "", "vieetjk\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PipelineRig rig;
        rig.type(c.before);
        c.end(rig);
        rig.type(c.after);
        EXPECT_EQ(rig.text(), c.field);
    }
}

// What the sender does before deleting: an invisible character where the
// application's Backspace would otherwise eat more than one character, only
// for the first keys after a reset.
TEST(Typist, PreparationBeforeDeleting) {
    struct Case {
        const char* name;
        const char* app;
        const char* before; // keys that pass unchanged
        bool lineKey;       // Return after them
        BeforeDeleting expected;
    };
    const char* textEdit = "com.apple.TextEdit";
    const Case cases[] = {
        {"a doubled vowel", textEdit, "", false, BeforeDeleting::invisibleCharacter},
        {"plain Backspace application", "com.apple.Terminal", "", false, BeforeDeleting::nothing},
        // "aa" after 27 keys: the change comes with key 29.
        {"last key under the limit", textEdit, "bbbb cccc gggg hhhh kkkk l ", false,
         BeforeDeleting::invisibleCharacter},
        {"the limit", textEdit, "bbbb cccc gggg hhhh kkkk ll ", false, BeforeDeleting::nothing},
        {"a line key starts the count again", textEdit, "bbbb cccc gggg hhhh kkkk llll ", true,
         BeforeDeleting::invisibleCharacter},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Options o;
        o.app = c.app;
        PipelineRig rig(o);
        rig.type(c.before);
        if (c.lineKey) rig.key("\r", 0, KeyCode::Return);
        rig.sender.requests.clear();
        EXPECT_FALSE(rig.key("a")); // the key alone makes the change
        EXPECT_TRUE(rig.key("a"));
        ASSERT_EQ(rig.sender.requests.size(), 1u);
        EXPECT_EQ(rig.sender.requests[0].text, "â");
        EXPECT_EQ(rig.sender.requests[0].deleting, 1);
        EXPECT_EQ(rig.sender.requests[0].before, c.expected);
    }
}

// In VNI the digit row composes, but not with Shift: Shift+1 is "!".
TEST(Typist, ShiftedDigitRowIsPunctuation) {
    Options vni;
    vni.telex = false;
    PipelineRig rig(vni);
    rig.type("a");
    EXPECT_FALSE(rig.key("!", ModifierFlags::Shift, KeyCode::Digits[1]));
    rig.type("a1");
    EXPECT_EQ(rig.text(), "a!á");
}

TEST(Typist, InlineSuggestionField) {
    PipelineRig rig;
    {
        std::lock_guard<std::mutex> guard(rig.typist.lock);
        rig.typist.overlay = AppProfile::make("com.apple.Spotlight", {}, kOwnBundleID);
        rig.typist.refreshApp();
    }
    rig.type("go");
    rig.sender.screen.suggestion = u"ogle Chrome";
    rig.type("x");
    EXPECT_EQ(rig.text(), "gõ");
    EXPECT_EQ(rig.sender.screen.lastBefore, BeforeDeleting::forwardDelete);
    rig.key("", ModifierFlags::NumericPad | ModifierFlags::Function, KeyCode::LeftArrow);
    rig.type("cos");
    EXPECT_EQ(rig.sender.screen.lastBefore, BeforeDeleting::invisibleCharacter);
}

TEST(Typist, IgnoredApplicationAndInactiveTypistPassEverything) {
    Options vm;
    vm.app = "com.vmware.fusion";
    PipelineRig ignored(vm);
    ignored.type("vieetj");
    EXPECT_EQ(ignored.text(), "vieetj");
    PipelineRig inactive;
    {
        std::lock_guard<std::mutex> guard(inactive.typist.lock);
        inactive.typist.isActive = false;
    }
    inactive.type("vieetj");
    EXPECT_EQ(inactive.text(), "vieetj");
}

// A sender that fails halfway through a write, after the field has been
// changed, and remembers the proxy it was handed.
class FailingSender final : public KeyTyping {
  public:
    void type(std::string_view text, std::int64_t deleting, BeforeDeleting before) override {
        seenProxy = proxy;
        screen.type(text, deleting, before);
        throw std::runtime_error("the window system refused an event");
    }
    Screen screen;
    TapProxy* seenProxy = nullptr;
};

TEST(Typist, AFailingWriteNeitherThrowsNorLeavesTheProxyBehind) {
    PipelineRig rig;
    FailingSender failing;
    Typist typist(rig.settings, failing);
    {
        std::lock_guard<std::mutex> guard(typist.lock);
        typist.isActive = true;
        typist.frontApp = AppProfile::make("com.apple.TextEdit", {}, kOwnBundleID);
        typist.refreshApp();
    }
    auto* const proxy = reinterpret_cast<TapProxy*>(&rig); // any non-null handle
    const KeyEvent a{KeyEvent::Kind::keyDown, 0, "a", 0};
    EXPECT_FALSE(typist.process(a, proxy));
    failing.screen.applyKey(0, "a");
    // The second "a" is written as "â" before the sender fails: the key
    // itself must not follow, and the span is forgotten.
    EXPECT_TRUE(typist.process(a, proxy));
    EXPECT_EQ(failing.seenProxy, proxy);
    EXPECT_EQ(failing.proxy, nullptr);
    EXPECT_EQ(failing.screen.text(), "â");
    EXPECT_EQ(typist.lastTyped(), "");
}

TEST(Typist, OptionsTakeEffectTogetherAtApplySettings) {
    // The engine's options and the per-key ones change in one step: between
    // a change and its application every key follows the old options.
    const char* keys = "vieet1j<";
    PipelineRig untouched;
    untouched.type(keys);
    PipelineRig changed;
    changed.settings.setTelex(false);
    changed.settings.setBackspaceDeletesChar(true);
    changed.type(keys);
    EXPECT_EQ(changed.text(), untouched.text());
    changed.typist.applySettings();
    changed.type(" vie65t<");
    EXPECT_EQ(changed.text(), untouched.text() + " việ");
}

} // namespace
} // namespace vanto
