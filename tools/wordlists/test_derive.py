#!/usr/bin/env python3
"""The rules derive.py applies to its sources: python3 tools/wordlists/test_derive.py"""

import sys
import unittest
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent))
import derive as D  # noqa: E402


class EnglishRules(unittest.TestCase):
    def test_inflections_of_a_known_stem(self):
        known = {"stop", "run", "study", "make", "pass", "this", "bus", "test", "up"}
        cases = [
            ("tests", True),     # plural on the stem as it is
            ("stopped", True),   # doubled consonant
            ("running", True),
            ("studies", True),   # y to i
            ("studied", True),
            ("making", True),    # silent e
            ("passes", True),
            ("passed", True),
            ("buses", True),
            ("pass", False),     # no plural -s after an s
            ("this", False),
            ("status", False),   # unknown stem
            ("ups", False),      # too short for the suffix rule
            ("sing", False),
        ]
        for word, expected in cases:
            with self.subTest(word=word):
                self.assertEqual(D.is_inflection(word, known), expected)

    def test_double_tone_keys(self):
        for word, expected in [("passed", True), ("arrow", True), ("coffee", True),
                               ("address", True), ("apple", False), ("hello", False),
                               ("balloon", True)]:
            with self.subTest(word=word):
                self.assertEqual(D.has_double_key(word), expected)


class VietnameseRules(unittest.TestCase):
    def test_bare_drops_every_diacritic(self):
        self.assertEqual(D.bare("đường"), "duong")
        self.assertEqual(D.bare("việt"), "viet")
        self.assertEqual(D.bare("ba"), "ba")

    def test_toneless_forms_only_for_a_tone_on_the_last_letter(self):
        self.assertEqual(D.toneless_forms({"bá", "mưá"}), {"ba", "mưa", "mua"})
        self.assertEqual(D.toneless_forms({"việt", "hòa", "ba"}), set())

    def test_check_format_names_the_fault(self):
        letters = D.VI_LETTERS - {"w"}
        D.check_format("ok", {"việt", "ba"}, letters, 9)
        faults = [
            ({""}, "empty entry"),
            ({"Việt"}, "not lowercase NFC"),
            ({"vie\u0323\u0302t"}, "not lowercase NFC"),  # decomposed
            ({"wa"}, "outside the list's alphabet"),
            ({"nghiêngnga"}, "longer than 9"),
        ]
        for words, reason in faults:
            with self.subTest(words=words):
                with self.assertRaisesRegex(D.SourceError, reason):
                    D.check_format("list", words, letters, 9)

    def test_identity_splits_onset_rhyme_and_tone_in_either_tone_style(self):
        self.assertEqual(D.identity("người"), ("ng", "ươi", "f"))
        self.assertEqual(D.identity("quá"), ("qu", "a", "s"))
        self.assertEqual(D.identity("hòa"), D.identity("hoà"))


if __name__ == "__main__":
    unittest.main()
