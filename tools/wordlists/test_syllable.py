#!/usr/bin/env python3
"""Self-check of the syllable validator: python3 tools/wordlists/test_syllable.py"""

import sys
import unicodedata
import unittest
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent))
import syllable as S  # noqa: E402

# Well-formed in either tone style.
VALID = {
    "diphthongs and their tone place": "tiếng việt được đường người mưa mía múa ngươi rượu khuyên",
    "qu keeps its u out of the tone": "quá quý quyết quốc quân quầy quẹo quít",
    "gi swallows a following i": "gì gìn giếng giữa già giục giuộc",
    "k gh ngh before front vowels": "kẻ kìa kỹ ghế ghi nghe nghĩ nghiêng",
    "c g ng elsewhere": "cá gà ngủ cũ gù ngó",
    "medials": "hoàn hoài khoảng thuở khuỷu huỵch uyển thuyền khuấy ngoặt",
    "no onset": "ấy ương yên yếu ỉa ý ì ở ừm oái",
    "open i written y": "kĩ kỹ lí lý sĩ sỹ mĩ mỹ tỷ",
    "stop codas with acute or dot": "cáp cạp hát hạt bác bạc ách ạch",
    "long o": "boóng xoòng moóc",
    "rare rhymes": "mẩu bíp ngoáo khoèo chửi bướu",
    "marked level tone": "đa ăn âm ơn ưng",
}

# Each is rejected, whatever the style, and the reason names the fault.
INVALID = [
    # stop codas take only sắc and nặng
    ("càp", "stop coda"), ("cảt", "stop coda"), ("cãch", "stop coda"),
    ("hỏc", "stop coda"), ("bằt", "stop coda"), ("ât", "stop coda"),
    # /k/, /ɣ/, /ŋ/ spelled by the following vowel
    ("ce", "written k"), ("ci", "written k"), ("cê", "written k"), ("cy", "not a rhyme"),
    ("ka", "only before"), ("ku", "only before"),
    ("ge", "written gh"), ("gế", "written gh"), ("gha", "only before"), ("ghơ", "only before"),
    ("nge", "written ngh"), ("ngha", "only before"),
    # q only as qu
    ("qa", "q is written only as qu"), ("qi", "q is written only as qu"),
    # rounding medial after the wrong onset
    ("cuân", "no medial"), ("boa", "no medial"), ("muy", "no medial"),
    # tone on the wrong vowel
    ("qúa", "wrong vowel"), ("hòan", "wrong vowel"), ("muá", "wrong vowel"),
    ("tóan", "wrong vowel"), ("hòai", "wrong vowel"), ("khủyu", "wrong vowel"),
    ("gìa", "wrong vowel"), ("ngừơi", "wrong vowel"), ("víệt", "more than one tone"),
    # not a rhyme
    ("ơng", "not a rhyme"), ("anc", "not a rhyme"), ("tyên", "not a rhyme"),
    ("ya", "not a rhyme"), ("bă", "not a rhyme"), ("lêng", "not a rhyme"),
    ("quoắt", "not a rhyme"), ("giê", "not a rhyme"),
    ("iên", "written yê"),
    # letters and shape
    ("wá", "not used"), ("fa", "not used"), ("zô", "not used"),
    ("đ", "no rhyme"), ("ngh", "no rhyme"), ("Việt", "lowercase"), ("", "empty"),
]

# (first-vowel form, second-vowel form) of a final oa/oe/uy.
STYLE_PAIRS = [("hòa", "hoà"), ("khỏe", "khoẻ"), ("thủy", "thuỷ"), ("hóa", "hoá"),
               ("lòe", "loè"), ("lũy", "luỹ"), ("òa", "oà"), ("ủy", "uỷ")]
# Tone place fixed in both styles: something follows, or q precedes.
STYLE_FREE = "quá quý hoàn thuyền khoảng mía mưa người giữa quỳ hoài khoét"

SPELL = [
    (("h", "oa", S.GRAVE, S.FIRST), "hòa"),
    (("h", "oa", S.GRAVE, S.SECOND), "hoà"),
    (("th", "uy", S.HOOK, S.SECOND), "thuỷ"),
    (("gi", "iêng", S.ACUTE, S.SECOND), "giếng"),
    (("gi", "i", S.GRAVE, S.SECOND), "gì"),
    (("", "iên", S.LEVEL, S.SECOND), "yên"),
    (("", "iêu", S.ACUTE, S.SECOND), "yếu"),
    (("qu", "y", S.ACUTE, S.FIRST), "quý"),
    (("ng", "ươi", S.GRAVE, S.SECOND), "người"),
    (("kh", "uyu", S.HOOK, S.FIRST), "khuỷu"),
]


class ValidatorTest(unittest.TestCase):
    def test_valid_syllables(self):
        for group, words in VALID.items():
            for w in words.split():
                with self.subTest(group=group, word=w):
                    self.assertIsNone(S.check(w))

    def test_invalid_syllables(self):
        for word, reason in INVALID:
            for style in (None, S.FIRST, S.SECOND):
                with self.subTest(word=word, style=style):
                    got = S.check(word, style)
                    self.assertIsNotNone(got)
                    self.assertIn(reason, got)

    def test_tone_style_of_final_oa_oe_uy(self):
        for first, second in STYLE_PAIRS:
            with self.subTest(pair=first):
                self.assertIsNone(S.check(first))
                self.assertIsNone(S.check(second))
                self.assertIsNone(S.check(first, S.FIRST))
                self.assertIsNotNone(S.check(first, S.SECOND))
                self.assertIsNone(S.check(second, S.SECOND))
                self.assertIsNotNone(S.check(second, S.FIRST))

    def test_tone_place_outside_final_oa_oe_uy_ignores_style(self):
        for w in STYLE_FREE.split():
            for style in (S.FIRST, S.SECOND):
                with self.subTest(word=w, style=style):
                    self.assertIsNone(S.check(w, style))

    def test_decomposed_input_is_read_as_composed(self):
        self.assertIsNone(S.check(unicodedata.normalize("NFD", "nghiêng")))
        self.assertIsNone(S.check(unicodedata.normalize("NFD", "được")))

    def test_spell(self):
        for args, want in SPELL:
            with self.subTest(args=args):
                self.assertEqual(S.spell(*args), want)

    def test_every_spelled_syllable_passes_its_own_style(self):
        # spell and check must agree on tone places and on the gi/yê spellings
        # across the whole inventory, or the generated lists lose syllables.
        onsets = ("",) + S.ONSETS
        for onset in onsets:
            rhymes = S.QU_RHYMES if onset == "qu" else S.GI_RHYMES if onset == "gi" else S.RHYMES
            for rhyme in rhymes:
                if onset == "g" and rhyme.startswith("i"):
                    continue  # spells a gi syllable: "gìa" is gi + a with a misplaced tone
                for tone in S.TONES:
                    for style in (S.FIRST, S.SECOND):
                        w = S.spell(onset, rhyme, tone, style)
                        reason = S.check(w, style) or ""
                        # Spelling rules may reject a pair (ka, boa, càt); a
                        # tone in the wrong place never.
                        self.assertNotIn("wrong vowel", reason, (onset, rhyme, tone, style, w))

    def test_strip_tone(self):
        self.assertEqual(S.strip_tone("việt"), ("viêt", S.DOT, 2))
        self.assertEqual(S.strip_tone("đường"), ("đương", S.GRAVE, 2))
        self.assertEqual(S.strip_tone("ăn"), ("ăn", S.LEVEL, None))


if __name__ == "__main__":
    unittest.main()
