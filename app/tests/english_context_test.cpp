// The English decision at the end of a word: typed through the pipeline with
// the option on, against the same keys with it off.
#include "pipeline_rig.h"

#include <gtest/gtest.h>

namespace vanto {
namespace {

using testing::Options;
using testing::PipelineRig;

Options englishContext(bool on = true, bool telex = true) {
    Options o;
    o.englishContext = on;
    o.telex = telex;
    return o;
}

struct Case {
    const char* name;
    const char* keys;
    const char* on;  // the field with the option on
    const char* off; // and with it off, as it has always been
};

void check(const Case& c, bool telex = true) {
    SCOPED_TRACE(c.name);
    for (const bool on : {true, false}) {
        PipelineRig rig(englishContext(on, telex));
        rig.type(c.keys);
        EXPECT_EQ(rig.text(), on ? c.on : c.off) << (on ? "on" : "off");
        // What the typist tracks is what the field ends with.
        EXPECT_EQ(rig.text().substr(rig.text().size() - rig.typist.lastTyped().size()),
                  rig.typist.lastTyped());
    }
}

TEST(EnglishContext, AnEnglishWordBeforeKeepsTheWordEnglish) {
    const Case cases[] = {
        {"of", "the list of ", "the list of ", "the lít ò "},
        {"is, this", "it is this ", "it is this ", "it í thí "},
        {"a word of four keys or more", "the test ", "the test ", "the tét "},
        {"a word made English tells the next", "list of as if ", "list of as if ", "lít ò á ì "},
        {"capitals", "The List Of ", "The List Of ", "The Lít Ò "},
        {"English from the engine's list", "the tree must ", "the tree must ", "the trê mút "},
        {"a sentence of many words", "we have been here too ", "we have been here too ",
         "we have bên hể tô "},
        {"before a comma", "it is, of course ", "it is, of course ", "it í, ò course "},
    };
    for (const Case& c : cases) check(c);
}

TEST(EnglishContext, AVietnameseWordBeforeKeepsTheWordVietnamese) {
    const Case cases[] = {
        {"Vietnamese letters", "tooi of ", "tôi ò ", "tôi ò "},
        {"a common word", "mieeu tar ", "miêu tả ", "miêu tả "},
        {"a word without diacritics", "cho is ", "cho í ", "cho í "},
        {"the nearest word decides", "the tooi is ", "the tôi í ", "the tôi í "},
        {"the nearest word decides, English", "tooi the is ", "tôi the is ", "tôi the í "},
        // An English term inside a Vietnamese sentence leaves the word to the
        // counts: teen is rare against tên.
        {"an English term in a Vietnamese sentence", "tooi file teen ", "tôi file tên ",
         "tôi file tên "},
        {"the same word in an English sentence", "the file teen ", "the file teen ",
         "the file tên "},
        // Spellings both languages use often tell nothing: do.
        {"a word of both languages", "cho do is ", "cho do í ", "cho do í "},
        {"a word of both languages, English before", "it do is ", "it do is ", "it do í "},
    };
    for (const Case& c : cases) check(c);
}

TEST(EnglishContext, WithNothingBeforeTheCountsDecide) {
    const Case cases[] = {
        {"keys mostly meant as English", "of ", "of ", "ò "},
        {"keys mostly meant as Vietnamese", "been ", "bên ", "bên "},
        {"a common Vietnamese word", "Tar ", "Tả ", "Tả "},
        // Counted with a capital, as sentences start: There, These often
        // start English sentences, Thể, Thế seldom Vietnamese ones.
        {"with a capital", "These ", "These ", "Thế "},
        {"the same keys in small letters", "these ", "thế ", "thế "},
        {"a capital that is Vietnamese", "Been ", "Bên ", "Bên "},
    };
    for (const Case& c : cases) check(c);
}

TEST(EnglishContext, ASentenceEndOrALineBreakForgetsTheSentence) {
    const Case cases[] = {
        {"full stop", "the end. been ", "the end. bên ", "the end. bên "},
        {"question mark", "tooi? is ", "tôi? is ", "tôi? í "},
        {"exclamation mark", "the end! been ", "the end! bên ", "the end! bên "},
        {"line break", "tooi\nis ", "tôi\nis ", "tôi\ní "},
        {"two sentences", "tooi. the list. been of ", "tôi. the list. bên of ",
         "tôi. the lít. bên ò "},
    };
    for (const Case& c : cases) check(c);
}

// Return ends the word the way a separator does, and the sentence with it.
TEST(EnglishContext, ReturnDecidesTheWordAndEndsTheSentence) {
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on ? "on" : "off");
        PipelineRig rig(englishContext(on));
        rig.type("the list");
        EXPECT_FALSE(rig.key("\r", 0, KeyCode::Return));
        rig.type("been ");
        EXPECT_EQ(rig.text(), on ? "the list\rbên " : "the lít\rbên ");
    }
}

TEST(EnglishContext, AClickForgetsTheSentence) {
    PipelineRig rig(englishContext());
    rig.type("the ");
    {
        std::lock_guard<std::mutex> guard(rig.typist.lock);
        rig.typist.leaveField();
    }
    rig.type("been ");
    EXPECT_EQ(rig.text(), "the bên ");
}

TEST(EnglishContext, BackspaceIntoADecidedWordEditsItAgain) {
    const Case cases[] = {
        // The engine's word comes back; it is decided again when it ends.
        {"back into the word", "the of <", "the ò", "the ò"},
        {"ended again", "the of < ", "the of ", "the ò "},
        {"edited", "the of <<r ", "the or ", "the ỏ "},
        {"through a word into the one before", "the list of <<<< ", "the list ", "the lít "},
        {"into a Vietnamese sentence's word", "tooi of < ", "tôi ò ", "tôi ò "},
        // What the retyped word is decided from is the word before it, not
        // the word it replaces.
        {"decided from the word before", "cho the <<<<is ", "cho í ", "cho í "},
        // The engine counts the keys of a word kept as typed when it leaves
        // its short history, so the field stays right far behind it.
        {"words leaving the history", "the of is as if or ", "the of is as if or ",
         "the ò í á ì ỏ "},
        {"going back over them", "the of is as if or <<<< is ", "the of is as if is ",
         "the ò í á ì í "},
    };
    for (const Case& c : cases) check(c);
}

TEST(EnglishContext, DigitKeysChangeNothing) {
    // English letters do not compose with digit keys.
    const Case cases[] = {
        {"English", "the list of is ", "the list of is ", "the list of is "},
        {"Vietnamese", "to6i the61 ", "tôi thế ", "tôi thế "},
    };
    for (const Case& c : cases) check(c, false);
}

} // namespace
} // namespace vanto
