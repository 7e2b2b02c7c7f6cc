#!/usr/bin/env python3
"""The bundle checks must notice each kind of broken bundle: a checker that
passes everything would let a wrong identifier or a layout macOS rejects
reach users unnoticed.

    python3 tools/bundles/test_check_bundles.py
"""
import os
import re
import shutil
import tempfile
import unittest

import check_bundles
import make_keylayout

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
RESOURCES = os.path.join(ROOT, "app", "resources")
VERSION = "1.2.3"


def configured(template):
    with open(template, encoding="utf-8") as f:
        return f.read().replace("@VANTO_VERSION@", VERSION)


class BundleChecks(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.folder)
        self.app = configured(os.path.join(RESOURCES, "Info.plist.in"))
        self.layout_plist = configured(
            os.path.join(RESOURCES, "Vanto.bundle", "Contents", "Info.plist.in"))
        self.keylayout = make_keylayout.layout()

    def problems(self):
        paths = {}
        for name, text in (("app.plist", self.app), ("layout.plist", self.layout_plist),
                           ("Vanto.keylayout", self.keylayout)):
            paths[name] = os.path.join(self.folder, name)
            with open(paths[name], "w", encoding="utf-8", newline="\n") as f:
                f.write(text)
        found = check_bundles.Problems()
        check_bundles.check_app(paths["app.plist"], VERSION, found)
        check_bundles.check_layout_plist(paths["layout.plist"], VERSION, found)
        # The committed-file comparison is not the point here.
        real_layout = make_keylayout.layout
        make_keylayout.layout = lambda: self.keylayout
        try:
            check_bundles.check_keylayout(paths["Vanto.keylayout"], found)
        finally:
            make_keylayout.layout = real_layout
        return "\n".join(found.lines)

    def test_shipped_bundles_pass(self):
        self.assertEqual(self.problems(), "")

    def test_each_fault_is_reported(self):
        faults = [
            ("app", "norbel.inputmethod.Vanto", "norbel.inputmethod.vanto", "CFBundleIdentifier"),
            ("app", "<key>LSUIElement</key>\n\t<true/>", "<key>LSUIElement</key>\n\t<false/>",
             "LSUIElement"),
            ("app", re.compile(r"(?<=<key>NSAppleEventsUsageDescription</key>\n\t<string>)[^<]*"),
             "Vanto asks browsers for the address of the page", "not written in Vietnamese"),
            ("app", "<string>%s</string>" % VERSION, "<string>0.0.1</string>",
             "CFBundleShortVersionString"),
            ("app", "</dict>\n</plist>", "</plist>", "malformed"),
            ("layout_plist", "norbel.keyboardlayout.Vanto</string>",
             "norbel.keyboardlayout.vanto</string>", "CFBundleIdentifier"),
            ("layout_plist", "KLInfo_Vanto", "KLInfo_Other", "KLInfo_Vanto is missing"),
            ("layout_plist", "<string>vi</string>\n\t</dict>", "<string>en</string>\n\t</dict>",
             "TISIntendedLanguage"),
            ("keylayout", 'code="0" output="a"', 'code="0" output="ab"', "more than maxout"),
            ("keylayout", 'code="0" output="a"', 'code="0" output="q"', "key code 0 must type"),
            ("keylayout", 'code="1" output="s"', 'code="0" output="s"', "repeated key code"),
            ("keylayout", "&#x0008;", "&#x0000;", "invalid character reference"),
            ("keylayout", '<keyMapSelect mapIndex="3">', '<keyMapSelect mapIndex="9">',
             "keyMapSelect 9 has no keyMap"),
            ("keylayout", 'id="-24519"', 'id="24519"', "negative id"),
            ("keylayout", "<keyboard ", "<keyboard<", "not well-formed"),
        ]
        for field, old, new, expected in faults:
            with self.subTest(field=field, change=new):
                self.setUp()
                text = getattr(self, field)
                if isinstance(old, re.Pattern):
                    self.assertRegex(text, old)
                    setattr(self, field, old.sub(new, text, 1))
                else:
                    self.assertIn(old, text)
                    setattr(self, field, text.replace(old, new, 1))
                self.assertIn(expected, self.problems())


if __name__ == "__main__":
    unittest.main()
