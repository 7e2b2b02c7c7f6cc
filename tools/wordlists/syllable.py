"""Structure of a written Vietnamese syllable.

A syllable is onset + rhyme + tone. The rhyme is an optional medial (the
rounding o/u of "hoa", "tuy"), a nucleus and an optional coda. Orthography
adds spelling rules on top of the sound structure: /k/ is written k before
front vowels, c elsewhere and q before the medial; "gi" swallows a following
i; iê is written yê without an onset or after the medial u; and the tone mark
has one conventional place, except in a final oa/oe/uy, where two styles are
in use ("hòa, thủy" against "hoà, thuỷ").

`check(word, style)` answers why a word is not a well-formed syllable (None
when it is); `spell(onset, rhyme, tone, style)` writes one; `RHYMES`,
`QU_RHYMES` and `GI_RHYMES` are the inventories a generator walks.
"""

import unicodedata

# Tones, named by the Telex key that types them; LEVEL carries no mark.
LEVEL, ACUTE, GRAVE, HOOK, TILDE, DOT = "", "s", "f", "r", "x", "j"
TONES = (LEVEL, ACUTE, GRAVE, HOOK, TILDE, DOT)
_TONE_MARK = {ACUTE: "\u0301", GRAVE: "\u0300", HOOK: "\u0309", TILDE: "\u0303", DOT: "\u0323"}
_MARK_TONE = {m: t for t, m in _TONE_MARK.items()}

# Where the tone of a final oa/oe/uy goes: on its first vowel ("hòa") or on
# its second ("hoà"). None accepts either.
FIRST, SECOND = "first", "second"

VOWELS = frozenset("aăâeêioôơuưy")
_MARKED_VOWELS = frozenset("ăâêôơư")
_LETTERS = frozenset("abcdđeghiklmnopqrstuvxyăâêôơư")
STOP_CODAS = frozenset(("p", "t", "c", "ch"))

ONSETS = ("b", "c", "ch", "d", "đ", "g", "gh", "gi", "h", "k", "kh", "l", "m",
          "n", "ng", "ngh", "nh", "p", "ph", "qu", "r", "s", "t", "th", "tr",
          "v", "x")
_ONSETS_LONGEST_FIRST = sorted(ONSETS, key=len, reverse=True)

# Rhymes without a medial, as written after a consonant onset. "au" and "ay"
# are the short ă before u/y; "oo" is the long o of xoong, boong, moóc.
_PLAIN = """
a ai ao au ay am an ang anh ap at ac ach
ăm ăn ăng ăp ăt ăc
âm ân âng âp ât âc âu ây
e eo em en eng ep et ec
ê êu êm ên ênh êp êt êch
i ia iu im in inh ip it ich
iêu iêm iên iêng iêp iêt iêc
o oi om on ong op ot oc oong ooc
ô ôi ôm ôn ông ôp ôt ôc
ơ ơi ơm ơn ơp ơt
u ua ui um un ung up ut uc
uôi uôm uôn uông uôt uôc
ư ưa ưi ưu ưm ưn ưng ưt ưc
ươi ươu ươm ươn ương ươp ươt ươc
""".split()

# Rhymes with the rounding medial: o before a, ă, e; u before â, ê, i (then
# written y), ơ.
_MEDIAL = """
oa oai oao oay oam oan oang oanh oap oat oac oach
oăm oăn oăng oăt oăc
oe oeo oen oet
uân uâng uât uây
uê uênh uêch
uy uya uyu uynh uyt uych uyên uyêt
uơ
""".split()

# After qu the u is the medial already, so the rest is a plain rhyme.
# "qui"/"quít" are the older spellings of "quy"/"quýt" and still written;
# "yu" is the rhyme of quỵu (khuỵu after qu).
QU_RHYMES = tuple("""
a ai ao au ay an ang anh at ac ach
ăm ăn ăng ăp ăt ăc
ân âng ât ây
e eo en et
ê êu ên ênh êt êch
ơ ôc
y yu ynh yt yên yêt
i it
""".split())

RHYMES = tuple(_PLAIN + _MEDIAL)
# "gi" takes no medial; a rhyme starting with i shares the i of gi, so "ia"
# and "iu" would read as gi + a, gi + u and are left out.
GI_RHYMES = tuple(r for r in _PLAIN if r not in ("ia", "iu"))

# Onsets after which the open i is also written y (kỹ/kĩ, lý/lí, sỹ/sĩ).
Y_ONSETS = frozenset(("h", "k", "l", "m", "s", "t", "v"))
_FRONT = frozenset("ieêy")
_LABIALS = frozenset(("b", "m", "p", "ph", "v"))


def _split_rhyme(rhyme):
    """Vowels, coda and medial letter of a written rhyme."""
    n = 0
    while n < len(rhyme) and rhyme[n] in VOWELS:
        n += 1
    vowels, coda = rhyme[:n], rhyme[n:]
    medial = ""
    if len(vowels) >= 2:
        if vowels[0] == "o" and vowels[1] in "aăe":
            medial = "o"
        elif vowels[0] == "u" and vowels[1] in "âêyơ":
            medial = "u"
    return vowels, coda, medial


def _tone_index(vowels, coda, style):
    """Index in `vowels` of the vowel that carries the tone."""
    marked = [i for i, v in enumerate(vowels) if v in _MARKED_VOWELS]
    if marked:
        return marked[-1]
    if coda or len(vowels) == 1:
        return len(vowels) - 1
    if len(vowels) == 3:
        return 1
    if vowels in ("oa", "oe", "uy"):
        return 0 if style == FIRST else 1
    return 0


def underlying_rhyme(onset, written):
    """The rhyme as listed in the inventories, from its written form."""
    if onset == "gi" and (not written or written[0] not in VOWELS or written[0] == "ê"):
        return "i" + written
    if onset == "" and written.startswith("yê"):
        return "iê" + written[2:]
    return written


def spell(onset, rhyme, tone, style):
    """Write onset + rhyme with `tone` on its conventional vowel; `style`
    (FIRST or SECOND) places it in a final oa/oe/uy."""
    vowels, coda, _ = _split_rhyme(rhyme)
    at = _tone_index(vowels, coda, style)
    chars = list(rhyme)
    if tone:
        chars[at] = unicodedata.normalize("NFC", chars[at] + _TONE_MARK[tone])
    toned = "".join(chars)
    if onset == "gi" and rhyme.startswith("i"):
        return "g" + toned
    if onset == "" and rhyme.startswith("iê"):
        return "y" + toned[1:]
    return onset + toned


def strip_tone(word):
    """(word without its tone, tone, index of the toned letter or None).

    Raises ValueError for a word with more than one tone mark."""
    plain, tone, at = [], LEVEL, None
    for i, ch in enumerate(word):
        parts = unicodedata.normalize("NFD", ch)
        kept = "".join(p for p in parts if p not in _MARK_TONE)
        for p in parts:
            if p in _MARK_TONE:
                if tone:
                    raise ValueError("more than one tone mark")
                tone, at = _MARK_TONE[p], i
        plain.append(unicodedata.normalize("NFC", kept))
    return "".join(plain), tone, at


def split_onset(plain):
    """(onset, written rhyme) of a toneless word; the onset may be ""."""
    if plain.startswith("gi"):
        return "gi", plain[2:]
    for onset in _ONSETS_LONGEST_FIRST:
        if plain.startswith(onset) and onset != "gi":
            return onset, plain[len(onset):]
    return "", plain


def check(word, style=None):
    """None if `word` is a well-formed syllable, else the reason it is not.

    `style` FIRST or SECOND demands that tone place for a final oa/oe/uy;
    None accepts both."""
    word = unicodedata.normalize("NFC", word)
    if not word:
        return "empty"
    if word != word.lower():
        return "not lowercase"
    try:
        plain, tone, at = strip_tone(word)
    except ValueError as e:
        return str(e)
    bad = sorted(set(plain) - _LETTERS)
    if bad:
        return "letter not used in Vietnamese: " + "".join(bad)
    onset, written = split_onset(plain)
    if plain[0] == "q" and onset != "qu":
        return "q is written only as qu"
    rhyme = underlying_rhyme(onset, written)
    if not rhyme or rhyme[0] not in VOWELS:
        return "no vowel after the onset" if rhyme else "no rhyme"
    if onset == "qu":
        inventory = QU_RHYMES
    elif onset == "gi":
        inventory = GI_RHYMES
    else:
        inventory = RHYMES
    if rhyme == "y" and onset in Y_ONSETS | {""}:
        pass
    elif rhyme not in inventory:
        return "not a rhyme" + (" after " + onset if onset else "") + ": " + written
    elif onset == "" and rhyme.startswith("iê") and written == rhyme:
        return "iê is written yê without an onset"
    vowels, coda, medial = _split_rhyme(rhyme)
    first = (written or rhyme)[0]
    if onset in ("k", "gh", "ngh") and first not in (_FRONT if onset == "k" else _FRONT - {"y"}):
        return onset + " is written only before i, e, ê" + (", y" if onset == "k" else "")
    if onset in ("c", "g", "ng") and first in _FRONT:
        return onset + " is written " + {"c": "k", "g": "gh", "ng": "ngh"}[onset] + " before " + first
    if medial and (onset in ("c", "k") or onset in _LABIALS or (onset == "g" and medial == "u")):
        return "no medial " + medial + " after " + onset
    if coda in STOP_CODAS and tone not in (ACUTE, DOT):
        return "a stop coda takes only the acute or dot tone"
    if tone:
        # Index of the rhyme's first letter within the word.
        start = len(plain) - len(written) - (1 if onset == "gi" and written != rhyme else 0)
        allowed = {start + _tone_index(vowels, coda, s) for s in ((FIRST, SECOND) if style is None else (style,))}
        if at not in allowed:
            return "tone mark on the wrong vowel"
    return None


def is_valid(word, style=None):
    return check(word, style) is None
