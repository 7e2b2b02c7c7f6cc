// Random streams of decoded key events through a Typist into an in-memory
// field. After every event the field must end with what the typist believes
// it wrote (lastTyped): otherwise its next deletions would hit the wrong text.
#include "pipeline/app_profile.h"
#include "pipeline/screen.h"
#include "pipeline/typist.h"
#include "settings/unicode.h"
#include "platform/portable/portable_platform.h"
#include "settings/settings.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

using namespace vanto;

namespace {

constexpr const char* kLetters[] = {"a", "e", "o", "u", "i", "y", "d", "w", "s", "f", "r", "x",
                                    "j", "z", "n", "g", "h", "t", "c", "A", "D", "W", "S", "O"};
constexpr const char* kSeparators[] = {" ", ".", ",", "!", "?", "-", "@", ":", "$", "\\",
                                       "^", ">", "(", "1", "\xe2\x80\x94", "\xf0\x9f\x98\x80"};
constexpr const char* kOthers[] = {"\xc3\xa9", "ab", "", "\xcc\x81"};
constexpr const char* kApps[] = {"com.apple.TextEdit", "com.apple.Terminal", "com.adobe.Photoshop",
                                 "com.vmware.fusion", "com.apple.Spotlight"};

struct World {
    World() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vanto-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        folder = pattern;
        defaults = std::make_unique<PortableUserDefaultsProvider>(folder);
        domain = defaults->suite("norbel.inputmethod.Vanto.fuzz");
        settings = std::make_unique<Settings>(*domain, notifications, plists, 1);
    }
    ~World() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::filesystem::path folder;
    std::unique_ptr<PortableUserDefaultsProvider> defaults;
    std::unique_ptr<UserDefaults> domain;
    PortableNotificationHub notifications;
    PortablePropertyLists plists;
    std::unique_ptr<Settings> settings;
};

World& world() {
    static World w;
    return w;
}

struct Input {
    const std::uint8_t* data;
    std::size_t size, at = 0;
    bool empty() const { return at >= size; }
    std::uint8_t byte() { return at < size ? data[at++] : 0; }
    template <class T, std::size_t N>
    const T& pick(const T (&items)[N]) { return items[byte() % N]; }
};

void require(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "typist_fuzz: %s\n", what.c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    World& w = world();
    Settings& settings = *w.settings;
    // Every input starts from the default options; a save costs a file
    // write, so only what an earlier input changed is put back.
    if (!settings.telex()) settings.setTelex(true);
    if (!settings.spellCheck()) settings.setSpellCheck(true);
    if (!settings.stdTone()) settings.setStdTone(true);
    if (settings.telexW()) settings.setTelexW(false);
    if (settings.telexZ()) settings.setTelexZ(false);
    if (settings.backspaceDeletesChar()) settings.setBackspaceDeletesChar(false);
    Screen screen;
    Typist typist(settings, screen);
    {
        std::lock_guard<std::mutex> guard(typist.lock);
        typist.isActive = true;
        typist.frontApp = AppProfile::make(kApps[0], {}, kOwnBundleID);
        typist.refreshApp();
    }
    Input in{data, size};
    while (!in.empty()) {
        const std::uint8_t op = in.byte() % 16;
        KeyEvent key{KeyEvent::Kind::keyDown, 50, "", 0};
        bool isKey = true;
        switch (op) {
        case 0: case 1: case 2: case 3: case 4: case 5:
            key.characters = in.pick(kLetters);
            if (key.characters.size() == 1 && key.characters[0] <= 'Z') key.flags = ModifierFlags::Shift;
            break;
        case 6: {
            const std::uint8_t d = in.byte() % 10;
            key.keyCode = KeyCode::Digits[d];
            key.characters = std::string(1, static_cast<char>('0' + d));
            break;
        }
        case 7:
            key.characters = in.pick(kSeparators);
            key.keyCode = key.characters == " " ? KeyCode::Space : 43;
            break;
        case 8: key.keyCode = KeyCode::Delete; key.characters = "\x7f"; break;
        case 9: key.keyCode = KeyCode::Escape; key.characters = "\x1b"; break;
        case 10:
            key.keyCode = in.byte() % 2 ? KeyCode::Return : KeyCode::Tab;
            key.characters = key.keyCode == KeyCode::Return ? "\r" : "\t";
            break;
        case 11:
            key.keyCode = KeyCode::LeftArrow + in.byte() % 2;
            key.flags = ModifierFlags::NumericPad | ModifierFlags::Function;
            screen.suggestion.clear();
            break;
        case 12:
            key.characters = in.pick(kOthers);
            key.flags = (in.byte() % 4) ? ModifierFlags::Command : 0;
            break;
        case 13:
            key.kind = KeyEvent::Kind::flagsChanged;
            key.keyCode = 56;
            key.flags = static_cast<std::uint64_t>(in.byte() % 32) << 16;
            break;
        case 14: { // a click, or focus moving to another application or overlay
            isKey = false;
            const std::uint8_t what = in.byte();
            std::lock_guard<std::mutex> guard(typist.lock);
            if (what % 3 == 0) {
                typist.caretMoved = true;
                if (typist.isActive && !typist.app().ignored) typist.reset();
                screen.suggestion.clear(); // moving the caret dismisses a completion
            } else {
                typist.reset();
                const char* app = kApps[what % std::size(kApps)];
                if (std::string_view(app) == "com.apple.Spotlight")
                    typist.overlay = AppProfile::make(app, {}, kOwnBundleID);
                else
                    typist.frontApp = AppProfile::make(app, {}, kOwnBundleID), typist.overlay.reset();
                typist.caretMoved = false;
                typist.refreshApp();
                // Only the search overlay completes inline, right after it opens.
                screen.suggestion = typist.app().suggestsInline && what % 2 ? u"ggestion" : u"";
            }
            break;
        }
        default: { // options change between keys
            isKey = false;
            const std::uint8_t bits = in.byte();
            settings.setTelex(bits & 1);
            settings.setSpellCheck(bits & 2);
            settings.setStdTone(bits & 4);
            settings.setTelexW(bits & 8);
            settings.setTelexZ(bits & 16);
            settings.setBackspaceDeletesChar(bits & 32);
            typist.applySettings();
            break;
        }
        }
        if (isKey && !typist.process(key, nullptr) && key.kind == KeyEvent::Kind::keyDown &&
            !(key.flags & (ModifierFlags::Command | ModifierFlags::Function)))
            screen.applyKey(key.keyCode, key.characters);
        const std::string shown = screen.text();
        const std::string& believed = typist.lastTyped();
        require(shown.size() >= believed.size() &&
                    shown.compare(shown.size() - believed.size(), believed.size(), believed) == 0,
                "field [" + shown + "] does not end with [" + believed + "]");
    }
    return 0;
}
