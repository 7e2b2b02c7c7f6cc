#!/usr/bin/env python3
"""The rules that decide the strict lists, on named cases:
python3 tools/wordlists/test_derive_inventory.py

Runs on small made-up sources, so it needs none of the installed packages."""

import sys
import unittest
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent))
import derive as D  # noqa: E402
import syllable as S  # noqa: E402
import telex_keys as K  # noqa: E402

# A few English words, as SCOWL lists them (turns, not only turn): enough for
# the cases below.
ENGLISH = {"door", "town", "term", "hose", "soon", "queue", "hex", "tree", "map", "turn",
           "turns", "major", "chosen", "reuse", "data"}


def taker(word, attested_words=()):
    """The English word that keeps `word` out, None when it is in."""
    attested = {D.identity(w) for w in attested_words}
    return D.english_taker(D.identity(word), word, attested, ENGLISH)


class GeneratorRulesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # One full run with two syllables attested: every other candidate
        # faces the rule.
        attested = {D.identity("thuở"), D.identity("pênh")}
        cls.words, cls.dropped = D.strict_list(S.SECOND, attested, ENGLISH)

    def test_rare_rhyme_with_an_onset_no_source_pairs_it_with(self):
        # ưu, uêch, ươu, êch, uyt, ooc, yu come with every onset spelling
        # allows: trừu tượng, nguệch ngoạc, nướu, nhếch, tuýt còi, voọc, quỵu.
        for w in ("trừu", "nguệch", "nhếch", "nhướn", "nướu", "tuýt", "chuếnh", "xuộm",
                  "loạch", "xệt", "dèm", "voọc", "oẹo", "quỵu", "đắk", "lắk", "krông",
                  "kông", "kạn"):
            with self.subTest(word=w):
                self.assertTrue(w in self.words)

    def test_unattested_syllable_typed_as_english_is_left_out(self):
        # syllable: the English word its keys spell in some Telex habit
        cases = {"dổ": "door", "tơn": "town", "tẻm": "term", "hóe": "hose", "sôn": "soon",
                 "quêu": "queue", "hẽ": "hex", "trế": "trees", "máp": "maps",
                 "tủn": "turn", "tún": "turns", "mảo": "major", "choén": "chosen",
                 "rếu": "reuse"}
        for w, english in cases.items():
            with self.subTest(word=w):
                self.assertEqual(taker(w), english)
        for w in ("dổ", "tơn", "hoé", "quêu", "mảo"):
            with self.subTest(word=w):
                self.assertFalse(w in self.words)
                self.assertTrue(w in self.dropped)

    def test_attested_syllable_is_kept_even_when_its_keys_are_english(self):
        for w in ("dổ", "máp", "dật", "hóe"):
            with self.subTest(word=w):
                self.assertIsNone(taker(w, {w}))

    def test_attestation_holds_for_either_tone_place(self):
        self.assertIsNone(taker("hoé", {"hóe"}))
        self.assertIsNone(taker("hóe", {"hoé"}))

    def test_english_keys_in_one_tone_place_drop_the_syllable_from_both(self):
        # chỏe is typed c-h-o-r-e, the tone right after its vowel; choẻ is not,
        # but it is the same syllable and goes too.
        self.assertEqual(taker("chỏe"), None)
        english = ENGLISH | {"chore"}
        for w in ("chỏe", "choẻ"):
            with self.subTest(word=w):
                self.assertEqual(D.english_taker(D.identity(w), w, set(), english), "chore")

    def test_bare_uo_with_horn_is_no_entry(self):
        # uow must compose ươ (the start of ương), not a listed uơ; only the
        # attested thuở keeps the rhyme.
        for w in ("uơ", "thuơ", "luơ"):
            with self.subTest(word=w):
                self.assertFalse(w in self.words)
        self.assertTrue("thuở" in self.words)

    def test_listed_place_syllable_yields_to_english_unless_attested(self):
        english = ENGLISH | {"koong"}
        self.assertEqual(D.english_taker("kông", "kông", set(), english), "koong")
        self.assertIsNone(D.english_taker("kông", "kông", {"kông"}, english))

    def test_loan_onset_comes_only_with_attestation(self):
        self.assertTrue("pênh" in self.words)
        self.assertFalse("pêm" in self.words)


class SourceReadingTest(unittest.TestCase):
    def test_source_sorts_words_into_syllables_and_the_rest(self):
        src = D.Source("t", "test", "1", "MIT", "test",
                       {"nướu", "đắk", "almería", "qúy", "hello", "thanhcông", "ü"})
        self.assertEqual(src.syllables, {"nướu", "đắk"})
        self.assertEqual(src.left_out, {"almería", "qúy", "thanhcông"})

    def test_k_before_a_back_vowel_counts_only_in_an_attested_place_name(self):
        src = D.Source("t", "test", "1", "MIT", "test", {"kơ", "kôn", "kuêh", "kha"})
        self.assertEqual(src.syllables, {"kơ", "kôn"})
        words, _ = D.strict_list(S.SECOND, {"kơ"}, ENGLISH)
        self.assertTrue("kơ" in words)
        self.assertFalse("kôn" in words)

    def test_javascript_escapes_are_decoded(self):
        text = 'name:"T\\u1EC9nh H\\xE0 Giang",x:`\\u{110}\\u1EAFk L\\u1EAFk`'
        self.assertEqual(D.tokens(D._js_unescape(text)) & {"tỉnh", "hà", "đắk", "lắk"},
                         {"tỉnh", "hà", "đắk", "lắk"})


class TelexKeysTest(unittest.TestCase):
    def test_keys_in_each_habit(self):
        cases = [
            ("tiếng", ("tieengs", "tieesng", "tieengs", "tienges")),
            ("được", ("dduwowcj", "dduwowjc", "dduowcj", "duocdwj")),
            ("mưa", ("muwa", "muwa", "muwa", "muwa")),
            ("xoong", ("xooong", "xooong", "xooong", "xooong")),
            ("quêu", ("queeu", "queeu", "queeu", "queue")),
        ]
        for word, expected in cases:
            with self.subTest(word=word):
                self.assertEqual(tuple(K.keys(word, s) for s in K.STYLES), expected)


if __name__ == "__main__":
    unittest.main()
