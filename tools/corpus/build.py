#!/usr/bin/env python3
"""Build the typing-accuracy corpus in bench/data/ from documents that Debian
ships in Vietnamese and in English.

    python3 tools/corpus/build.py [--work DIR] [--out DIR] [--offline]

The packages below are fetched with `apt-get download` (run `apt-get update`
once first) into the work folder and unpacked there with `dpkg-deb -x`;
nothing is installed. Word counts and a sample of sentences leave the work
folder:

    vi_words.tsv          Vietnamese tokens of the Vietnamese documents
    en_words.tsv          English words of the English documents
    en_sentences.txt      English sentences of the English documents
    vi_sentences.txt      Vietnamese sentences of the Vietnamese documents,
                          every word of them Vietnamese
    vi_en_sentences.tsv   Vietnamese sentences with English terms in them

In the word lists each line is "count<TAB>word", most frequent first, ties in
code point order. The case of each word is kept: the benchmark types it as
written. The sentence files hold one sentence a line (see "Which sentences"
below); in vi_en_sentences.tsv the sentence is followed by a tab and its
English terms, separated by spaces, in the order they first appear.

Which tokens count:
 - A token is a run of letters and digits; hyphens, slashes and every other
   character end it. Tokens with a digit are dropped (md5sum, pb3).
 - Vietnamese: only text blocks written in Vietnamese are read (at least
   VI_SHARE of their letter tokens carry a Vietnamese diacritic), because the
   translations leave untranslated blocks behind. Inside them a token is kept
   when it is made of Vietnamese letters only (no f, j, w, z) and it has a
   diacritic (tiếng, Đây, kilômét; a one-syllable token must also be spelt
   as Vietnamese spells: liêt and ngịch are slips of the writer), or it is a well-formed
   toneless syllable (cho, Trong, KHI), or it is an abbreviation: no vowel or
   all capitals, at most 5 letters, and never seen in the English documents
   (vv, CSDL; not PDF or GNU, which English text uses too). A token must be
   written in small letters, with a capital first letter or in capitals:
   other mixtures are identifiers or words glued together by the markup
   (liệuX, TBình). Everything else in
   a Vietnamese block (program names, English terms left in the text, names of
   people) is not Vietnamese typing and is left out.
 - English: a token of ASCII letters whose lowercase form is a SCOWL word of
   level EN_LEVEL or below, in a block not written mostly in capitals.
   Program names, options and code identifiers that no dictionary knows are
   left out, and so are lone letters other than a and I (the rests of it's,
   don't).

Which sentences:
 - A text block is cut into sentences after ., ! or ? followed by a space and
   a capital letter; a sentence begins with a capital letter, ends with ., !
   or ?, and has MIN_WORDS to MAX_WORDS letter tokens. Sentences that hold
   code rather than prose are left out: any character of CODE_CHARACTERS, a
   token mixing letters and digits (md5sum), a letter outside the English
   and Vietnamese alphabets (Réaumur).
 - English: ASCII only, from the blocks the word counts read, and at least
   EN_PROSE_SHARE of the tokens longer than one letter are SCOWL words.
 - Vietnamese: from the blocks the word counts read. A token is Vietnamese as
   the word counts decide it; an ASCII token that is not Vietnamese is an
   English term (LibreOffice, Calc, PDF, file). A sentence with a misspelt
   or other non-Vietnamese token goes nowhere, and so does one with words run
   together (liệukhông; the loans of data/vi_extra.txt, lôgic, stay). Without English terms it is a
   Vietnamese sentence; with them, and at least VI_SENTENCE_SHARE of its
   tokens Vietnamese, a sentence with English terms.
 - Each file keeps up to MAX_SENTENCES distinct sentences, the first by the
   SHA-1 of their text, so that the sample is spread over every package and
   does not move when an unrelated sentence comes or goes.
"""

import argparse
import collections
import functools
import gettext
import gzip
import hashlib
import html.parser
import re
import subprocess
import sys
import unicodedata
from pathlib import Path

sys.dont_write_bytecode = True
REPO = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO / "tools" / "wordlists"))
import syllable as S  # noqa: E402
from derive import LOAN_SYLLABLES  # noqa: E402

VI_PACKAGES = ("manpages-vi", "maint-guide-vi", "libreoffice-help-vi", "libreoffice-l10n-vi")
# The English originals of the same kinds of document: the man pages that
# manpages-vi translates come from coreutils and diffutils; manpages adds the
# rest of the Linux manual; the message catalogues of libreoffice-l10n-vi
# hold each English interface string beside its translation.
EN_PACKAGES = ("manpages", "coreutils", "diffutils", "maint-guide", "libreoffice-help-en-us",
               "libreoffice-l10n-vi")

VI_SHARE = 0.3
MAX_ABBREVIATION = 5
EN_LEVEL = 70
EN_KINDS = ("english-words", "american-words", "english-upper", "american-upper")
SCOWL = Path("/usr/share/dict/scowl")

VI_MARKED = frozenset("áàảãạăắằẳẵặâấầẩẫậéèẻẽẹêếềểễệíìỉĩịóòỏõọôốồổỗộơớờởỡợúùủũụưứừửữựýỳỷỹỵđ")
# The Vietnamese alphabet writes no f, j, w, z; tokens with them in this text
# are names and English run into a Vietnamese word (Bézier, trìnhLibreOffice).
VI_LETTERS = frozenset("abcdeghiklmnopqrstuvxy") | VI_MARKED
VOWELS = frozenset("aeiouy")
VOWEL_GROUP = re.compile("[aăâeêioôơuưyáắấéếíóốớúứýàằầèềìòồờùừỳảẳẩẻểỉỏổởủửỷãẵẫẽễĩõỗỡũữỹạặậẹệịọộợụựỵ]+")
TOKEN = re.compile(r"[^\W_]+")

MIN_WORDS, MAX_WORDS = 4, 24
MAX_SENTENCES = 2000
EN_PROSE_SHARE = 0.8
VI_SENTENCE_SHARE = 0.5
# Paths, markup, options and formulas, not prose anyone types.
CODE_CHARACTERS = frozenset("_/\\<>{}[]=|~@$^`*#%&+")
SENTENCE_BREAK = re.compile(r"(?<=[.!?])\s+")


class CorpusError(Exception):
    pass


# ------------------------------------------------------------------ fetching

def fetch(packages, work, offline):
    """Unpacked folder of each package, downloading what is missing."""
    debs = work / "debs"
    debs.mkdir(parents=True, exist_ok=True)
    folders = {}
    for name in packages:
        found = sorted(debs.glob(f"{name}_*.deb"))
        if not found:
            if offline:
                raise CorpusError(f"{name}: no .deb in {debs} and --offline given")
            r = subprocess.run(["apt-get", "download", name], cwd=debs,
                               capture_output=True, text=True)
            found = sorted(debs.glob(f"{name}_*.deb"))
            if r.returncode != 0 or not found:
                raise CorpusError(f"apt-get download {name} failed (run apt-get update "
                                  f"first?): {r.stderr.strip()}")
        deb = found[-1]
        folder = work / "unpacked" / deb.stem
        if not folder.is_dir():
            tmp = folder.with_name(folder.name + ".tmp")
            subprocess.run(["rm", "-rf", str(tmp)], check=True)
            tmp.mkdir(parents=True)
            r = subprocess.run(["dpkg-deb", "-x", str(deb), str(tmp)], capture_output=True, text=True)
            if r.returncode != 0:
                raise CorpusError(f"dpkg-deb -x {deb.name}: {r.stderr.strip()}")
            tmp.rename(folder)
        version = deb.stem.split("_")[1].replace("%3a", ":")
        folders[name] = (folder, version)
    return folders


# ---------------------------------------------------------------- text blocks

_ESCAPES = [
    (re.compile(r"\\f(\[[^\]]*\]|\(..|.)"), ""),   # font changes
    (re.compile(r"\\s[+-]?\d"), ""),                # size changes
    (re.compile(r"\\\*(\[[^\]]*\]|\(..|.)"), ""),   # strings
    (re.compile(r"\\\((co|rg|tm)"), " "),
    (re.compile(r"\\\(em|\\\(en|\\\(hy"), "-"),
    (re.compile(r"\\\([a-zA-Z]{2}"), " "),
    (re.compile(r"\\\[[^\]]*\]"), " "),
    (re.compile(r"\\[-e]"), "-"),
    (re.compile(r"\\[&|^/,%:]"), ""),
    (re.compile(r"\\."), " "),
]


def man_blocks(text):
    """Paragraphs of a man page: request lines and blank lines end one."""
    block = []
    for line in text.splitlines():
        if line.startswith((".", "'")):
            request = line[1:].split(None, 1)
            # Headings and tagged paragraphs carry text on the request line.
            if request and request[0] in ("SH", "SS", "B", "I", "BI", "BR", "IR", "IB", "RB", "RI", "TH"):
                if block:
                    yield " ".join(block)
                    block = []
                if len(request) > 1:
                    yield request[1]
                continue
            if block:
                yield " ".join(block)
                block = []
            continue
        if not line.strip():
            if block:
                yield " ".join(block)
                block = []
            continue
        for pattern, by in _ESCAPES:
            line = pattern.sub(by, line)
        block.append(line)
    if block:
        yield " ".join(block)


def text_blocks(text):
    """Paragraphs of plain text: blank lines end one."""
    for part in re.split(r"\n\s*\n", text):
        if part.strip():
            yield part


class _HtmlBlocks(html.parser.HTMLParser):
    BLOCK = {"p", "div", "li", "td", "th", "h1", "h2", "h3", "h4", "h5", "h6", "br", "tr",
             "pre", "title", "dt", "dd", "table", "ul", "ol"}
    SKIP = {"script", "style", "head", "header", "aside", "noscript"}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.blocks, self.current, self.skipping = [], [], 0

    def flush(self):
        if self.current:
            self.blocks.append("".join(self.current))
            self.current = []

    def handle_starttag(self, tag, attrs):
        if tag in self.SKIP:
            self.skipping += 1
        if tag in self.BLOCK:
            self.flush()

    def handle_endtag(self, tag):
        if tag in self.SKIP:
            self.skipping = max(0, self.skipping - 1)
        if tag in self.BLOCK:
            self.flush()

    def handle_data(self, data):
        if not self.skipping:
            self.current.append(data)


def html_blocks(text):
    p = _HtmlBlocks()
    p.feed(text)
    p.close()
    p.flush()
    return p.blocks


def catalogue_blocks(path, original):
    """The translated strings of a gettext catalogue, or its English
    originals."""
    try:
        with open(path, "rb") as f:
            catalogue = gettext.GNUTranslations(f)._catalog
    except (OSError, ValueError, UnicodeDecodeError) as e:
        raise CorpusError(f"{path}: not a readable message catalogue: {e}")
    for key, value in catalogue.items():
        if not key:
            continue  # the header
        msgid = key[0] if isinstance(key, tuple) else key
        yield msgid if original else value


def documents(folder, original=False):
    """(kind, text) of every man page, HTML page, plain-text guide and
    message catalogue (its English strings when original)."""
    for path in sorted(folder.rglob("*")):
        if not path.is_file():
            continue
        rel = str(path.relative_to(folder))
        try:
            if "/man/" in rel and re.search(r"\.\d\w*\.gz$", rel):
                raw = gzip.open(path, "rb").read()
                if raw.startswith(b".so "):
                    continue  # a link to another page
                yield "man", raw.decode("utf-8", errors="replace")
            elif rel.endswith(".html") and "/help/" in rel:
                yield "html", path.read_text(encoding="utf-8", errors="replace")
            elif rel.endswith(".mo") and "-l10n-vi" in folder.name:
                for block in catalogue_blocks(path, original):
                    yield "text", block
            elif re.search(r"maint-guide\.\w+\.txt\.gz$", rel):
                yield "text", gzip.open(path, "rt", encoding="utf-8", errors="replace").read()
        except (OSError, EOFError) as e:
            raise CorpusError(f"{path}: {e}")


def blocks_of(folder, original=False):
    for kind, text in documents(folder, original):
        splitter = {"man": man_blocks, "html": html_blocks, "text": text_blocks}[kind]
        for block in splitter(text):
            yield unicodedata.normalize("NFC", block)


def tokens(block):
    return [t for t in TOKEN.findall(block) if not any(c.isdigit() for c in t)]


# ------------------------------------------------------------------ Vietnamese

def is_vietnamese_block(toks):
    words = [t for t in toks if len(t) > 1 or t.lower() in VI_MARKED]
    if not words:
        return False
    marked = sum(1 for t in words if any(c in VI_MARKED for c in t.lower()))
    return marked >= VI_SHARE * len(words)


def vietnamese_kind(token, english_forms):
    """'word', 'abbreviation', 'misspelt' or None."""
    low = token.lower()
    if set(low) - VI_LETTERS:
        return None
    # Writers use small letters, a capital first letter or all capitals;
    # other mixtures are identifiers and words glued by the markup
    # (tựPhông, liệuX, TBình), not words anyone types.
    if token not in (low, token.upper()) and token != token[0].upper() + token[1:].lower():
        return None
    if any(c in VI_MARKED for c in low):
        # One vowel group is one syllable: if it breaks Vietnamese spelling it
        # is a slip of the writer (liêt, ngịch, họat, đựơc) or an identifier
        # (TMỤC), and nobody means to type it. A longer token may be a loan
        # written as one string (lôgic), so it stays.
        if len(VOWEL_GROUP.findall(low)) == 1 and S.check(low) is not None \
                and low not in LOAN_SYLLABLES:
            return "misspelt"
        return "word"
    if S.check(low) is None:
        return "word"
    short = len(low) <= MAX_ABBREVIATION
    caps = token.isupper() and len(token) > 1
    if short and (caps or not set(low) & VOWELS) and low not in english_forms:
        return "abbreviation"
    return None


# ------------------------------------------------------------------ English

def scowl_words():
    if not SCOWL.is_dir():
        raise CorpusError(f"{SCOWL} is missing: apt-get install scowl")
    words = set()
    for kind in EN_KINDS:
        for f in SCOWL.glob(f"{kind}.*"):
            if int(f.suffix[1:]) <= EN_LEVEL:
                for line in f.read_text(encoding="utf-8", errors="replace").splitlines():
                    w = line.strip().lower()
                    if re.fullmatch(r"[a-z]+", w):
                        words.add(w)
    if not words:
        raise CorpusError(f"{SCOWL} holds no word files")
    return words


def is_english_prose(toks):
    """False for blocks mostly in capitals: headings and the character-name
    tables of the charset pages (LATIN SMALL LETTER A WITH ACUTE), which
    would swamp the counts with a few words nobody types."""
    words = [t for t in toks if len(t) > 1]
    return bool(words) and sum(1 for t in words if t.isupper()) < 0.5 * len(words)


def is_english_word(token, dictionary):
    # A lone letter is mostly the rest of a contraction (it's, don't).
    if len(token) == 1 and token not in ("a", "A", "I"):
        return False
    return token.lower() in dictionary


# ------------------------------------------------------------------ sentences

def sentences(block):
    """The sentences of a block, spaces collapsed."""
    text = " ".join(block.split())
    start = 0
    for m in SENTENCE_BREAK.finditer(text):
        if m.end() < len(text) and text[m.end()].isupper():
            yield text[start:m.start()]
            start = m.end()
    if start < len(text):
        yield text[start:]


def is_typed_prose(sentence, alphabet):
    """Whether a sentence is prose a person types: shape, length and
    characters; alphabet holds the letters beyond ASCII it may use."""
    if not sentence[:1].isupper() or sentence[-1] not in ".!?":
        return False
    if any(c in CODE_CHARACTERS or (ord(c) > 126 and c.lower() not in alphabet)
           or (ord(c) < 32) for c in sentence):
        return False
    toks = TOKEN.findall(sentence)
    if any(any(c.isdigit() for c in t) and not t.isdigit() for t in toks):
        return False
    words = [t for t in toks if not t.isdigit()]
    return MIN_WORDS <= len(words) <= MAX_WORDS


def english_sentence(sentence, dictionary):
    if not sentence.isascii() or not is_typed_prose(sentence, ()):
        return False
    words = [t for t in tokens(sentence) if len(t) > 1]
    return bool(words) and \
        sum(1 for t in words if t.lower() in dictionary) >= EN_PROSE_SHARE * len(words)


def vietnamese_sentence(sentence, english_forms):
    """None when the sentence is not kept, else its English terms in the order
    they first appear (none for a sentence all Vietnamese)."""
    if not is_typed_prose(sentence, VI_MARKED):
        return None
    terms, vietnamese = [], 0
    words = tokens(sentence)
    for t in words:
        kind = vietnamese_kind(t, english_forms)
        if kind == "word" and len(VOWEL_GROUP.findall(t.lower())) > 1 \
                and t.lower() not in listed_loans():
            return None  # words run together (liệukhông), which nobody types
        if kind in ("word", "abbreviation"):
            vietnamese += 1
        elif kind is None and t.isascii():
            if t not in terms:
                terms.append(t)
        else:
            return None
    if terms and vietnamese < VI_SENTENCE_SHARE * len(words):
        return None
    return terms


@functools.cache
def listed_loans():
    """The spellings the engine takes as words without being syllables."""
    path = REPO / "data" / "vi_extra.txt"
    try:
        return frozenset(path.read_text(encoding="utf-8").split())
    except OSError as e:
        raise CorpusError(f"{path}: {e}")


def sample(found):
    """Up to MAX_SENTENCES distinct lines of (line, package) pairs, chosen and
    ordered by their hash, each with the first package it was found in."""
    first = {}
    for line, package in found:
        first.setdefault(line, package)
    key = lambda line: hashlib.sha1(line.encode("utf-8")).hexdigest()  # noqa: E731
    return [(line, first[line]) for line in sorted(first, key=key)[:MAX_SENTENCES]]


# ------------------------------------------------------------------ output

def write_counts(path, counts):
    lines = sorted(counts.items(), key=lambda kv: (-kv[1], kv[0]))
    tmp = path.with_suffix(".tmp")
    tmp.write_text("".join(f"{n}\t{w}\n" for w, n in lines), encoding="utf-8", newline="\n")
    tmp.replace(path)


def write_lines(path, lines):
    tmp = path.with_suffix(".tmp")
    tmp.write_text("".join(f"{line}\n" for line in lines), encoding="utf-8", newline="\n")
    tmp.replace(path)


def main(argv=None):
    ap = argparse.ArgumentParser(description="Build the word-count corpus of bench/data/.")
    ap.add_argument("--work", type=Path, default=Path("/tmp/vanto-corpus"),
                    help="where the packages are downloaded and unpacked")
    ap.add_argument("--out", type=Path, default=REPO / "bench" / "data")
    ap.add_argument("--offline", action="store_true", help="use only .deb files already in --work")
    args = ap.parse_args(argv)
    try:
        vi = fetch(VI_PACKAGES, args.work, args.offline)
        en = fetch(EN_PACKAGES, args.work, args.offline)
        dictionary = scowl_words()

        en_counts = collections.Counter()
        en_forms = set()  # every ASCII token of the English text, words or not
        en_sentences = []
        for name, (folder, _) in en.items():
            for block in blocks_of(folder, original=True):
                toks = [t for t in tokens(block) if t.isascii()]
                en_forms.update(t.lower() for t in toks)
                if is_english_prose(toks):
                    en_counts.update(t for t in toks if is_english_word(t, dictionary))
                    en_sentences += [(x, name) for x in sentences(block)
                                     if english_sentence(x, dictionary)]

        vi_counts = collections.Counter()
        kinds = collections.Counter()
        per_package = collections.Counter()
        vi_sentences, vi_en_sentences = [], []
        for name, (folder, _) in vi.items():
            for block in blocks_of(folder):
                toks = tokens(block)
                if not is_vietnamese_block(toks):
                    continue
                for x in sentences(block):
                    terms = vietnamese_sentence(x, en_forms)
                    if terms:
                        vi_en_sentences.append((x + "\t" + " ".join(terms), name))
                    elif terms is not None:
                        vi_sentences.append((x, name))
                for t in toks:
                    kind = vietnamese_kind(t, en_forms)
                    kinds[kind] += 1
                    if kind in ("word", "abbreviation"):
                        vi_counts[t] += 1
                        per_package[name] += 1
        if not vi_counts or not en_counts:
            raise CorpusError("no words found: are the packages the expected ones?")
        args.out.mkdir(parents=True, exist_ok=True)
        write_counts(args.out / "vi_words.tsv", vi_counts)
        write_counts(args.out / "en_words.tsv", en_counts)
        written = {}
        for file, found in (("en_sentences.txt", en_sentences),
                            ("vi_sentences.txt", vi_sentences),
                            ("vi_en_sentences.tsv", vi_en_sentences)):
            if not found:
                raise CorpusError(f"{file}: no sentences found")
            kept = sample(found)
            written[file] = (len({line for line, _ in found}), kept)
            write_lines(args.out / file, [line for line, _ in kept])
    except CorpusError as e:
        print(f"build.py: {e}", file=sys.stderr)
        return 1

    for name, (_, version) in list(vi.items()) + list(en.items()):
        print(f"package {name} {version}")
    for name, n in per_package.items():
        print(f"vi tokens from {name}: {n}")
    print(f"vi_words.tsv: {len(vi_counts)} distinct, {sum(vi_counts.values())} tokens "
          f"({kinds['abbreviation']} abbreviation tokens; {kinds['misspelt']} misspelt tokens "
          f"left out)")
    print(f"en_words.tsv: {len(en_counts)} distinct, {sum(en_counts.values())} tokens")
    for file, (found, kept) in written.items():
        print(f"{file}: {len(kept)} of {found} distinct sentences, "
              f"{sum(len(tokens(x.split(chr(9))[0])) for x, _ in kept)} tokens")
        for name, n in sorted(collections.Counter(p for _, p in kept).items()):
            print(f"  from {name}: {n}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
