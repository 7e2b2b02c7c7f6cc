#!/usr/bin/env python3
"""Seed inputs for the fuzz targets, made from the words of the typing
benchmark, so that fuzzing starts from what typists type.

    python3 fuzz/make_seeds.py

Writes fuzz/corpus/engine/bench-* and fuzz/corpus/typist/bench-*: runs of the
most frequent words of bench/data/ typed as Telex keys (tone last) or VNI keys,
a word separator between them, encoded in each target's input format (see
engine_fuzz.cpp and typist_fuzz.cpp). The output depends only on the word
lists; run it again when they or an input format change.
"""

import unicodedata
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
WORDS_PER_SEED = 12

# engine_fuzz.cpp: kPalette, and the operation codes.
ENGINE_PALETTE = ("aeiouydwsfrxjzAEIOUYDWSFRXJZ0123456789bcghklmnpqtv "
                  ".,@ăâêôơưđĂÂÊÔƠƯĐáàảãạệỳữ\u0130\u212A\u00DF\u03A3あ😀")
ENGINE_KEY, ENGINE_PUSH, ENGINE_CONFIGURE = 0, 11, 13
# typist_fuzz.cpp: kLetters, kSeparators (index 0 is the space), the codes.
TYPIST_LETTERS = ["a", "e", "o", "u", "i", "y", "d", "w", "s", "f", "r", "x",
                  "j", "z", "n", "g", "h", "t", "c", "A", "D", "W", "S", "O"]
TYPIST_LETTER, TYPIST_DIGIT, TYPIST_SEPARATOR, TYPIST_OPTIONS = 0, 6, 7, 15

TONES = {"\u0301": ("s", "1"), "\u0300": ("f", "2"), "\u0309": ("r", "3"),
         "\u0303": ("x", "4"), "\u0323": ("j", "5")}
MARKS = {"\u0302": (None, "6"), "\u031b": ("w", "7"), "\u0306": ("w", "8")}


def keys(word, telex):
    """The keys of word: each mark key after its letter, the tone key last."""
    out, tone = [], ""
    for ch in word:
        base, *marks = unicodedata.normalize("NFD", ch)
        if ch in "đĐ":
            base, marks = ch.translate(str.maketrans("đĐ", "dD")), ["stroke"]
        out.append(base)
        for m in marks:
            if m in TONES:
                tone = TONES[m][0 if telex else 1]
            elif m == "stroke":
                out.append(base if telex else "9")
            elif m in MARKS:
                key = (MARKS[m][0] or base) if telex else MARKS[m][1]
                out.append(key.upper() if base.isupper() else key)
    if word.isupper():
        tone = tone.upper()
    return "".join(out) + tone


def read_words(name, count):
    lines = (ROOT / "bench/data" / name).read_text(encoding="utf-8").splitlines()
    return [line.split("\t")[1] for line in lines[:count]]


def engine_seed(words, telex):
    # Spell check and the standard tone style on, Telex or digits.
    data = bytearray([ENGINE_CONFIGURE, 0b110 | int(telex)])
    for word in words:
        for k in keys(word, telex):
            data += bytes([ENGINE_KEY, ENGINE_PALETTE.index(k)])
        data.append(ENGINE_PUSH)
    return bytes(data)


def typist_seed(words, telex):
    data = bytearray()
    if not telex:
        data += bytes([TYPIST_OPTIONS, 0b110])
    for word in words:
        for k in keys(word, telex):
            if k.isdigit():
                data += bytes([TYPIST_DIGIT, int(k)])
            else:
                data += bytes([TYPIST_LETTER, TYPIST_LETTERS.index(k)])
        data += bytes([TYPIST_SEPARATOR, 0])
    return bytes(data)


def typable(word, telex, letters):
    return all(k in letters or k.isdigit() for k in keys(word, telex))


def seeds():
    vietnamese = read_words("vi_words.tsv", 240)
    english = read_words("en_words.tsv", 48)
    out = {}
    groups = [("vi-telex", vietnamese, True), ("vi-vni", vietnamese[:96], False),
              ("en", english, True)]
    for name, words, telex in groups:
        for target, make, letters in (("engine", engine_seed, ENGINE_PALETTE),
                                      ("typist", typist_seed, TYPIST_LETTERS)):
            usable = [w for w in words if typable(w, telex, letters)]
            for n, at in enumerate(range(0, len(usable), WORDS_PER_SEED)):
                out[f"{target}/bench-{name}-{n:02d}"] = make(usable[at:at + WORDS_PER_SEED], telex)
    return out


def main():
    corpus = ROOT / "fuzz/corpus"
    for old in corpus.glob("*/bench-*"):
        old.unlink()
    made = seeds()
    for path, data in sorted(made.items()):
        (corpus / path).write_bytes(data)
    print(f"make_seeds: {len(made)} seeds")


if __name__ == "__main__":
    main()
