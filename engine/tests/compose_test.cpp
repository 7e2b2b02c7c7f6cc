// Typing through the C interface only: keys in, composed and committed text out.
#include "vanto/engine.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct Config {
    uint32_t telex = 1, spell_check = 1, std_tone = 1, telex_w = 0, telex_z = 0;
};

const Config kTelex;
const Config kTelexAltTone{1, 1, 0, 0, 0};
const Config kTelexNoSpell{1, 0, 1, 0, 0};
const Config kTelexQuickW{1, 1, 1, 1, 0};
const Config kTelexZ{1, 1, 1, 0, 1};
const Config kDigits{0, 1, 1, 0, 0};
const Config kDigitsNoSpell{0, 0, 1, 0, 0};

class Typing {
  public:
    explicit Typing(const Config& c) : e_(vt_engine_new(), &vt_engine_free) {
        vt_engine_configure(e_.get(), c.telex, c.spell_check, c.std_tone, c.telex_w, c.telex_z);
    }
    vt_engine* get() const { return e_.get(); }

    // Keys as UTF-8; '<' is Backspace (one key off the word).
    Typing& keys(const std::string& utf8) {
        for (char32_t k : decode(utf8)) {
            if (k == U'<')
                vt_engine_backspace(get());
            else
                vt_engine_add_key(get(), k);
        }
        return *this;
    }
    std::string text(uint32_t kind = VT_ENGINE_TEXT_RESULT) const {
        std::string out(vt_engine_text(get(), kind, nullptr, 0), '\0');
        vt_engine_text(get(), kind, out.data(), out.size());
        return out;
    }
    std::string committed() const { return text(VT_ENGINE_TEXT_COMMITTED); }

  private:
    static std::u32string decode(const std::string& s) {
        std::u32string out;
        for (std::size_t i = 0; i < s.size();) {
            const auto b = static_cast<unsigned char>(s[i]);
            const int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
            char32_t c = n == 1 ? b : b & (0x3F >> (n - 1));
            for (int k = 1; k < n; ++k)
                c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
            out += c;
            i += n;
        }
        return out;
    }
    std::unique_ptr<vt_engine, decltype(&vt_engine_free)> e_;
};

struct Case {
    const char* name;
    Config config;
    const char* keys;
    const char* result;
    const char* committed; // null: same as result
};

void check(const Case& c) {
    SCOPED_TRACE(testing::Message() << c.name << ": keys \"" << c.keys << "\"");
    Typing t(c.config);
    t.keys(c.keys);
    EXPECT_EQ(t.text(), c.result);
    EXPECT_EQ(t.committed(), c.committed ? c.committed : c.result);
}

TEST(Compose, TelexWords) {
    const Case cases[] = {
        {"circumflex and tone last", kTelex, "tieengs", "tiếng", nullptr},
        {"tone after the coda", kTelex, "vieetj", "việt", nullptr},
        {"horn on both vowels and stroke", kTelex, "dduwowngf", "đường", nullptr},
        {"w after the pair horns both", kTelex, "nguoiw", "ngươi", nullptr},
        {"tone skips the u of qu", kTelex, "quas", "quá", nullptr},
        {"standard tone style", kTelex, "hoaf", "hòa", nullptr},
        {"other tone style", kTelexAltTone, "hoaf", "hoà", nullptr},
        {"tone moves when the word grows", kTelex, "hoafn", "hoàn", nullptr},
        {"uy, standard style", kTelex, "thuyr", "thủy", nullptr},
        {"uy, other style", kTelexAltTone, "thuyr", "thuỷ", nullptr},
        {"capitals kept", kTelex, "Truyeenj", "Truyện", nullptr},
        {"capital marks", kTelex, "DDUWOWNGF", "ĐƯỜNG", nullptr},
        {"tone typed early", kTelex, "tieesng", "tiếng", nullptr},
        {"a doubled vowel shows the circumflex", kTelex, "aa", "â", nullptr},
        {"breve", kTelex, "mawts", "mắt", nullptr},
        // Letters typed as precomposed characters: the tone leaves the first
        // marked letter and is placed again once the word grows.
        {"precomposed horns take the tone over", kTelex, "dưsơi", "dưới", nullptr},
        {"precomposed horns, digit tone", kDigits, "lư5ơng", "lượng", nullptr},
        // uO matches no pair rule: of two equally good letters the rightmost
        // takes the horn.
        {"mixed-case pair, rightmost letter marked", kTelex, "buOw", "buƠ", "buOw"},
    };
    for (const Case& c : cases) check(c);
}

TEST(Compose, CapitalisedSentence) {
    Typing t(kTelex);
    std::string line;
    for (const char* word : {"Truyeenx", "Boong", "Loangf"}) {
        t.keys(word);
        line += t.committed() + " ";
        vt_engine_push_state(t.get());
    }
    EXPECT_EQ(line, "Truyễn Bông Loàng ");
}

TEST(Compose, RepeatedKeysGiveTheLetterBack) {
    const Case cases[] = {
        {"third a undoes the circumflex", kTelex, "aaa", "aa", nullptr},
        {"second f undoes the tone, English stays", kTelex, "off", "of", "of"},
        {"stretched word keeps its letters", kTelex, "chuwaaa", "chưaaa", nullptr},
        {"stretched đi", kTelex, "ddiii", "điii", nullptr},
        {"ss undoes the acute", kTelex, "ass", "as", nullptr},
    };
    for (const Case& c : cases) check(c);
}

TEST(Compose, DigitKeys) {
    const Case cases[] = {
        {"tone last", kDigits, "tie6ng1", "tiếng", nullptr},
        {"mark then tone", kDigits, "vie65t", "việt", nullptr},
        {"horn and stroke", kDigits, "d9u7o7ng2", "đường", nullptr},
        {"digit on an empty word", kDigits, "5", "5", nullptr},
        {"letters are only letters", kDigits, "aas", "aas", nullptr},
        {"0 removes the tone", kDigitsNoSpell, "a10", "a", nullptr},
    };
    for (const Case& c : cases) check(c);
}

TEST(Compose, Options) {
    const Case cases[] = {
        {"quick w", kTelexQuickW, "w", "ư", nullptr},
        {"quick W", kTelexQuickW, "W", "Ư", nullptr},
        {"quick w inside a word", kTelexQuickW, "tw", "tư", nullptr},
        {"no quick w", kTelex, "w", "w", nullptr},
        {"digits in Telex are letters", kTelex, "a1", "a1", nullptr},
        {"z removes the tone", kTelexZ, "asz", "a", nullptr},
        {"z without its option", kTelex, "asz", "asz", nullptr},
    };
    for (const Case& c : cases) check(c);
}

TEST(Compose, SeventeenthKeyIsNeverAMark) {
    // Without the spell check the rest after an unknown onset is still marked,
    // so a long run of consonants shows where the key limit lies.
    const std::string consonants(14, 'b');
    check({"16th key is a tone", kTelexNoSpell, (consonants + "as").c_str(),
           (consonants + "á").c_str(), nullptr});
    check({"17th key is a letter", kTelexNoSpell, (consonants + "bas").c_str(),
           (consonants + "bas").c_str(), nullptr});
}

TEST(Compose, SpellCheck) {
    const Case cases[] = {
        {"user", kTelex, "user", "user", nullptr},
        {"email", kTelex, "email", "email", nullptr},
        // A doubled tone key undoes the tone and leaves one letter; the word
        // ends as typed.
        {"affect", kTelex, "affect", "afect", "affect"},
        {"arrow", kTelex, "arrow", "arow", "arrow"},
        {"unknown onset stays plain", kTelex, "stras", "stras", nullptr},
        {"unknown onset marked without the check", kTelexNoSpell, "stras", "strá", nullptr},
        {"not a word: keys committed", kTelex, "vieetjk", "việtk", "vieetjk"},
        {"a stretched word is not given up", kTelex, "vieetjt", "việtt", nullptr},
        // A toned word that leaves the dictionary with its fourth letter falls
        // back to its keys ("tẽn" + o: "tenxo", which w makes the loan word
        // "tenxơ"); with its fifth, it keeps its letters until it ends.
        {"fourth letter off the dictionary", kTelex, "tenxow", "tenxơ", nullptr},
        {"fifth letter off the dictionary", kTelex, "tangsd", "tángd", "tangsd"},
        {"without the check the composed text stays", kTelexNoSpell, "vieetjk", "việtk", nullptr},
    };
    for (const Case& c : cases) check(c);
}

TEST(Compose, WordListsDecide) {
    // The lists hold every syllable writers use and no invented one whose keys
    // are an English word.
    const Case cases[] = {
        // ươ alone is no word, so its keys come back when the word ends.
        {"uow is the start of uong, not a listed uo", kTelex, "uow", "ươ", "uow"},
        {"rare rhyme with a rare onset", kTelex, "nuwowus", "nướu", nullptr},
        {"place syllable outside native spelling", kTelex, "ddawks", "đắk", nullptr},
        // dổ, tơn, quêu are no word: the keys come back when the word ends.
        {"invented syllable leaves door alone", kTelex, "door", "dổ", "door"},
        {"invented syllable leaves town alone", kTelex, "town", "tơn", "town"},
        {"invented syllable leaves queue alone", kTelex, "queue", "queue", nullptr},
    };
    for (const Case& c : cases) check(c);
}

TEST(Compose, Deletion) {
    struct DeleteCase {
        const char* name;
        Config config;
        const char* keys;
        int deletes; // delete_char calls after the keys
        const char* result;
        uint64_t raw_len;
    };
    const DeleteCase cases[] = {
        {"backspace removes the tone key", kTelex, "vieetj<", 0, "viêt", 5},
        {"delete_char removes the last letter", kTelex, "vieetj", 1, "việ", 5},
        {"delete_char in digit mode", kDigits, "vie65t", 1, "việ", 5},
        // No earlier key leaves "ĩ": it is typed afresh with its tone digit.
        {"delete_char retypes a digit tone", kDigits, "im4", 1, "ĩ", 2},
        {"delete_char twice", kTelex, "dduwowngf", 2, "đườ", 7},
        {"one-letter word empties", kTelex, "a", 1, "", 0},
        {"backspace on empty", kTelex, "<<", 0, "", 0},
        {"delete_char on empty", kTelex, "", 2, "", 0},
    };
    for (const DeleteCase& c : cases) {
        SCOPED_TRACE(c.name);
        Typing t(c.config);
        t.keys(c.keys);
        for (int i = 0; i < c.deletes; ++i) vt_engine_delete_char(t.get());
        EXPECT_EQ(t.text(), c.result);
        EXPECT_EQ(vt_engine_raw_len(t.get()), c.raw_len);
    }
}

TEST(Compose, DeletedWordKeepsComposing) {
    Typing t(kTelex);
    t.keys("vieetj");
    vt_engine_delete_char(t.get());
    t.keys("c");
    EXPECT_EQ(t.text(), "việc");
}

TEST(History, ThirdWordEvictsTheFirst) {
    Typing t(kTelex);
    t.keys("vieetj");
    EXPECT_EQ(vt_engine_push_state(t.get()), 0u);
    EXPECT_EQ(vt_engine_push_state(t.get()), 0u); // a second separator after việt
    t.keys("nam");
    EXPECT_EQ(vt_engine_push_state(t.get()), 0u);
    t.keys("ddi");
    EXPECT_EQ(vt_engine_push_state(t.get()), 4u + 2u); // "việt" and its two separators
    EXPECT_EQ(vt_engine_state_stack_len(t.get()), 2u);
}

TEST(History, BackspaceReturnsIntoTheWord) {
    Typing t(kTelex);
    t.keys("hoa");
    vt_engine_push_state(t.get());
    vt_engine_push_state(t.get());
    EXPECT_EQ(vt_engine_pop_state(t.get()), 1u);
    EXPECT_EQ(vt_engine_pop_state(t.get()), 3u + 1u);
    EXPECT_EQ(vt_engine_state_stack_len(t.get()), 0u);
    EXPECT_EQ(vt_engine_raw_len(t.get()), 3u);
    t.keys("f");
    EXPECT_EQ(t.text(), "hòa");
    EXPECT_EQ(vt_engine_pop_state(t.get()), 0u); // nothing happens with a live word
    EXPECT_EQ(t.text(), "hòa");
}

TEST(History, CommittedTextIsFiledAndGivenBack) {
    Typing t(kTelex);
    t.keys("vieetjk"); // not a word: committed as its keys
    vt_engine_push_state(t.get());
    EXPECT_EQ(vt_engine_pop_state(t.get()), 7u + 1u);
    EXPECT_EQ(t.text(), "việtk");
    EXPECT_EQ(vt_engine_pop_state(t.get()), 0u);
    EXPECT_EQ(vt_engine_push_state(t.get()), 0u);
    EXPECT_EQ(vt_engine_pop_state(t.get()), 7u + 1u);
}

TEST(History, PushWithoutWordsDoesNothing) {
    Typing t(kTelex);
    EXPECT_EQ(vt_engine_push_state(t.get()), 0u);
    EXPECT_EQ(vt_engine_state_stack_len(t.get()), 0u);
    EXPECT_EQ(vt_engine_pop_state(t.get()), 0u);
}

} // namespace
