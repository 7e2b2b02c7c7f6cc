#!/usr/bin/env python3
"""Derive the word lists in data/ from public word lists installed here.

    python3 tools/wordlists/derive.py [--out DIR] [source options]

Writes vi_strict_std_on.txt, vi_strict_std_off.txt, vi_extra.txt,
en_words.txt and README.md. Nothing is written unless every list passes its
checks, so a missing or changed source never leaves data/ half updated.

The strict Vietnamese lists are generated from syllable structure (see
syllable.py): every onset, rhyme and tone that Vietnamese spelling allows is
a candidate, because no dictionary holds every syllable writers use (mẩu,
bíp, sỹ, nướu). A candidate that a permissively licensed source attests is
in; one attested nowhere is in unless its Telex keys spell an English word,
since a syllable nobody writes must not take a word people do write.
hunspell-vi (GPL) only checks the result. The English list is taken from
SCOWL.
"""

import argparse
import gzip
import json
import os
import re
import subprocess
import sys
import tempfile
import unicodedata
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent))
import syllable as S  # noqa: E402
import telex_keys  # noqa: E402

REPO = Path(__file__).resolve().parents[2]
DEFAULT_HUNSPELL = Path("/usr/share/hunspell/vi_VN.dic")
DEFAULT_CSPELL = Path("/tmp/wl/node_modules/@cspell/dict-vi-vn/vi.trie.gz")
DEFAULT_SCOWL = Path("/usr/share/dict/scowl")
DEFAULT_TESSDATA = Path("/usr/share/tesseract-ocr/5/tessdata/vie.traineddata")
DEFAULT_PLACES = Path("/tmp/wl/node_modules/vietnam-provinces-js")
DEFAULT_NAMES = Path("/tmp/wl/node_modules/@faker-js/faker")
DEFAULT_CLDR = Path("/usr/share/unicode/cldr/common")
DEFAULT_BENCH = REPO / "bench" / "data"
CSPELL_PACKAGE = "@cspell/dict-vi-vn"
PLACES_PACKAGE = "vietnam-provinces-js"
NAMES_PACKAGE = "@faker-js/faker"

MAX_VI_LENGTH = 9  # the tries hold no longer path
VI_LETTERS = frozenset("abcdefghijklmnopqrstuvxyzđ"
                       "áàảãạăắằẳẵặâấầẩẫậéèẻẽẹêếềểễệíìỉĩịóòỏõọôốồổỗộơớờởỡợúùủũụưứừửữựýỳỷỹỵ")
EN_LETTERS = frozenset("abcdefghijklmnopqrstuvwxyz")


class SourceError(Exception):
    pass


# ---------------------------------------------------------------- strict list

# khuya is written only without a tone, so its toned forms are no syllables.
NEVER_TONED = frozenset(("uya",))
# uơ is typed with the keys of ươ (uow), the start of ương, ướt, ười; as an
# entry it would take those keys, so only the attested huơ, thuở, quơ are in.
ATTESTED_ONLY = frozenset(("uơ",))

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
    "ngêu",      # nghêu, the clam, as markets and menus write it
]

# Syllables of place names outside native spelling, written on every map and
# address: Đắk Lắk, Đắk Nông, Krông Búk, Kon Plông, Bắc Kạn, Hồng Kông, Ngọk
# Hồi, Chư Prông, Đak Pơ, Quới Sơn, Krông Pắc. They skip the validator.
PLACE_SYLLABLES = [
    "búk", "drăng", "đak", "đăk", "đắk", "kạn", "kông", "krông", "lắk",
    "ngọk", "pơng", "prông", "quới",
]

# Attested syllables left out on purpose, each for the reason beside it.
LEFT_OUT = {
    "uở": "its toneless form uơ would be a word and take uow, the keys of ươ (ương, ướt)",
}

# Everyday syllables that no source holds and whose keys spell an English
# word too (loafs typed with the tone replaced gives lóa); they count as
# attested, each on the use beside it.
COMMON_SYLLABLES = {
    "lóa": "chói lóa, lóa mắt: dazzling",
}

GENERATOR_ONSETS = ("",) + tuple(o for o in S.ONSETS if o != "p")


def place_k_spelling(word):
    """Whether `word` breaks native spelling only by a k before a back vowel,
    as minority-language place names write it (Kơ Ho, Kôn Chro, Kạn): such a
    word counts as a syllable where a source attests it."""
    return (word.startswith("k") and not word.startswith("kh")
            and S.check(word) is not None and S.check("c" + word[1:]) is None)


def rhyme_inventory(onset):
    if onset == "qu":
        return S.QU_RHYMES
    if onset == "gi":
        return S.GI_RHYMES
    rhymes = S.RHYMES
    if onset in S.Y_ONSETS or onset == "":
        rhymes = rhymes + ("y",)
    return rhymes


def identity(word):
    """What a spelling names, whatever the tone style: (onset, rhyme, tone)
    of a well-formed syllable, the spelling itself for a listed loan."""
    if S.check(word) is not None:
        return word
    plain, tone, _ = S.strip_tone(word)
    onset, written = S.split_onset(plain)
    return onset, S.underlying_rhyme(onset, written), tone


def candidates(style):
    """(identity, spelling) of every syllable with a diacritic that Vietnamese
    spelling allows, the tone placed per `style`."""
    for onset in GENERATOR_ONSETS:
        for rhyme in rhyme_inventory(onset):
            if rhyme in NEVER_TONED:
                continue
            for tone in S.TONES:
                word = S.spell(onset, rhyme, tone, style)
                if not word.isascii() and S.check(word, style) is None:
                    yield (onset, rhyme, tone), word


def english_keys(word, english):
    """The English word that the Telex keys of `word` spell, or None. Keys
    with a replaced tone key must be a word as listed: a made-up inflection
    of those (loafs: lóa) is too far from what anyone types."""
    for keys in sorted(telex_keys.variants(word)):
        if keys in english or is_inflection(keys, english):
            return keys
    return next((k for k in sorted(telex_keys.variants(word, replaced=True)) if k in english),
                None)


def english_taker(ident, word, attested, english):
    """The English word whose keys keep the syllable `word` out of the lists,
    or None when it is in: attested, or typed as no English word."""
    if ident in attested:
        return None
    # Both tone places are typed (chỏe: chore), so that the two lists keep the
    # same syllables.
    spellings = {S.spell(*ident, s) for s in (S.FIRST, S.SECOND)} if isinstance(
        ident, tuple) else {word}
    return next(filter(None, (english_keys(w, english) for w in sorted(spellings))), None)


def strict_list(style, attested, english):
    """The strict list of one tone style and, for the record, the
    unattested candidates left out because their keys are English."""
    words, dropped = set(), {}

    def decide(ident, word):
        keys = english_taker(ident, word, attested, english)
        if keys:
            dropped[word] = keys
        else:
            words.add(word)

    for ident, word in candidates(style):
        if ident not in attested and ident[1] in ATTESTED_ONLY:
            continue
        decide(ident, word)
    # Attested syllables the generator does not make: loan onsets (pênh).
    words.update(S.spell(*i, style) if isinstance(i, tuple) else i for i in attested)
    for word in P_SYLLABLES:
        reason = S.check(word, style)
        if reason:
            raise SourceError(f"explicit syllable {word!r} is not well formed: {reason}")
        decide(identity(word), word)
    for word in LOAN_SYLLABLES + PLACE_SYLLABLES:
        decide(word, word)
    return words, dropped


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


def tokens(text):
    """Lowercase NFC runs of letters of `text`."""
    return {unicodedata.normalize("NFC", t).lower() for t in re.findall(r"[^\W\d_]+", text)}


def read_tesseract(traineddata):
    """Words of the word list inside a tesseract .traineddata file, unpacked
    with the tools of Debian's tesseract-ocr package."""
    if not traineddata.is_file():
        raise SourceError(f"{traineddata} is missing: install the Debian package "
                          "tesseract-ocr-vie (apt-get install tesseract-ocr tesseract-ocr-vie) "
                          "or pass --tessdata")
    with tempfile.TemporaryDirectory() as tmp:
        prefix = os.path.join(tmp, "vie.")
        out = os.path.join(tmp, "words.txt")
        try:
            subprocess.run(["combine_tessdata", "-u", str(traineddata), prefix],
                           capture_output=True, check=True)
            subprocess.run(["dawg2wordlist", prefix + "lstm-unicharset", prefix + "lstm-word-dawg",
                            out], capture_output=True, check=True)
            text = Path(out).read_text(encoding="utf-8")
        except OSError:
            raise SourceError("combine_tessdata or dawg2wordlist is missing: "
                              "install the Debian package tesseract-ocr")
        except (subprocess.CalledProcessError, UnicodeDecodeError) as e:
            raise SourceError(f"{traineddata}: cannot unpack its word list ({e})")
    words = tokens(text)
    if len(words) < 1000:
        raise SourceError(f"{traineddata}: its word list has only {len(words)} words")
    return words


def _js_unescape(text):
    text = re.sub(r"\\u\{([0-9a-fA-F]+)\}", lambda m: chr(int(m.group(1), 16)), text)
    text = re.sub(r"\\u([0-9a-fA-F]{4})", lambda m: chr(int(m.group(1), 16)), text)
    return re.sub(r"\\x([0-9a-fA-F]{2})", lambda m: chr(int(m.group(1), 16)), text)


def read_js_words(package_dir, pattern, package):
    """Words in the string data of an npm package's bundled JavaScript. Code
    is ASCII, so only the data holds letters with a diacritic."""
    files = sorted(package_dir.glob(pattern))
    if not files:
        raise SourceError(f"{package_dir} has no {pattern}: install the npm package {package} "
                          f"(npm install --prefix /tmp/wl {package})")
    words = set()
    for f in files:
        words |= tokens(_js_unescape(f.read_text(encoding="utf-8")))
    return words


def read_cldr(common):
    """Words of CLDR's Vietnamese locale files (names of languages, countries,
    cities, months, units, emoji)."""
    files = sorted(common.glob("*/vi.xml")) + sorted(common.glob("*/vi_VN.xml"))
    if not files:
        raise SourceError(f"{common} has no */vi.xml: install the Debian package "
                          "unicode-cldr-core (apt-get install unicode-cldr-core) or pass --cldr")
    words = set()
    for f in files:
        words |= tokens(f.read_text(encoding="utf-8"))
    return words


def npm_info(package_dir, package):
    meta = package_dir / "package.json"
    try:
        info = json.loads(meta.read_text(encoding="utf-8"))
    except (OSError, ValueError):
        raise SourceError(f"{meta} is missing or unreadable: install the npm package {package} "
                          f"(npm install --prefix /tmp/wl {package}) or pass its folder")
    return info.get("version", "?"), info.get("license", "?")


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




class Source:
    """One attested source: its Vietnamese syllables (well-formed, or listed
    loans and places) and the words with a diacritic it has besides."""

    def __init__(self, key, title, version, licence, use, words):
        self.key, self.title, self.version, self.licence, self.use = key, title, version, licence, use
        listed = set(LOAN_SYLLABLES) | set(PLACE_SYLLABLES)
        marked = {w for w in words if not w.isascii() and set(w) <= VI_LETTERS}
        self.syllables = {w for w in marked
                          if (w in listed or S.check(w) is None or place_k_spelling(w))
                          and w not in LEFT_OUT}
        self.left_out = marked - self.syllables

    def row(self):
        return f"| {self.title} | {self.version} | {self.licence} | {self.use} |"

    def count_row(self):
        return f"| {self.key} | {self.title} | {len(self.syllables)} | {len(self.left_out)} |"

    def left_out_item(self):
        return f"- {self.key}: " + (", ".join(sorted(self.left_out)) or "none")


def read_sources(args):
    cspell_version, cspell_license = npm_info(args.cspell.parent, CSPELL_PACKAGE)
    places_version, places_license = npm_info(args.places, PLACES_PACKAGE)
    names_version, names_license = npm_info(args.names, NAMES_PACKAGE)
    return [
        Source("cspell", f"npm `{CSPELL_PACKAGE}`", cspell_version, cspell_license,
               "attested syllables (a spelling dictionary)", read_cspell_trie(args.cspell)),
        Source("tesseract", "Debian `tesseract-ocr-vie`", package_version("tesseract-ocr-vie"),
               "Apache-2.0", "attested syllables (the word list inside `vie.traineddata`)",
               read_tesseract(args.tessdata)),
        Source("places", f"npm `{PLACES_PACKAGE}`", places_version, places_license,
               "attested syllables (names of provinces, districts, communes)",
               read_js_words(args.places, "dist/*.js", PLACES_PACKAGE)),
        Source("names", f"npm `{NAMES_PACKAGE}`", names_version, names_license,
               "attested syllables (its Vietnamese locale: surnames, given names, cities, "
               "streets, months)", read_js_words(args.names, "dist/vi-*.js", NAMES_PACKAGE)),
        Source("cldr", "Debian `unicode-cldr-core`", package_version("unicode-cldr-core"),
               "Unicode-DFS-2016 (permissive)",
               "attested syllables (the Vietnamese locale: languages, countries, cities, "
               "units, emoji names)", read_cldr(args.cldr)),
        Source("listed", "`COMMON_SYLLABLES` in `derive.py`", "-", "-",
               "everyday syllables no source holds: " + "; ".join(
                   f"{w} ({use})" for w, use in COMMON_SYLLABLES.items()),
               set(COMMON_SYLLABLES)),
    ]


def write_sources(path, sources):
    """One line per attested syllable: the syllable (tone style on), a tab,
    the sources that attest it."""
    by_word = {}
    for src in sources:
        for w in src.syllables:
            ident = identity(w)
            word = S.spell(*ident, S.FIRST) if isinstance(ident, tuple) else ident
            by_word.setdefault(word, []).append(src.key)
    text = "".join(f"{w}\t{','.join(keys)}\n" for w, keys in sorted(by_word.items()))
    tmp = path.with_suffix(path.suffix + ".tmp")
    tmp.write_text(text, encoding="utf-8", newline="\n")
    os.replace(tmp, path)


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
# A syllable that no source attests is left out when its Telex keys spell one
# of these words or a regular inflection of one: common English of any length
# (hex, aux, door), uncut.
EN_KEYS_LEVEL = 50


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


def english_key_words(scowl):
    files = scowl_files(scowl, EN_KINDS, EN_KEYS_LEVEL)
    if not files:
        raise SourceError(f"{scowl} holds no SCOWL word files: install scowl "
                          "(apt-get install scowl) or pass --scowl")
    return {w for w in read_scowl(files) if len(w) >= 2}


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
        for w in sorted(words - set(LOAN_SYLLABLES) - set(PLACE_SYLLABLES)):
            if place_k_spelling(w):
                continue
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
| Debian `scowl` | {scowl_version} | SCOWL licence (permissive: use, copy, modify, distribute with its notice; see `/usr/share/doc/scowl/copyright`) | en_words.txt; the English words no unattested syllable may take |
{source_rows}
| Debian `hunspell-vi` | {hunspell_version} | GPL-2 | checking the strict lists only: nothing is copied from it |

hunspell-vi is GPL-2, so it is used only to report what the lists miss. The
other Vietnamese sources are permissive; they decide which syllables are
attested, and `derive.py` writes the attested syllables of each to
`bench/data/vi_sources.tsv` (one syllable a line, tone style on, a tab, the
sources that attest it), which the typing benchmark types.

SCOWL is copyright Kevin Atkinson and others. Its notice: "Permission to use,
copy, modify, distribute and sell these word lists, the associated scripts,
the output created from the scripts, and its documentation for any purpose is
hereby granted without fee, provided that the above copyright notice appears
in all copies and that both that copyright notice and this permission notice
appear in supporting documentation. Kevin Atkinson makes no representations
about the suitability of this array for any purpose. It is provided "as is"
without express or implied warranty." The full notice, including the lists
SCOWL is built from, is in `/usr/share/doc/scowl/copyright`. The Unicode
CLDR data is copyright Unicode, Inc., under the notice in
`/usr/share/doc/unicode-cldr-core/copyright`; the tesseract data is
copyright Google Inc. and others, under the Apache License 2.0
(`/usr/share/doc/tesseract-ocr-vie/copyright`). Under the MIT licence:
@cspell/dict-vi-vn, copyright Street Side Software; vietnam-provinces-js,
by tnmod (the licence named in its package.json); @faker-js/faker, copyright
its contributors. The MIT notice: "Permission is hereby granted, free of
charge, to any person obtaining a copy of this software and associated
documentation files (the "Software"), to deal in the Software without
restriction, including without limitation the rights to use, copy, modify,
merge, publish, distribute, sublicense, and/or sell copies of the Software,
and to permit persons to whom the Software is furnished to do so, subject to
the following conditions: The above copyright notice and this permission
notice shall be included in all copies or substantial portions of the
Software. THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND."

Install the sources with

    apt-get install scowl hunspell-vi tesseract-ocr tesseract-ocr-vie unicode-cldr-core
    npm install --prefix /tmp/wl @cspell/dict-vi-vn@3.0.6 vietnam-provinces-js@2.0.0 @faker-js/faker@10.6.0

(`derive.py --help` names the options for other locations.)

## Attested syllables

A word of a source counts when it has a letter with a diacritic and only
Vietnamese letters. It is a syllable of the source when it passes the
validator of `syllable.py`, is a listed loan or place syllable (below), or
breaks native spelling only by a k before a back vowel (kơ, kôn).

| key | source | syllables | other words, not in vi_extra.txt |
|---|---|---|---|
{source_counts}

{n_attested} distinct syllables are attested in all. Left out on purpose
(`LEFT_OUT` in `derive.py`): {left_out_on_purpose}.

The other words left out are
not syllables of Vietnamese spelling: foreign names (Almería, Bogotá),
minority-language place names (Bhăng, Dliê, Kbô), run-together words and
abbreviations (báoclose, hđnd), and misspellings (qúy, đợc, nghành, giề,
têt). They are:

{source_left_out}

## vi_strict_std_on.txt, vi_strict_std_off.txt

1. Candidates: every onset (none, b c ch d đ g gh gi h k kh l m n ng ngh nh
   ph qu r s t th tr v x) with every rhyme of the inventory in `syllable.py`
   (nucleus with its medial and coda) and every tone.
2. Spelling rules drop what Vietnamese does not write: k, gh, ngh only before
   i, e, ê (k also before y), c, g, ng elsewhere; q only as qu; gi swallows a
   following i; iê is written yê without an onset; no medial after c, k or a
   labial; the stop codas p, t, c, ch take only the acute and dot tones; uya
   (khuya) takes no tone. The open i is also written y after h, k, l, m, s,
   t, v (kỹ/kĩ, sỹ/sĩ).
3. A candidate attested by a source above (in either tone style) is in.
4. A candidate attested nowhere is in unless its Telex keys spell an English
   word of SCOWL levels up to {en_keys_level} (any length, uncut) or a regular
   inflection of one: a syllable nobody writes must not take a word people do
   write. The keys are those of `telex_keys.py`: each mark key after its
   letter, ươ as uo and one w, or the marks after the letters; the tone key
   anywhere after the first vowel (tone last, tone right after its vowel),
   also after a tone key it replaces (major types mảo, chosen choén, reuse
   rếu; such keys count only as SCOWL lists them, not as a made-up
   inflection). A syllable is judged in both tone places (chỏe is typed chore), so
   both lists hold the same syllables. The rhyme uơ is in only where attested
   (huơ, thuở, quơ): its keys, uow, are those of ươ.
5. Attested syllables the generator does not make are added (loan onset p:
   pênh), as are the loan syllables beginning with p (`P_SYLLABLES`), the
   loan spellings of `LOAN_SYLLABLES` (café, kilômet, buýt, ...) and the place
   syllables of `PLACE_SYLLABLES` ({place}); the unattested ones among them
   by the rule of step 4. A place syllable that breaks native spelling only
   by a k before a back vowel (Kơ Ho, Kôn Chro) is a syllable where a source
   attests it.
6. The tone goes on its conventional vowel; a final oa/oe/uy without q
   before it is toned on its first vowel in the std_on list and on its
   second in the std_off list. All other entries are the same in both.
7. Syllables without any diacritic are dropped (the engine derives toneless
   forms itself). Every entry except the loans and places passes the
   validator of `syllable.py`; every attested syllable is in both lists.

{n_unattested} entries of the std_off list are attested nowhere.
{n_left_out} unattested candidates are left out because their keys spell
English, among them: {left_out_examples}.

Check against hunspell-vi ({n_checked} words with a diacritic): the lists
miss {n_missed} of them, left out on purpose as misspellings or
non-syllables: {missed}.

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
    ap.add_argument("--bench-out", type=Path, default=DEFAULT_BENCH,
                    help="folder of the attested syllables the benchmark types "
                    f"(default: {DEFAULT_BENCH})")
    ap.add_argument("--hunspell", type=Path, default=DEFAULT_HUNSPELL,
                    help=f"hunspell-vi dictionary (default: {DEFAULT_HUNSPELL})")
    ap.add_argument("--cspell", type=Path, default=DEFAULT_CSPELL,
                    help=f"{CSPELL_PACKAGE} trie (default: {DEFAULT_CSPELL})")
    ap.add_argument("--tessdata", type=Path, default=DEFAULT_TESSDATA,
                    help=f"tesseract-ocr-vie trained data (default: {DEFAULT_TESSDATA})")
    ap.add_argument("--places", type=Path, default=DEFAULT_PLACES,
                    help=f"{PLACES_PACKAGE} package folder (default: {DEFAULT_PLACES})")
    ap.add_argument("--names", type=Path, default=DEFAULT_NAMES,
                    help=f"{NAMES_PACKAGE} package folder (default: {DEFAULT_NAMES})")
    ap.add_argument("--cldr", type=Path, default=DEFAULT_CLDR,
                    help=f"CLDR common data folder (default: {DEFAULT_CLDR})")
    ap.add_argument("--scowl", type=Path, default=DEFAULT_SCOWL,
                    help=f"SCOWL word files (default: {DEFAULT_SCOWL})")
    args = ap.parse_args(argv)

    try:
        hunspell = read_hunspell(args.hunspell)
        sources = read_sources(args)
        attested = {identity(w) for src in sources for w in src.syllables}
        english_keys_set = english_key_words(args.scowl)
        strict, dropped = {}, {}
        for style in (S.FIRST, S.SECOND):
            strict[style], dropped[style] = strict_list(style, attested, english_keys_set)
        extra, n_extra_written = extra_list()
        if n_extra_written != len(extra):
            raise SourceError("extra list names an entry twice")
        english, en_files = english_list(args.scowl)
        check_lists(strict, extra, english)
        for src in sources:
            src.left_out -= extra  # abbreviations and loans typed as listed
        for ident in attested:
            for style in (S.FIRST, S.SECOND):
                word = S.spell(*ident, style) if isinstance(ident, tuple) else ident
                if word not in strict[style]:
                    raise SourceError(f"attested syllable {word!r} is not in the {style} list")
        for d in (args.out, args.bench_out):
            if not d.is_dir():
                raise SourceError(f"output folder {d} does not exist")
        versions = {p: package_version(p) for p in ("scowl", "hunspell-vi")}
    except SourceError as e:
        print(f"derive.py: {e}", file=sys.stderr)
        return 1

    generated = strict[S.FIRST] | strict[S.SECOND]
    checked = {w for w in hunspell if not w.isascii() and set(w) <= VI_LETTERS}
    missed = sorted(checked - generated - extra)
    unattested = sorted(w for w in strict[S.SECOND] if identity(w) not in attested)
    left_out = dropped[S.SECOND]

    readme = README.format(
        max_vi=MAX_VI_LENGTH, n_on=len(strict[S.FIRST]), n_off=len(strict[S.SECOND]),
        n_extra=len(extra), n_en=len(english), cut=EN_CUT, en_min=EN_MIN_LENGTH,
        scowl_version=versions["scowl"], hunspell_version=versions["hunspell-vi"],
        source_rows="\n".join(src.row() for src in sources),
        source_counts="\n".join(src.count_row() for src in sources),
        source_left_out="\n".join(src.left_out_item() for src in sources),
        n_attested=len(attested), n_checked=len(checked), n_missed=len(missed),
        missed=", ".join(missed) or "none",
        n_unattested=len(unattested), n_left_out=len(left_out),
        left_out_examples=", ".join(f"{w} ({k})" for w, k in sorted(left_out.items())[:40]),
        en_keys_level=EN_KEYS_LEVEL, en_level=EN_MAX_LEVEL, en_double_level=EN_DOUBLE_LEVEL,
        place=", ".join(PLACE_SYLLABLES),
        left_out_on_purpose="; ".join(f"{w}: {why}" for w, why in LEFT_OUT.items()),
        en_files=", ".join(f"`{k}`" for k in EN_KINDS))

    write_list(args.out / "vi_strict_std_on.txt", strict[S.FIRST])
    write_list(args.out / "vi_strict_std_off.txt", strict[S.SECOND])
    write_list(args.out / "vi_extra.txt", extra)
    write_list(args.out / "en_words.txt", english)
    write_sources(args.bench_out / "vi_sources.tsv", sources)
    tmp = args.out / "README.md.tmp"
    tmp.write_text(readme, encoding="utf-8", newline="\n")
    os.replace(tmp, args.out / "README.md")

    print(f"vi_strict_std_on.txt  {len(strict[S.FIRST])}")
    print(f"vi_strict_std_off.txt {len(strict[S.SECOND])}")
    print(f"vi_extra.txt          {len(extra)}")
    print(f"en_words.txt          {len(english)}")
    for src in sources:
        print(f"{src.key:10} {len(src.syllables):5} syllables, {len(src.left_out):4} left out")
    print(f"attested syllables: {len(attested)}")
    print(f"checked syllables missed ({len(missed)}): {' '.join(missed)}")
    print(f"strict entries attested nowhere: {len(unattested)}")
    print(f"candidates left out, keys English: {len(left_out)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
