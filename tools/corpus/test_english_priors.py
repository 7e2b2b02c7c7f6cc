#!/usr/bin/env python3
"""The rules of english_priors.py: python3 tools/corpus/test_english_priors.py"""

import sys
import tempfile
import unittest
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent))
import english_priors as P  # noqa: E402

# A stand-in for the engine: the Telex words of the tests and what they give.
COMPOSED = {"of": "ò", "been": "bên", "is": "í", "rare": "rả", "there": "thể", "too": "tô"}


def compose(words):
    return [COMPOSED.get(w, w) for w in words]


class Priors(unittest.TestCase):
    def rows(self, en, vi):
        return {row[0]: row[1:] for row in P.priors(en, vi, compose)}

    def test_rows(self):
        en = {"of": 500, "been": 10, "the": 480, "is": 5, "x2": 40, "rare": 2}
        vi = {"bên": 900, "cho": 90, "the": 5, "í": 5, "có": 5}
        rows = self.rows(en, vi)
        # An English word against what its keys compose to.
        self.assertEqual(rows["of"][2:], ("ò", 500, 0))
        self.assertGreater(rows["of"][0], 990)
        self.assertEqual(rows["been"][0], P.share(10, 1037, 900, 1005))
        self.assertEqual(rows["been"][2:], ("bên", 10, 900))
        self.assertLess(rows["been"][0], 50)
        # Typed as it is: the same spelling in both corpora.
        self.assertEqual(rows["the"][2:], ("the", 480, 5))
        self.assertEqual(rows["cho"][2:], ("cho", 0, 90))
        self.assertLess(rows["cho"][0], 10)
        # About equal frequencies share about evenly.
        self.assertAlmostEqual(rows["is"][0], 500, delta=20)
        # Not keys (digits), a word with diacritics, too rare in both.
        for left_out in ("x2", "có", "rare"):
            self.assertNotIn(left_out, rows)
        self.assertEqual(list(rows), sorted(rows))
        # Without capitalised counts there is no capital share.
        self.assertEqual({row[1] for row in rows.values()}, {"-"})

    def test_capital_share(self):
        en = {"there": 100, "too": 100}
        vi = {"thể": 400, "tô": 100}
        rows = P.priors(en, vi, compose, en_capital={"there": 50, "too": 1},
                        vi_capital={"thể": 1, "tô": 1})
        rows = {row[0]: row[1:] for row in rows}
        # There starts English sentences; Thể hardly starts Vietnamese ones.
        self.assertLess(rows["there"][0], 500)
        self.assertGreater(rows["there"][1], 500)
        self.assertEqual(rows["too"][1], "-")  # too rare with a capital

    def test_english_words_the_documents_lack(self):
        en = {"the": 100}
        vi = {"sẽ": 50, "bên": 1}
        rows = P.priors(en, vi, lambda words: [{"sex": "sẽ", "been": "bên"}.get(w, w)
                                                for w in words], also_english={"sex", "been"})
        rows = {row[0]: row[1:] for row in rows}
        self.assertEqual(rows["sex"][2:], ("sẽ", 0, 50))
        self.assertLess(rows["sex"][0], 10)
        self.assertNotIn("been", rows)  # too rare on both sides

    def test_share_never_certain_from_one_corpus_alone(self):
        self.assertEqual(P.share(0, 100, 0, 100), 500)
        self.assertGreater(P.share(1, 10**6, 0, 10**6), 500)
        self.assertLess(P.share(1, 10**6, 0, 10**6), 1000)

    def test_counts_fold_case(self):
        with tempfile.TemporaryDirectory() as folder:
            path = Path(folder) / "words.tsv"
            path.write_text("7\tCho\n3\tcho\n2\tCHO\n\n1\tđi\n4\tĐi\n", encoding="utf-8")
            self.assertEqual(P.read_counts(path), {"cho": 12, "đi": 5})
            self.assertEqual(P.read_counts(path, capitalised=True), {"cho": 7, "đi": 4})


if __name__ == "__main__":
    unittest.main()
