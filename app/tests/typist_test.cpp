// Scenario tests: decoded key events into a Typist typing into a screen.
#include "pipeline_rig.h"

#include <gtest/gtest.h>

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

TEST(Typist, DoubledVowelTakesOneDeletion) {
    PipelineRig rig;
    EXPECT_FALSE(rig.key("a")); // the key alone makes the change
    EXPECT_TRUE(rig.key("a"));
    ASSERT_EQ(rig.sender.requests.size(), 1u);
    EXPECT_EQ(rig.sender.requests[0].text, "â");
    EXPECT_EQ(rig.sender.requests[0].deleting, 1);
    EXPECT_EQ(rig.sender.requests[0].before, BeforeDeleting::invisibleCharacter);
    EXPECT_EQ(rig.text(), "â");
}

TEST(Typist, KeysThatPass) {
    PipelineRig rig;
    EXPECT_FALSE(rig.key("A", ModifierFlags::Shift));
    EXPECT_FALSE(rig.key(" ")); // nothing tracked: an ordinary space
    EXPECT_TRUE(rig.sender.requests.empty());
}

TEST(Typist, CommandEndsTheWord) {
    PipelineRig rig;
    rig.type("vieetj");
    EXPECT_FALSE(rig.key("", ModifierFlags::Command, 8)); // Command-C
    EXPECT_EQ(rig.typist.lastTyped(), "");
    rig.type("s"); // a new word, not a tone on "việt"
    EXPECT_EQ(rig.text(), "việts");
}

TEST(Typist, SpellCheckRejectedWordIsWrittenBackAtItsEnd) {
    PipelineRig rig;
    rig.type("vieetjk");
    EXPECT_EQ(rig.text(), "việtk");
    rig.key("\r", 0, KeyCode::Return);
    EXPECT_EQ(rig.text(), "vieetjk\r");
}

TEST(Typist, LineKeyEndsTheTrackedSpan) {
    // Return leaves the span; a Backspace after it is the application's own
    // and must not bring the word before the Return back to life.
    PipelineRig rig;
    rig.type("vieetj ");
    rig.key("\r", 0, KeyCode::Return);
    EXPECT_EQ(rig.typist.lastTyped(), "");
    EXPECT_FALSE(rig.key("<"));
    rig.type("s");
    EXPECT_EQ(rig.text(), "việt s");
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

TEST(Typist, InvisibleCharacterOnlyForTheFirstKeys) {
    struct Case {
        const char* before; // keys that pass unchanged
        BeforeDeleting expected;
    };
    const Case cases[] = {
        {"bbbb cccc gggg hhhh kkkk ", BeforeDeleting::invisibleCharacter}, // "aa" are keys 26, 27
        {"bbbb cccc gggg hhhh kkkk llll ", BeforeDeleting::nothing},       // keys 31, 32
    };
    for (const Case& c : cases) {
        PipelineRig rig;
        rig.type(c.before);
        rig.type("aa");
        ASSERT_EQ(rig.sender.requests.size(), 1u) << c.before;
        EXPECT_EQ(rig.sender.requests[0].before, c.expected) << c.before;
    }
}

TEST(Typist, PlainBackspaceApplicationsGetNoPreparation) {
    Options terminal;
    terminal.app = "com.apple.Terminal";
    PipelineRig rig(terminal);
    rig.type("aa");
    ASSERT_EQ(rig.sender.requests.size(), 1u);
    EXPECT_EQ(rig.sender.requests[0].before, BeforeDeleting::nothing);
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

TEST(Typist, ModifierChangesEndTheWord) {
    PipelineRig rig;
    rig.type("vieet");
    KeyEvent shift{KeyEvent::Kind::flagsChanged, 56, "", ModifierFlags::Shift};
    KeyEvent command{KeyEvent::Kind::flagsChanged, 55, "", ModifierFlags::Command};
    std::lock_guard<std::mutex> guard(rig.typist.lock);
    rig.typist.handle(shift);
    EXPECT_EQ(vt_engine_raw_len(rig.typist.engine().ptr()), 5u);
    rig.typist.handle(command);
    EXPECT_EQ(vt_engine_raw_len(rig.typist.engine().ptr()), 0u);
}

} // namespace
} // namespace vanto
