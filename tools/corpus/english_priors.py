#!/usr/bin/env python3
"""Derive data/english_priors.tsv: for words whose keys could be meant as
English or as Vietnamese, how often they are meant as English.

    python3 tools/corpus/english_priors.py [--vanto-type PATH] [--out FILE]

Inputs are the corpus counts of bench/data/ (see build.py): en_words.tsv,
the English words of English documents, and vi_words.tsv, the tokens of
Vietnamese documents. What the keys of an English word compose to is asked of
the engine itself, through vanto-type (Telex, default options, the English
decision off), so the table follows the rules the engine has.

Each line of the output is

    keys<TAB>share<TAB>capital share<TAB>composed<TAB>english count<TAB>vietnamese count

share: per mille, how often the keys are meant as English, from the two
frequencies (count over the corpus's tokens, half a count added to each so
that a word one corpus lacks is not certain). capital share: the same for
the words written with a capital (There against Thể), as sentences start;
"-" where both corpora have fewer than MIN_COUNT of them. Counted words:
 - English words whose keys compose to something else (of: ò): the English
   frequency of the keys against the Vietnamese frequency of the composition;
 - English words typed as they are (the, to) and Vietnamese words without any
   diacritic (cho, con): the two frequencies of the same spelling, so that
   the word before an ambiguous one tells which language the sentence is in.
The English words are those of the English corpus and the whole words of the
engine's English list (a word the documents lack counts 0 times in English).
Words seen fewer than MIN_COUNT times in both corpora are left out.
"""

import argparse
import pathlib
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
MIN_COUNT = 3
# Words per line given to vanto-type: a line is one field.
CHUNK = 200


def read_counts(path, capitalised=False):
    """count<TAB>word lines, folded to lower case (counts of case variants add).
    capitalised: only words written with a capital and then small letters
    (There, Thể), the way a sentence starts."""
    counts = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line:
                continue
            count, word = line.split("\t")
            if capitalised and not (word[:1].isupper() and word[1:] == word[1:].lower()):
                continue
            key = word.lower()
            counts[key] = counts.get(key, 0) + int(count)
    return counts


def is_keys(word):
    return word.isascii() and word.isalpha()


def compose_with(tool, options):
    """A composer running vanto-type: words -> their compositions, in order."""

    def compose(words):
        out = []
        for i in range(0, len(words), CHUNK):
            chunk = words[i:i + CHUNK]
            result = subprocess.run([tool, *options], input=" ".join(chunk) + "\n",
                                    capture_output=True, text=True, check=True)
            composed = result.stdout.rstrip("\n").split(" ")
            if len(composed) != len(chunk):
                sys.exit(f"english_priors: {len(chunk)} words typed, {len(composed)} came back")
            out.extend(composed)
        return out

    return compose


def share(en_count, en_total, vi_count, vi_total):
    """Per mille: the English frequency's part of both frequencies."""
    en = (en_count + 0.5) / en_total
    vi = (vi_count + 0.5) / vi_total
    return round(1000 * en / (en + vi))


def engine_english(root):
    """The words of the engine's English list that are whole words: those of
    data/en_words.txt shorter than its cut (7 letters), and the short words
    listed in engine/src/trie.cpp."""
    words = set()
    with open(root / "data/en_words.txt", encoding="utf-8") as f:
        words.update(w for w in (line.strip() for line in f) if 0 < len(w) < 7)
    source = (root / "engine/src/trie.cpp").read_text(encoding="utf-8")
    listed = re.search(r"short_english_words\[\d+\] = \{(.*?)\};", source, re.S)
    if not listed:
        sys.exit("english_priors: engine/src/trie.cpp no longer lists short_english_words")
    words.update(re.findall(r'U"([a-z]+)"', listed.group(1)))
    return words


def priors(en, vi, compose, also_english=(), en_capital=None, vi_capital=None):
    """The table rows, sorted by keys:
    (keys, share, capital share or "-", composed, en count, vi count).
    also_english: English words to weigh even when the English corpus lacks
    them (their English count is 0). en_capital, vi_capital: the counts of
    capitalised words; the capital share is "-" where both are too rare."""
    en_total, vi_total = sum(en.values()), sum(vi.values())
    en_capital, vi_capital = en_capital or {}, vi_capital or {}

    def row(word, target):
        en_count, vi_count = en.get(word, 0), vi.get(target, 0)
        if max(en_count, vi_count) < MIN_COUNT:
            return None
        en_cap, vi_cap = en_capital.get(word, 0), vi_capital.get(target, 0)
        capital = (share(en_cap, en_total, vi_cap, vi_total)
                   if max(en_cap, vi_cap) >= MIN_COUNT else "-")
        return (word, share(en_count, en_total, vi_count, vi_total), capital, target, en_count,
                vi_count)

    english = sorted(w for w in set(en) | set(also_english) if is_keys(w))
    rows = {}
    for word, target in zip(english, compose(english)):
        if r := row(word, target):
            rows[word] = r
    for word in vi:
        if word not in rows and is_keys(word) and (r := row(word, word)):
            rows[word] = r
    return [rows[k] for k in sorted(rows)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--vanto-type", default=ROOT / "build/dev/tools/vanto-type/vanto-type")
    parser.add_argument("--data", type=pathlib.Path, default=ROOT / "bench/data")
    parser.add_argument("--out", type=pathlib.Path, default=ROOT / "data/english_priors.tsv")
    args = parser.parse_args()
    en = read_counts(args.data / "en_words.tsv")
    vi = read_counts(args.data / "vi_words.tsv")
    tool = str(args.vanto_type)
    rows = priors(en, vi, compose_with(tool, ["--no-english-context"]), engine_english(ROOT),
                  read_counts(args.data / "en_words.tsv", capitalised=True),
                  read_counts(args.data / "vi_words.tsv", capitalised=True))
    with open(args.out, "w", encoding="utf-8") as f:
        for row in rows:
            f.write("\t".join(str(x) for x in row) + "\n")
    changed = sum(1 for r in rows if r[0] != r[3])
    print(f"{args.out.name}: {len(rows)} words, {changed} of them compose to something else")
    # With digit keys English letters are never composed; say so if that changes.
    english = sorted(w for w in en if is_keys(w))
    vni = compose_with(tool, ["--vni", "--no-english-context"])(english)
    moved = [w for w, c in zip(english, vni) if w != c]
    print(f"VNI: {len(moved)} English words compose to something else" +
          (f": {' '.join(moved[:20])}" if moved else ""))


if __name__ == "__main__":
    main()
