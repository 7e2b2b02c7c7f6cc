#!/usr/bin/env python3
"""Checks the property lists of Vanto.app and of its keyboard-layout bundle,
and the keyboard layout, the way macOS will read them.

    check_bundles.py --version-file VERSION --app-plist Info.plist
                     --layout-plist layout/Info.plist --layout-bundle Vanto.bundle

Prints one line per problem and exits 1 when there is any.
"""
import argparse
import os
import plistlib
import re
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_keylayout  # noqa: E402

APP_ID = "norbel.inputmethod.Vanto"
LAYOUT_BUNDLE_ID = "norbel.keyboardlayout.Vanto"
LAYOUT_NAME = "Vanto"
# A keyboard layout bundle's sources are named bundle id + ".keylayout." + layout name.
LAYOUT_SOURCE_ID = LAYOUT_BUNDLE_ID + ".keylayout." + LAYOUT_NAME
VIETNAMESE_LETTERS = re.compile("[ăâđêôơưĂÂĐÊÔƠƯàáảãạằắẳẵặầấẩẫậèéẻẽẹềếểễệìíỉĩịòóỏõọồốổỗộờớởỡợùúủũụừứửữựỳýỷỹỵ]")


class Problems:
    def __init__(self):
        self.lines = []

    def add(self, where, text):
        self.lines.append("%s: %s" % (where, text))


def load_plist(path, problems):
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        problems.add(path, "cannot be read (%s)" % e.strerror)
        return None
    if not data.startswith(b"<?xml"):
        problems.add(path, "not an XML property list")
        return None
    try:
        value = plistlib.loads(data, fmt=plistlib.FMT_XML)
    except Exception as e:  # plistlib raises several kinds for malformed input
        problems.add(path, "malformed property list (%s)" % e)
        return None
    if not isinstance(value, dict):
        problems.add(path, "the top level is not a dictionary")
        return None
    return value


def expect(plist, key, wanted, path, problems):
    if key not in plist:
        problems.add(path, "%s is missing" % key)
    elif plist[key] != wanted:
        problems.add(path, "%s is %r, expected %r" % (key, plist[key], wanted))


def expect_text(plist, key, path, problems, vietnamese=False):
    value = plist.get(key)
    if not isinstance(value, str) or not value.strip():
        problems.add(path, "%s is missing or empty" % key)
    elif vietnamese and not VIETNAMESE_LETTERS.search(value):
        problems.add(path, "%s is not written in Vietnamese" % key)


def check_app(path, version, problems):
    plist = load_plist(path, problems)
    if plist is None:
        return
    expect(plist, "CFBundleIdentifier", APP_ID, path, problems)
    expect(plist, "CFBundleExecutable", "Vanto", path, problems)
    expect(plist, "CFBundlePackageType", "APPL", path, problems)
    expect(plist, "CFBundleShortVersionString", version, path, problems)
    expect(plist, "LSUIElement", True, path, problems)
    expect(plist, "LSMinimumSystemVersion", "12.0", path, problems)
    expect_text(plist, "CFBundleName", path, problems)
    expect_text(plist, "CFBundleVersion", path, problems)
    expect_text(plist, "NSAccessibilityUsageDescription", path, problems, vietnamese=True)
    expect_text(plist, "NSAppleEventsUsageDescription", path, problems, vietnamese=True)


def check_layout_plist(path, version, problems):
    plist = load_plist(path, problems)
    if plist is None:
        return
    expect(plist, "CFBundleIdentifier", LAYOUT_BUNDLE_ID, path, problems)
    expect(plist, "CFBundlePackageType", "BNDL", path, problems)
    expect(plist, "CFBundleShortVersionString", version, path, problems)
    info = plist.get("KLInfo_" + LAYOUT_NAME)
    if not isinstance(info, dict):
        problems.add(path, "KLInfo_%s is missing" % LAYOUT_NAME)
        return
    expect(info, "TISInputSourceID", LAYOUT_SOURCE_ID, path, problems)
    expect(info, "TISIntendedLanguage", "vi", path, problems)


CHAR_REF = re.compile(r"&#x([0-9A-Fa-f]+);|&#([0-9]+);")


def parse_xml_1_1(text):
    """Parses a keyboard layout. Layouts are XML 1.1, which allows references
    to control characters; the parser here knows XML 1.0, so those references
    are checked and decoded first, and the declaration says 1.0."""
    declaration = '<?xml version="1.1" encoding="UTF-8"?>'
    if not text.startswith(declaration):
        raise ValueError("does not start with %s" % declaration)

    def placeholder(match):
        code = int(match.group(1), 16) if match.group(1) else int(match.group(2))
        if code == 0 or code > 0x10FFFF or 0xD800 <= code <= 0xDFFF:
            raise ValueError("invalid character reference %s" % match.group(0))
        return "&#x%X;" % code if code >= 0x20 and code != 0x7F else "\ue000%04X" % code

    text = '<?xml version="1.0" encoding="UTF-8"?>' + text[len(declaration):]
    text = CHAR_REF.sub(placeholder, text)
    return ET.fromstring(text.encode("utf-8"))


def decoded(value):
    return re.sub("\ue000([0-9A-F]{4})", lambda m: chr(int(m.group(1), 16)), value)


def check_keylayout(path, problems):
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    except (OSError, UnicodeDecodeError) as e:
        problems.add(path, "cannot be read (%s)" % e)
        return
    if text != make_keylayout.layout():
        problems.add(path, "differs from what tools/bundles/make_keylayout.py writes")
    try:
        root = parse_xml_1_1(text)
    except (ET.ParseError, ValueError) as e:
        problems.add(path, "not well-formed (%s)" % e)
        return
    if root.tag != "keyboard" or root.get("name") != LAYOUT_NAME:
        problems.add(path, "the root is not <keyboard name=\"%s\">" % LAYOUT_NAME)
    try:
        if int(root.get("id", "x")) >= 0 or int(root.get("maxout", "x")) < 1:
            problems.add(path, "a custom layout needs a negative id and a maxout")
    except ValueError:
        problems.add(path, "id and maxout must be numbers")
    maxout = int(root.get("maxout", "1")) if root.get("maxout", "").isdigit() else 1

    modifier_maps = {m.get("id"): m for m in root.iter("modifierMap")}
    key_map_sets = {s.get("id"): s for s in root.iter("keyMapSet")}
    layouts = root.findall("./layouts/layout")
    if not layouts or layouts[0].get("first") != "0":
        problems.add(path, "the first <layout> must start at keyboard type 0")
    for layout in layouts:
        modifiers = modifier_maps.get(layout.get("modifiers"))
        key_map_set = key_map_sets.get(layout.get("mapSet"))
        if modifiers is None or key_map_set is None:
            problems.add(path, "a <layout> names a missing modifierMap or keyMapSet")
            continue
        indexes = {k.get("index") for k in key_map_set.findall("keyMap")}
        for select in modifiers.findall("keyMapSelect"):
            if select.get("mapIndex") not in indexes:
                problems.add(path, "keyMapSelect %s has no keyMap" % select.get("mapIndex"))
        if modifiers.get("defaultIndex") not in indexes:
            problems.add(path, "the default keyMap is missing")
        for key_map in key_map_set.findall("keyMap"):
            seen = set()
            for key in key_map.findall("key"):
                code = key.get("code", "")
                if not code.isdigit() or int(code) > 127 or code in seen:
                    problems.add(path, "keyMap %s: bad or repeated key code %r"
                                 % (key_map.get("index"), code))
                seen.add(code)
                output = decoded(key.get("output", ""))
                if key.get("action") is None and not output:
                    problems.add(path, "key %s has neither output nor action" % code)
                if len(output.encode("utf-16-le")) // 2 > maxout:
                    problems.add(path, "key %s types more than maxout units" % code)
    # The letters where a US keyboard has them (Vanto reads key codes).
    base = {k.get("code"): decoded(k.get("output", ""))
            for s in key_map_sets.values() for m in s.findall("keyMap")
            if m.get("index") == "0" for k in m.findall("key")}
    for code, letter in {"0": "a", "12": "q", "6": "z", "45": "n", "49": " "}.items():
        if base.get(code) != letter:
            problems.add(path, "key code %s must type %r" % (code, letter))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--version-file", required=True)
    parser.add_argument("--app-plist", required=True)
    parser.add_argument("--layout-plist", required=True)
    parser.add_argument("--layout-bundle", required=True)
    args = parser.parse_args()

    problems = Problems()
    with open(args.version_file, encoding="utf-8") as f:
        version = f.readline().strip()
    if not re.fullmatch(r"[0-9]+(\.[0-9]+){1,2}", version):
        problems.add(args.version_file, "%r is not a version such as 1.2.3" % version)
    check_app(args.app_plist, version, problems)
    check_layout_plist(args.layout_plist, version, problems)
    resources = os.path.join(args.layout_bundle, "Contents", "Resources")
    check_keylayout(os.path.join(resources, LAYOUT_NAME + ".keylayout"), problems)

    for line in problems.lines:
        print(line)
    if problems.lines:
        return 1
    print("bundles ok: %s %s, %s with layout %s" % (APP_ID, version, LAYOUT_BUNDLE_ID,
                                                    LAYOUT_SOURCE_ID))
    return 0


if __name__ == "__main__":
    sys.exit(main())
