#!/usr/bin/env python3
"""The sentence rules of build.py: python3 tools/corpus/test_sentences.py"""

import sys
import unittest
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent))
import build as B  # noqa: E402

DICTIONARY = {"the", "list", "of", "files", "is", "sorted", "by", "name", "a", "see",
              "below", "for", "more", "options", "this", "runs", "fast"}
ENGLISH_FORMS = DICTIONARY | {"pdf", "gnu"}


class Sentences(unittest.TestCase):
    def test_cut_after_an_end_mark_before_a_capital(self):
        block = "The list is sorted.  See below, e.g. here. Là  xong!\nĐây là gì? x"
        self.assertEqual(list(B.sentences(block)),
                         ["The list is sorted.", "See below, e.g. here.", "Là xong!",
                          "Đây là gì? x"])

    def test_typed_prose(self):
        cases = [
            ("The list of files is sorted.", True),
            ("the list of files is sorted.", False),      # no capital first
            ("The list of files is sorted", False),       # no end mark
            ("The list sorted.", False),                   # three words
            ("The list of files in /usr is sorted.", False),  # a path
            ("The md5sum of files is sorted.", False),    # letters and digits
            ("The list of 20 files is sorted.", True),    # a number alone
            ("The Straße of files is sorted.", False),    # a letter of neither alphabet
            ("Danh sách các tệp được sắp xếp.", True),
        ]
        for sentence, kept in cases:
            with self.subTest(sentence=sentence):
                self.assertEqual(B.is_typed_prose(sentence, B.VI_MARKED), kept)

    def test_english_sentences_are_ascii_dictionary_prose(self):
        self.assertTrue(B.english_sentence("This runs fast for more files.", DICTIONARY))
        self.assertFalse(B.english_sentence("This runs xyzzy plugh frob files.", DICTIONARY))
        self.assertFalse(B.english_sentence("This runs fast for more tệp.", DICTIONARY))

    def test_vietnamese_sentences_and_their_terms(self):
        cases = [
            ("Mở tệp và lưu lại.", []),
            ("Mở LibreOffice Calc rồi lưu tệp PDF.", ["LibreOffice", "Calc", "PDF"]),
            ("Nhấn Calc rồi Calc lần nữa.", ["Calc"]),       # each term once
            ("Nhập vào lôgic của tệp.", []),                  # a listed loan
            ("Mở dữ liệukhông của tệp.", None),               # words run together
            ("Mở tệp liêt kê ở đây.", None),                  # a slip of the writer
            ("Open the list of files sorted by tên.", None),  # mostly English
        ]
        for sentence, terms in cases:
            with self.subTest(sentence=sentence):
                self.assertEqual(B.vietnamese_sentence(sentence, ENGLISH_FORMS), terms)

    def test_sample_is_stable_and_names_the_first_package(self):
        found = [(f"Câu số {i}.", "a") for i in range(B.MAX_SENTENCES + 50)]
        found.append(("Câu số 3.", "b"))
        kept = B.sample(found)
        self.assertEqual(len(kept), B.MAX_SENTENCES)
        self.assertEqual(kept, B.sample(list(reversed(found[:-1])) + [found[-1]]))
        self.assertNotIn(("Câu số 3.", "b"), kept)
        # A sentence coming or going moves no other sentence out of the sample
        # unless it takes its place.
        fewer = B.sample(found[1:])
        self.assertLessEqual(len(set(kept) - set(fewer)), 1)


if __name__ == "__main__":
    unittest.main()
