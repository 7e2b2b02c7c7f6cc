#!/usr/bin/env python3
"""Derive the word lists in data/ from public word lists installed here.

    python3 tools/wordlists/derive.py [--out DIR] [source options]

Writes vi_strict_std_on.txt, vi_strict_std_off.txt, vi_extra.txt,
en_words.txt and README.md. Nothing is written unless every list passes its
checks, so a missing or changed source never leaves data/ half updated.

The strict Vietnamese lists are generated from syllable structure (see
syllable.py), because the installed Vietnamese dictionaries lack thousands
of syllables writers use (mẩu, bíp, sỹ). The MIT-licensed cspell list only
says which onsets a rare rhyme takes; hunspell-vi (GPL) only checks the
result. The English list is taken from SCOWL.
"""

import argparse
import gzip
import json
import os
import re
import subprocess
import sys
import unicodedata
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent))
import syllable as S  # noqa: E402

REPO = Path(__file__).resolve().parents[2]
DEFAULT_HUNSPELL = Path("/usr/share/hunspell/vi_VN.dic")
DEFAULT_CSPELL = Path("/tmp/wl/node_modules/@cspell/dict-vi-vn/vi.trie.gz")
DEFAULT_SCOWL = Path("/usr/share/dict/scowl")
CSPELL_PACKAGE = "@cspell/dict-vi-vn"

MAX_VI_LENGTH = 9  # the tries hold no longer path
VI_LETTERS = frozenset("abcdefghijklmnopqrstuvxyzđ"
                       "áàảãạăắằẳẵặâấầẩẫậéèẻẽẹêếềểễệíìỉĩịóòỏõọôốồổỗộơớờởỡợúùủũụưứừửữựýỳỷỹỵ")
EN_LETTERS = frozenset("abcdefghijklmnopqrstuvwxyz")


class SourceError(Exception):
    pass


# ---------------------------------------------------------------- strict list

# Rhymes that nearly every onset takes: a missing onset is an accidental gap,
# so they are combined with every onset their spelling rules allow.
OPEN_RHYMES = frozenset("""
    a ac ach ai am an ang anh ao ap at au ay e en eo et ê ên ênh i ia ich inh
    it iu iên iêu o oa oc oi om on ong ot ô ôc ôi ôn ông ơ ơi u ua uc ui um un
    ung ut ư ưa ưng ương ăc ăm ăn ăng ăt âm ân âp ât âu ây
""".split())
# Any other rhyme is combined only with the onsets that the attested list
# uses it with (in any tone), and with these: síp, xíp (jeep) and the
# interjection ừm are everyday words the dictionaries lack.
LISTED_FRAMES = {("s", "ip"), ("x", "ip"), ("", "ưm")}
# khuya is written only without a tone, so its toned forms are no syllables.
NEVER_TONED = frozenset(("uya",))

# p starts only loan syllables; these are the ones written with a diacritic
# (pê-đan, ống pô, gỗ pơ mu). They follow native structure, so the validator
# checks them.
P_SYLLABLES = ["pác", "páp", "pê", "pô", "pông", "pơ"]

# Loan spellings that Vietnamese writers use as words but that no native
# syllable structure describes. They skip the validator; keep each justified.
LOAN_SYLLABLES = [
    "buýt",      # xe buýt: medial u after a labial
    "tuýp",      # tuýp thuốc: rhyme uyp
    "café",      # French spelling on every shop sign
    "kilômet",   # km written out, one string
    "kilômét",   # the same with the tone writers often add
    "kilôgam",   # kg written out
    "kilô",      # short for kilôgam
    "palăng",    # hoist; attested in the installed dictionaries
    "balô",      # ba lô, the backpack, usually written as one string
]

GENERATOR_ONSETS = ("",) + tuple(o for o in S.ONSETS if o != "p")


def rhyme_inventory(onset):
    if onset == "qu":
        return S.QU_RHYMES
    if onset == "gi":
        return S.GI_RHYMES
    rhymes = S.RHYMES
    if onset in S.Y_ONSETS or onset == "":
        rhymes = rhymes + ("y",)
    return rhymes


def frame_of(word):
    """(onset, rhyme) of a well-formed syllable."""
    plain, _, _ = S.strip_tone(word)
    onset, written = S.split_onset(plain)
    return onset, S.underlying_rhyme(onset, written)


def attested_frames(words):
    """(onset, rhyme) pairs of the well-formed syllables among `words`."""
    return {frame_of(w) for w in words if S.check(w) is None}


def generate(style, frames):
    """Every syllable with a diacritic whose frame is open, attested or
    listed, in every tone, the tone placed per `style`."""
    out = set()
    for onset in GENERATOR_ONSETS:
        for rhyme in rhyme_inventory(onset):
            if rhyme in NEVER_TONED:
                continue
            # qu has a short inventory of its own, all of it written; the open i
            # written y is kept after every onset that writes it (sỹ, vỹ).
            if not (rhyme in OPEN_RHYMES or onset == "qu" or rhyme == "y"
                    or (onset, rhyme) in frames or (onset, rhyme) in LISTED_FRAMES):
                continue
            for tone in S.TONES:
                word = S.spell(onset, rhyme, tone, style)
                if not word.isascii() and S.check(word, style) is None:
                    out.add(word)
    return out


def strict_list(style, frames):
    words = generate(style, frames)
    for word in P_SYLLABLES:
        reason = S.check(word, style)
        if reason:
            raise SourceError(f"explicit syllable {word!r} is not well formed: {reason}")
        words.add(word)
    words.update(LOAN_SYLLABLES)
    return words


# ----------------------------------------------------------------- extra list

# Spellings accepted as finished words although they are not strict
# syllables. With the spell check off, the rest of each entry after its onset
# becomes a word too, so every entry here also widens that mode.
EXTRA = {
    # Toneless native words with a coda are no word by themselves: only the
    # toneless form of a syllable toned on its last letter is. "xanh" is here
    # so that, with the spell check off, its rhyme "anh" (the pronoun, typed
    # bare all the time) is accepted.
    "toneless": ["xanh"],
    # Abbreviations written as one string in news, forms and addresses.
    "abbreviations": """
        bđs bgd bgdđt bhxh bhyt bs btc bv cand cccd cđ cđv chxhcn ck
        clb cmnd cnxh csgt ctcp cty đbqh đcs đcsvn đh đhqg đk đt đtqg gd gdđt
        gs gtvt gv hcm hđ hđnd hđqt hlv hs hn hvqp ks mttq nxb pccc pgs qđ
        qđnd qh sđt sgk stk sv thcs thpt tnhh tp tphcm ts ths ttg ttxvn tx
        ubkt ubnd vđv vn vnd vnđ xhcn
    """.split(),
    # Chat shorthand for frequent words (không, được, gì, với, như thế nào).
    "chat": """
        bn cx dc đc hok ko mn mk ntn ny trc vk vs
    """.split(),
    # Loan words written without diacritics, mostly science, units, media.
    "loans": """
        adn alo album ampe arn axit bazan cacbon calo canxi clip clo
        enzym flo gara gen hydro insulin internet iot ion jun kali karaoke
        kilogam lit menu mililit natri nilon nitrat online oto ozon photpho
        piano pizza protein radio sida silic taxi tivi vali video virus
        vitamin zero oke
    """.split(),
    # The interjection typed on its own ("aa"): without it the word would
    # fall back to its keys when it ends.
    "interjections": ["â"],
    # đ alone: the currency sign written out (50.000 đ) and the first letter
    # of dotted abbreviations (Đ.t. for điện thoại); the typing benchmark
    # found it 65 times in the LibreOffice help.
    "letters": ["đ"],
    # Science and unit loans written as one string, found by the typing
    # benchmark in the LibreOffice help (lôgic alone 69 times).
    "science": """
        bêta đôla epxilông insơ lôga lôgarit lôgarít lôgic mômen nanô tenxơ
    """.split(),
    # Marked loan spellings and colloquial forms outside syllable structure.
    "marked": """
        alô ăngten bazơ bêtông côngtắc côngtơ côngtenơ dzô dzậy giê
        karaôkê môtô nitơ ôkê ôto ôtô ôxi ôxy pêđan rađa rađiô sêri sơmi
        sôcôla vôlăng xêri zêro zô zậy
    """.split(),
}


def extra_list():
    words = []
    for group in EXTRA.values():
        words.extend(unicodedata.normalize("NFC", w) for w in group)
    return set(words), len(words)


# ----------------------------------------------------------------- sources

def read_hunspell(path):
    """Words of a hunspell .dic file (first line is the count)."""
    if not path.is_file():
        raise SourceError(f"{path} is missing: install the Debian package hunspell-vi "
                          "(apt-get install hunspell-vi) or pass --hunspell")
    lines = path.read_text(encoding="utf-8").splitlines()[1:]
    return {unicodedata.normalize("NFC", l.split("/")[0].strip()).lower() for l in lines if l.strip()}


def read_cspell_trie(path):
    """Words of a gzipped cspell trie file (format "TrieXv3").

    The data is a depth-first walk of a trie whose shared suffixes were
    merged: a letter descends into a new child; "$" marks the current node as
    a word end and climbs one level; "<" climbs one more and a digit d
    following "$" or "<" climbs d - 1 more; "#n;" replaces the child just made
    by the already built node n + 1 (n in the header's base); a backslash
    escapes the next letter. Nodes are numbered in order of creation, the
    root being 0 and the common childless word end 1; a childless word end
    and a node replaced by a reference give their number back."""
    if not path.is_file():
        raise SourceError(f"{path} is missing: install the npm package {CSPELL_PACKAGE} "
                          f"(npm install --prefix /tmp/wl {CSPELL_PACKAGE}) or pass --cspell")
    text = gzip.open(path, "rt", encoding="utf-8").read()
    header, sep, data = text.partition("__DATA__")
    fields = [l.strip() for l in header.splitlines() if l.strip() and not l.strip().startswith("#")]
    if not sep or not fields or fields[0] != "TrieXv3" or not fields[1].startswith("base="):
        raise SourceError(f"{path}: not a TrieXv3 cspell trie")
    radix = int(fields[1][5:])
    data = data.replace("\n", "").replace("\r", "")

    leaf = {"end": True, "kids": {}}
    root = {"end": False, "kids": {}}
    numbered = [root, leaf]
    path_nodes, path_chars = [root], []

    def climb(count):
        if count > len(path_chars):
            raise SourceError(f"{path}: climbs above the root")
        for _ in range(count):
            path_nodes.pop()
            path_chars.pop()

    i, n = 0, len(data)
    while i < n:
        c = data[i]
        if c in "$<":
            if c == "$":
                node = path_nodes[-1]
                if node["kids"]:
                    node["end"] = True
                else:
                    path_nodes[-2]["kids"][path_chars[-1]] = leaf
                    if numbered[-1] is node:
                        numbered.pop()
                climb(1)
                i += 1
            while i < n and data[i] in "<23456789":
                climb(1 if data[i] == "<" else int(data[i]) - 1)
                i += 1
            continue
        if c == "#":
            end = data.index(";", i)
            target = numbered[int(data[i + 1:end], radix) + 1]
            path_nodes[-2]["kids"][path_chars[-1]] = target
            numbered.pop()
            i = end + 1
            continue
        if c == "\\":
            i += 1
            c = {"n": "\n", "r": "\r"}.get(data[i], data[i])
        node = {"end": False, "kids": {}}
        path_nodes[-1]["kids"][c] = node
        numbered.append(node)
        path_nodes.append(node)
        path_chars.append(c)
        i += 1

    words, stack = set(), [(root, "")]
    while stack:
        node, prefix = stack.pop()
        if node["end"]:
            words.add(prefix)
        stack.extend((kid, prefix + c) for c, kid in node["kids"].items())
    # "~" marks cspell's accent-insensitive copies, not spellings.
    return {unicodedata.normalize("NFC", w).lower() for w in words if not w.startswith("~")}


def scowl_files(scowl, kinds, max_level):
    files = []
    for kind in kinds:
        for level in SCOWL_LEVELS:
            p = scowl / f"{kind}.{level}"
            if level <= max_level and p.is_file():
                files.append(p)
    return files


def package_version(name):
    try:
        out = subprocess.run(["dpkg-query", "-W", "-f=${Version}", name],
                             capture_output=True, text=True, check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        raise SourceError(f"cannot read the version of the Debian package {name}: "
                          f"install it (apt-get install {name})")
    return out


def npm_version(trie_path):
    meta = trie_path.parent / "package.json"
    try:
        info = json.loads(meta.read_text(encoding="utf-8"))
    except (OSError, ValueError):
        raise SourceError(f"{meta} is missing or unreadable: reinstall {CSPELL_PACKAGE}")
    return info.get("version", "?"), info.get("license", "?")


# ------------------------------------------------------------------ English

SCOWL_LEVELS = (10, 20, 35, 40, 50, 55, 60, 70, 80, 95)
# Common words (levels up to 35, the size of a small paper dictionary) and
# the capitalised words of the same levels: countries, months, languages.
EN_KINDS = ("english-words", "american-words", "english-upper", "american-upper")
EN_MAX_LEVEL = 35
EN_MIN_LENGTH = 4
EN_CUT = 7
# "Viet" stands in English text about the country; SCOWL has it only among
# its rarest names.
EN_ADDED = ["viet"]
# Rare English words whose keys, with the marks typed after the word, spell a
# common Vietnamese word: mete is how mệt (tired) is typed as metej, and the
# English word stopped the mark.
EN_REMOVED = ["mete"]
# Regular inflections are left out when their stem is in the selection: they
# would add some 10,000 entries. The price is that such a form on its own
# (testing, houses) is not recognised as English; the typing benchmark shows
# that this costs nothing except for the words of DOUBLE_KEY below.
EN_SUFFIXES = ("ing", "ed", "es", "s")
# A Telex mark or tone key typed twice takes its mark back and leaves one
# letter (pass -> pas), and only a word known as English gets its keys back
# when it ends. So words with such a pair are kept even as inflections
# (passed, errors, arrays), and are taken from a wider SCOWL level.
DOUBLE_KEY = re.compile(r"aa|dd|ee|oo|ff|jj|rr|ss|ww|xx")
EN_DOUBLE_LEVEL = 50


def is_inflection(word, known):
    for suffix in EN_SUFFIXES:
        if word.endswith(suffix) and len(word) > len(suffix) + 2:
            stem = word[:-len(suffix)]
            if suffix == "s":
                # A plural -s goes on the stem as it is, and never after an s:
                # pass, loss, this, status are words of their own.
                if not stem.endswith("s") and stem in known:
                    return True
                continue
            stems = {stem, stem + "e"}
            if len(stem) > 2 and stem[-1] == stem[-2]:
                stems.add(stem[:-1])  # stopped, running
            if stem.endswith("i"):
                stems.add(stem[:-1] + "y")  # studies, studied
            if stems & known:
                return True
    return False


def has_double_key(word):
    return DOUBLE_KEY.search(word) is not None


def read_scowl(files):
    words = set()
    for f in files:
        # Accented words (café) drop out below, whatever their encoding.
        for line in f.read_text(encoding="utf-8", errors="replace").splitlines():
            w = line.strip().lower()
            if re.fullmatch(r"[a-z]+", w):
                words.add(w)
    return words


def english_list(scowl):
    if not scowl.is_dir():
        raise SourceError(f"{scowl} is missing: install the Debian package scowl "
                          "(apt-get install scowl) or pass --scowl")
    files = scowl_files(scowl, EN_KINDS, EN_MAX_LEVEL)
    if not files:
        raise SourceError(f"{scowl} holds no SCOWL word files: reinstall scowl")
    words = read_scowl(files)
    heads = {w for w in words if not is_inflection(w, words) or has_double_key(w)}
    doubled = {w for w in read_scowl(scowl_files(scowl, EN_KINDS, EN_DOUBLE_LEVEL))
               if has_double_key(w)}
    cut = {w[:EN_CUT] for w in heads | doubled if len(w) >= EN_MIN_LENGTH}
    cut.update(EN_ADDED)
    cut.difference_update(EN_REMOVED)
    return cut, [f.name for f in files]


# ------------------------------------------------------------------ checks

def check_format(name, words, letters, max_length=None):
    problems = []
    for w in sorted(words):
        if not w:
            problems.append("empty entry")
        elif w != unicodedata.normalize("NFC", w) or w != w.lower():
            problems.append(f"{w!r} is not lowercase NFC")
        elif set(w) - letters:
            problems.append(f"{w!r} has letters outside the list's alphabet")
        elif max_length and len(w) > max_length:
            problems.append(f"{w!r} is longer than {max_length}")
    if problems:
        raise SourceError(f"{name}: " + "; ".join(problems[:10]))


def bare(word):
    """`word` without any diacritic."""
    stripped = "".join(c for c in unicodedata.normalize("NFD", word) if not unicodedata.combining(c))
    return stripped.replace("đ", "d")


def toneless_forms(strict):
    """The words the engine adds for syllables toned on their last letter."""
    forms = set()
    for word in strict:
        plain, tone, at = S.strip_tone(word)
        if tone and at == len(word) - 1:
            forms.update((plain, bare(word)))
    return forms


def check_lists(strict, extra, english):
    for style, words in strict.items():
        name = f"strict list ({style})"
        check_format(name, words, VI_LETTERS - {"w"}, MAX_VI_LENGTH)
        bad = [w for w in words if w.isascii()]
        if bad:
            raise SourceError(f"{name}: entries without diacritic: {bad[:10]}")
        for w in sorted(words - set(LOAN_SYLLABLES)):
            reason = S.check(w, style)
            if reason:
                raise SourceError(f"{name}: {w!r}: {reason}")
    check_format("extra list", extra, VI_LETTERS - {"w"}, MAX_VI_LENGTH)
    for style, words in strict.items():
        both = extra & (words | toneless_forms(words))
        if both:
            raise SourceError(f"extra list repeats words of the strict list ({style}): {sorted(both)}")
    check_format("English list", english, EN_LETTERS, EN_CUT)
    short = [w for w in english if len(w) < EN_MIN_LENGTH]
    if short:
        raise SourceError(f"English list: entries shorter than {EN_MIN_LENGTH}: {short[:10]}")

    on, off = strict[S.FIRST], strict[S.SECOND]
    # Words the engine's behaviour rests on; losing one means a rule or a
    # source changed under us.
    for w in ("bà", "việt", "tiếng", "được", "đường", "gì", "bá", "tuế", "café", "kilômet",
              "ấy", "ương", "quá", "quý", "ngươi", "người", "hoàn", "hoài", "giữa", "mẩu",
              "bíp", "síp", "sỹ", "kỹ", "mỹ", "lý"):
        if w not in on or w not in off:
            raise SourceError(f"strict lists lack {w!r}")
    for first, second in (("hòa", "hoà"), ("thủy", "thuỷ"), ("khỏe", "khoẻ"), ("òa", "oà")):
        if first not in on or second in on or second not in off or first in off:
            raise SourceError(f"tone styles disagree on {first}/{second}")
    if any(w.startswith("hòa") for w in off):
        raise SourceError("the second-vowel list has an entry starting with hòa")
    if not any(S.split_onset(w)[1] == "anh" for w in extra):
        raise SourceError("extra list has no entry whose rest after the onset is anh")
    for w in ("test", "class", "house", "hello", "them", "viet", "classic", "televis",
              "basebal", "user", "email", "affect", "arrow", "pass", "loss", "passed",
              "errors", "arrays"):
        if w not in english:
            raise SourceError(f"English list lacks {w!r}")


# ------------------------------------------------------------------ output

def write_list(path, words):
    text = "".join(w + "\n" for w in sorted(words))
    tmp = path.with_suffix(path.suffix + ".tmp")
    tmp.write_text(text, encoding="utf-8", newline="\n")
    os.replace(tmp, path)


README = """\
# Word lists

Generated by `tools/wordlists/derive.py`; change the script, not these files.
Regenerate with

    python3 tools/wordlists/derive.py

Each list is UTF-8, NFC, lowercase, one entry a line, sorted by code point,
without duplicates. The Vietnamese lists use a–z without w, đ and the 67
letters with Vietnamese diacritics, and no entry is longer than {max_vi}
characters; the English list uses a–z only.

| file | entries | content |
|---|---|---|
| vi_strict_std_on.txt | {n_on} | syllables with a diacritic; final oa/oe/uy toned on the first vowel (hòa, khỏe, thủy) |
| vi_strict_std_off.txt | {n_off} | the same, toned on the second vowel (hoà, khoẻ, thuỷ) |
| vi_extra.txt | {n_extra} | spellings accepted as words without being syllables: abbreviations, loans, colloquial forms |
| en_words.txt | {n_en} | common English words and names, cut to their first {cut} letters |

## Sources

| package | version | licence | used for |
|---|---|---|---|
| Debian `scowl` | {scowl_version} | SCOWL licence (permissive: use, copy, modify, distribute with its notice; see `/usr/share/doc/scowl/copyright`) | en_words.txt |
| npm `{cspell}` | {cspell_version} | {cspell_license} | the onset + rhyme pairs of rare rhymes (step 4 below); checking the strict lists |
| Debian `hunspell-vi` | {hunspell_version} | GPL-2 | checking the strict lists only: nothing is copied from it |

The Vietnamese lists are generated from the syllable structure in
`tools/wordlists/syllable.py` and the rules and short hand-written lists in
`derive.py`; of the installed dictionaries only the MIT-licensed
{cspell} list shapes them (which onsets a rare rhyme takes).
hunspell-vi is GPL-2, so it is used only to report what the lists miss.

SCOWL is copyright Kevin Atkinson and others. Its notice: "Permission to use,
copy, modify, distribute and sell these word lists, the associated scripts,
the output created from the scripts, and its documentation for any purpose is
hereby granted without fee, provided that the above copyright notice appears
in all copies and that both that copyright notice and this permission notice
appear in supporting documentation. Kevin Atkinson makes no representations
about the suitability of this array for any purpose. It is provided "as is"
without express or implied warranty." The full notice, including the lists
SCOWL is built from, is in `/usr/share/doc/scowl/copyright`.

Install the sources with

    apt-get install scowl hunspell-vi
    npm install --prefix /tmp/wl {cspell}@{cspell_version}

(`derive.py --help` names the options for other locations.)

## vi_strict_std_on.txt, vi_strict_std_off.txt

1. Every onset (none, b c ch d đ g gh gi h k kh l m n ng ngh nh ph qu r s t th
   tr v x) is combined with every rhyme of the inventory in `syllable.py`
   (nucleus with its medial and coda) and every tone.
2. Spelling rules drop what Vietnamese does not write: k, gh, ngh only before
   i, e, ê (k also before y), c, g, ng elsewhere; q only as qu; gi swallows a
   following i; iê is written yê without an onset; no medial after c, k or a
   labial; the stop codas p, t, c, ch take only the acute and dot tones.
3. The open i is also written y after h, k, l, m, s, t, v (kỹ/kĩ, sỹ/sĩ).
4. A rhyme that nearly every onset takes (`OPEN_RHYMES` in `derive.py`) is
   combined with every onset; any other rhyme only with the onsets the
   {cspell} list uses it with, in any tone, and with the few pairs of
   `LISTED_FRAMES`. Every such pair is generated in every tone, except uya
   (khuya), which is written only without a tone.
5. The tone goes on its conventional vowel; a final oa/oe/uy without q
   before it is toned on its first vowel in the std_on list and on its
   second in the std_off list. All other entries are the same in both.
6. Syllables without any diacritic are dropped (the engine derives toneless
   forms itself).
7. Loan syllables beginning with p and the loan spellings of
   `LOAN_SYLLABLES` (café, kilômet, buýt, ...) are added.
8. Every entry except those loans passes the validator of `syllable.py`.

Check against the installed dictionaries ({n_attested} distinct syllables
with a diacritic in either): the generator misses {n_missed} of them,
left out on purpose as misspellings or non-syllables: {missed}.
{n_unattested} entries of the std_off list are attested in neither
dictionary: {n_other_tone} are other tones of an onset + rhyme pair the
dictionaries have (mẩu, bíp), the rest fill gaps of the open rhymes and the
y spellings (síp, sỹ).

## vi_extra.txt

The lists in `EXTRA` in `derive.py`: common abbreviations written as one
string (ubnd, hđnd, tphcm) and đ on its own, chat shorthand (ko, đc), loan
words written without diacritics (piano, zero, oto), marked loan and
colloquial spellings outside the syllable structure (ôto, zêro, dzô), science
and unit loans written as one string (lôgic, bêta, đôla), and "xanh", whose
rhyme "anh" becomes a word when the spell check is off. No entry repeats a
strict entry. The typing benchmark (`bench/README.md`) found the science
loans and đ.

## en_words.txt

1. Words of SCOWL levels up to {en_level} from {en_files}.
2. Lowercased; only words of the letters a–z are kept (no apostrophes or
   accents).
3. A regular inflection (-s, -es, -ed, -ing) is dropped when its stem is in
   the selection (a plural -s never follows an s: pass, loss are no
   plurals), unless it holds a doubled Telex key (aa dd ee oo ff jj rr ss
   ww xx): typing such a pair undoes a mark, and only a word known as
   English gets its keys back (passed, errors, arrays).
4. Words with a doubled Telex key are also taken from SCOWL levels up to
   {en_double_level} (arrowhead, Gaussian).
5. Words shorter than {en_min} letters are dropped; longer words are cut to
   their first {cut} letters and duplicates collapse.
6. "viet" is added; "mete" is removed (its keys type mệt with the marks
   after the word).
"""


def main(argv=None):
    ap = argparse.ArgumentParser(description="Derive the word lists in data/.")
    ap.add_argument("--out", type=Path, default=REPO / "data", help="output folder (default: data/)")
    ap.add_argument("--hunspell", type=Path, default=DEFAULT_HUNSPELL,
                    help=f"hunspell-vi dictionary (default: {DEFAULT_HUNSPELL})")
    ap.add_argument("--cspell", type=Path, default=DEFAULT_CSPELL,
                    help=f"{CSPELL_PACKAGE} trie (default: {DEFAULT_CSPELL})")
    ap.add_argument("--scowl", type=Path, default=DEFAULT_SCOWL,
                    help=f"SCOWL word files (default: {DEFAULT_SCOWL})")
    args = ap.parse_args(argv)

    try:
        hunspell = read_hunspell(args.hunspell)
        cspell = read_cspell_trie(args.cspell)
        cspell_version, cspell_license = npm_version(args.cspell)
        versions = {p: package_version(p) for p in ("scowl", "hunspell-vi")}
        frames = attested_frames(cspell)
        strict = {S.FIRST: strict_list(S.FIRST, frames), S.SECOND: strict_list(S.SECOND, frames)}
        extra, n_extra_written = extra_list()
        if n_extra_written != len(extra):
            raise SourceError("extra list names an entry twice")
        english, en_files = english_list(args.scowl)
        check_lists(strict, extra, english)
        if not args.out.is_dir():
            raise SourceError(f"output folder {args.out} does not exist")
    except SourceError as e:
        print(f"derive.py: {e}", file=sys.stderr)
        return 1

    attested = {w for w in hunspell | cspell if not w.isascii() and set(w) <= VI_LETTERS}
    generated = strict[S.FIRST] | strict[S.SECOND]
    missed = sorted(attested - generated - extra)
    unattested = strict[S.SECOND] - attested
    known_frames = attested_frames(hunspell | cspell)
    other_tone = {w for w in unattested if w not in LOAN_SYLLABLES and frame_of(w) in known_frames}

    readme = README.format(
        max_vi=MAX_VI_LENGTH, n_on=len(strict[S.FIRST]), n_off=len(strict[S.SECOND]),
        n_extra=len(extra), n_en=len(english), cut=EN_CUT, en_min=EN_MIN_LENGTH,
        scowl_version=versions["scowl"], hunspell_version=versions["hunspell-vi"],
        cspell=CSPELL_PACKAGE, cspell_version=cspell_version, cspell_license=cspell_license,
        n_attested=len(attested), n_missed=len(missed), missed=", ".join(missed),
        n_unattested=len(unattested), n_other_tone=len(other_tone), en_level=EN_MAX_LEVEL,
        en_double_level=EN_DOUBLE_LEVEL,
        en_files=", ".join(f"`{k}`" for k in EN_KINDS))

    write_list(args.out / "vi_strict_std_on.txt", strict[S.FIRST])
    write_list(args.out / "vi_strict_std_off.txt", strict[S.SECOND])
    write_list(args.out / "vi_extra.txt", extra)
    write_list(args.out / "en_words.txt", english)
    tmp = args.out / "README.md.tmp"
    tmp.write_text(readme, encoding="utf-8", newline="\n")
    os.replace(tmp, args.out / "README.md")

    print(f"vi_strict_std_on.txt  {len(strict[S.FIRST])}")
    print(f"vi_strict_std_off.txt {len(strict[S.SECOND])}")
    print(f"vi_extra.txt          {len(extra)}")
    print(f"en_words.txt          {len(english)}")
    print(f"attested syllables missed ({len(missed)}): {' '.join(missed)}")
    print(f"strict entries attested nowhere: {len(unattested)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
