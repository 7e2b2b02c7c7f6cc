// Tone and mark keys typed in any order after the first vowel of a syllable
// land where they belong, and the wrong pair of vowel marks can be switched.
#include "vanto/engine.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct Config {
    uint32_t telex = 1, spell_check = 1, std_tone = 1;
};

constexpr Config kTelex{1, 1, 1};
constexpr Config kTelexNoSpell{1, 0, 1};
constexpr Config kTelexAltTone{1, 1, 0};
constexpr Config kVni{0, 1, 1};
constexpr Config kVniNoSpell{0, 0, 1};

struct Case {
    const char* name;
    Config config;
    const char* keys; // ASCII
    const char* committed;
};

std::string committed(const Config& c, const std::string& keys) {
    std::unique_ptr<vt_engine, decltype(&vt_engine_free)> e(vt_engine_new(), &vt_engine_free);
    vt_engine_configure(e.get(), c.telex, c.spell_check, c.std_tone, 0, 0);
    for (char k : keys) vt_engine_add_key(e.get(), static_cast<unsigned char>(k));
    std::string out(vt_engine_text(e.get(), VT_ENGINE_TEXT_COMMITTED, nullptr, 0), '\0');
    vt_engine_text(e.get(), VT_ENGINE_TEXT_COMMITTED, out.data(), out.size());
    return out;
}

void check(const Case& c) {
    EXPECT_EQ(committed(c.config, c.keys), c.committed) << c.name << ": keys \"" << c.keys << "\"";
}

TEST(KeyOrder, ToneRightAfterTheFirstVowelLetter) {
    const Case cases[] = {
        {"iê, the second e completes the vowel", kTelex, "vijeet", "việt"},
        {"iê before ng", kTelex, "tiseeng", "tiếng"},
        {"iê after an h", kTelex, "hijeen", "hiện"},
        {"uô", kTelex, "musoon", "muốn"},
        {"uâ moves the tone onto the circumflex", kTelex, "xusaat", "xuất"},
        {"uây", kTelex, "khusaay", "khuấy"},
        {"ươ, tone before the second horn", kTelex, "buwsowc", "bước"},
        {"ươi", kTelex, "nguwfowi", "người"},
        {"other tone style", kTelexAltTone, "vijeet", "việt"},
        {"without the spell check", kTelexNoSpell, "hijeen", "hiện"},
        {"VNI uâ", kVni, "xu1a6t", "xuất"},
        {"VNI oă", kVni, "cho1a8n", "choắn"},
        {"VNI ươ", kVni, "bu71o7c", "bước"},
        {"VNI iê", kVni, "vi5e6t", "việt"},
        {"VNI without the spell check", kVniNoSpell, "chu3a6n", "chuẩn"},
    };
    for (const Case& c : cases) check(c);
}

// The keys spell an English word up to the tone (vise, dire, hire) and the
// word is shown as typed; the next key leaves English and the word composes.
TEST(KeyOrder, LeavingAnEnglishWordComposesTheSyllable) {
    const Case cases[] = {
        {"vise + e", kTelex, "viseet", "viết"},
        {"dire + e", kTelex, "direem", "diểm"},
        {"life + e", kTelex, "lifeen", "liền"},
        {"sure + e", kTelex, "suree", "suể"},
        {"the English word stays", kTelex, "vise", "vise"},
        {"an English word that goes on stays", kTelex, "tires", "tires"},
        {"English that leaves no syllable stays", kTelex, "direct", "direct"},
        {"hired", kTelex, "hired", "hired"},
        {"a plural s is no tone", kTelex, "queues", "queues"},
    };
    for (const Case& c : cases) check(c);
}

TEST(KeyOrder, MarksAndToneAfterTheWord) {
    const Case cases[] = {
        {"tiếng", kTelex, "tienges", "tiếng"}, {"được", kTelex, "duocdwj", "được"},
        {"đất", kTelex, "datdas", "đất"},      {"được, VNI", kVni, "duoc975", "được"},
        {"căn, VNI", kVni, "can8", "căn"},
    };
    for (const Case& c : cases) check(c);
}

TEST(KeyOrder, TheWrongPairIsSwitched) {
    const Case cases[] = {
        {"ươ to uô by o", kTelex, "muownos", "muốn"},
        {"ươ to uô, tone last", kTelex, "buowcoj", "buộc"},
        {"ươ to uô, tone before the o", kTelex, "duowidro", "đuổi"},
        {"uô to ươ by w", kTelex, "thuoongw", "thương"},
        {"ươ to uô after the horn moved onto the pair", kTelex, "uownos", "uốn"},
        {"capitals", kTelex, "MUOWNOS", "MUỐN"},
        {"a wrong ă kept until it is corrected", kTelex, "bawua", "bâu"},
        {"a wrong uô kept until it is corrected", kTelex, "buoopws", "bướp"},
        {"VNI wrong ă kept until it is corrected", kVni, "ba8u6", "bâu"},
        {"never corrected: the keys", kTelex, "bawu", "bawu"},
        {"uô to ươ, the tone kept", kTelex, "thuoongfw", "thường"},
        {"â to ă, Telex", kTelex, "caanw", "căn"},
        {"â to ă by 8", kVni, "ca6n8", "căn"},
        {"ậ to ặ by 8, tone kept", kVni, "ma6t58", "mặt"},
        {"ươ to uô by 6", kVni, "mu7o7n61", "muốn"},
        {"uô to ươ by 7", kVni, "thuo6ng7", "thương"},
    };
    for (const Case& c : cases) check(c);
}

// A key typed twice still undoes the first when the first was a mark or tone.
TEST(KeyOrder, RepeatUndoOnlyAfterAMarkOrTone) {
    const Case cases[] = {
        {"third a undoes the circumflex", kTelex, "aaa", "aa"},
        {"second s undoes the tone", kTelex, "ass", "as"},
        {"a third e after the completed ê undoes it", kTelex, "tiseee", "tiseee"},
        {"a tone key twice", kTelex, "vieejj", "vieejj"},
        {"a stretched word keeps its letters", kTelex, "chuwaaa", "chưaaa"},
    };
    for (const Case& c : cases) check(c);
}

} // namespace
