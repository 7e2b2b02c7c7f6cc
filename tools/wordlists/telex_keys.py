"""The Telex keys a person types for one lowercase Vietnamese syllable.

derive.py asks whether those keys spell an English word: a syllable that no
source attests must not take the keys of a word people do write. The habits
are those of the typing benchmark (bench/typing_styles.h): each mark key
right after its letter, and the tone key either after the syllable or right
after the vowel that carries it; ươ may also be typed as uo and one w; and
the mark keys may all come after the letters, where no other letter of the
syllable could take the same key (queue types quêu).
"""

import unicodedata

TONE_LAST, TONE_AFTER_VOWEL, W_AFTER_PAIR, MARKS_LAST = (
    "tone last", "tone after vowel", "w after uo", "marks last")
STYLES = (TONE_LAST, TONE_AFTER_VOWEL, W_AFTER_PAIR, MARKS_LAST)

_TONE_KEY = {"\u0301": "s", "\u0300": "f", "\u0309": "r", "\u0303": "x", "\u0323": "j"}
# The key that puts each mark on its letter: â ê ô by the letter again, ă ơ ư by w.
_MARK_KEY = {"\u0302": None, "\u0306": "w", "\u031b": "w"}


def _letters(word):
    """(base letter, mark key, tone key) for each letter of `word`."""
    out = []
    for ch in unicodedata.normalize("NFC", word):
        if ch == "đ":
            out.append(("d", "d", ""))
            continue
        parts = unicodedata.normalize("NFD", ch)
        base, mark, tone = parts[0], "", ""
        if not ("a" <= base <= "z"):
            raise ValueError(f"{word!r}: {ch!r} is no Vietnamese letter")
        for p in parts[1:]:
            if p in _TONE_KEY:
                tone = _TONE_KEY[p]
            elif p in _MARK_KEY:
                mark = _MARK_KEY[p] or base
            else:
                raise ValueError(f"{word!r}: {ch!r} is no Vietnamese letter")
        out.append((base, mark, tone))
    return out


def _takes(base, key):
    """Whether the plain letter `base` could take the mark key `key`."""
    return base in "aou" if key == "w" else base == key


def _deferred(letters):
    """Indices of the letters whose mark key goes after the syllable."""
    qu = len(letters) >= 2 and letters[0][0] == "q"
    out = set()
    for i, (base, mark, _) in enumerate(letters):
        if not mark:
            continue
        if i > 0 and base == "o" and mark == "w" and letters[i - 1][:2] == ("u", "w"):
            if i - 1 in out:
                out.add(i)  # ươ is one target of one w
            continue
        # oă is typed with one w too: the o cannot take it away.
        oa = mark == "w" and base == "a" and i > 0 and letters[i - 1][:2] == ("o", "")
        pair = mark == "w" and base == "u" and i + 1 < len(letters) and letters[i + 1][:2] == ("o", "w")
        others = [j for j in range(len(letters))
                  if j != i and not (pair and j == i + 1) and not (oa and j == i - 1)
                  and not (qu and j == 1)]
        if not any(_takes(letters[j][0], mark) for j in others):
            out.add(i)
    return out


def keys(word, style):
    """The keys of the syllable `word` in `style` (one of STYLES)."""
    letters = _letters(word)
    tone = next((t for _, _, t in letters if t), "")
    deferred = _deferred(letters) if style == MARKS_LAST else set()
    tail = []
    out = []
    i = 0
    while i < len(letters):
        base, mark, t = letters[i]
        out.append(base)
        # A second a, e, o or d after the same plain letter is a mark key, so
        # the plain pair (xoong) is typed with the letter once more.
        if (not mark and i > 0 and base in "aeod" and letters[i - 1][0] == base
                and not letters[i - 1][1]):
            out.append(base)
        if (style == W_AFTER_PAIR and base == "u" and mark == "w" and i + 1 < len(letters)
                and letters[i + 1][:2] == ("o", "w")):
            out.append("o")
            out.append("w")
            i += 1
        elif mark and i in deferred:
            if not (i > 0 and i - 1 in deferred and letters[i - 1][:2] == ("u", "w")):
                tail.append(mark)
        elif mark:
            out.append(mark)
        if style == TONE_AFTER_VOWEL and t:
            out.append(t)
        i += 1
    out.extend(tail)
    if tone and style != TONE_AFTER_VOWEL:
        out.append(tone)
    return "".join(out)


TONE_KEYS = "sfrxj"


def variants(word, replaced=False):
    """Every key sequence that types `word` in the habits above, with the tone
    key anywhere after the first vowel; with `replaced`, those where a tone
    key typed before it is replaced by it instead (major types mảo, chosen
    choén, reuse rếu)."""
    letters = _letters(word)
    tone = next((t for _, _, t in letters if t), "")
    level = unicodedata.normalize(
        "NFC", "".join(c for c in unicodedata.normalize("NFD", word) if c not in _TONE_KEY))
    out = set()
    for style in (TONE_LAST, W_AFTER_PAIR, MARKS_LAST):
        base = keys(level, style)
        first = next((i for i, c in enumerate(base) if c in "aeiouy"), None)
        if first is None or not tone:
            if not replaced:
                out.add(base)
            continue
        for p in range(first + 1, len(base) + 1):
            toned = base[:p] + tone + base[p:]
            if not replaced:
                out.add(toned)
                continue
            for q in range(first + 1, p + 1):
                for extra in TONE_KEYS:
                    out.add(toned[:q] + extra + toned[q:])
    return out
