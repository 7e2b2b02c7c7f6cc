// Random streams of decoded key events through a Typist into in-memory
// fields, with the focus, the caret and unseen typing changing the field
// behind the keys' back the way the shell reports them. After every event
// the field must end with what the typist believes it wrote (lastTyped):
// otherwise its next deletions would hit the wrong text. And no synthetic
// Backspace may ever delete a character that was on screen before the
// tracked span began: that text is the user's.
#include "pipeline/app_profile.h"
#include "pipeline/screen.h"
#include "pipeline/typist.h"
#include "platform/portable/portable_platform.h"
#include "settings/settings.h"
#include "settings/unicode.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

using namespace vanto;

namespace {

constexpr const char* kLetters[] = {"a", "e", "o", "u", "i", "y", "d", "w", "s", "f", "r", "x",
                                    "j", "z", "n", "g", "h", "t", "c", "A", "D", "W", "S", "O"};
constexpr const char* kSeparators[] = {" ", ".", ",", "!", "?", "-", "@", ":", "$", "\\", "^", ">",
                                       "(", "1", "\xe2\x80\x94", "\xf0\x9f\x98\x80",
                                       // the two halves of a flag, a skin tone
                                       "\xf0\x9f\x87\xbb", "\xf0\x9f\x87\xb3", "\xf0\x9f\x8f\xbb"};
constexpr const char* kOthers[] = {"\xc3\xa9", "ab", "", "\xcc\x81"};
constexpr const char* kApps[] = {"com.apple.TextEdit", "com.apple.Terminal", "com.adobe.Photoshop",
                                 "com.vmware.fusion", "com.apple.Spotlight"};

struct World {
    World() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vanto-fuzz-XXXXXX").string();
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
    template <class T, std::size_t N> const T& pick(const T (&items)[N]) {
        return items[byte() % N];
    }
};

void require(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "typist_fuzz: %s\n", what.c_str());
        std::abort();
    }
}

std::size_t characters(const Screen& screen) {
    return graphemeCount(screen.text());
}

// The field in front and the one the focus left, with the number of
// characters at the start of the field in front that belong to no span:
// they were there before the typist last started tracking.
class Fields final : public KeyTyping {
  public:
    void type(std::string_view text, std::int64_t deleting, BeforeDeleting before) override {
        require(deleting < 1 || static_cast<std::int64_t>(characters(screen)) - deleting >=
                                    static_cast<std::int64_t>(floor),
                "a write deletes " + std::to_string(deleting) + " of [" + screen.text() +
                    "], whose first " + std::to_string(floor) + " are not the span's");
        screen.type(text, deleting, before);
    }
    // The focus goes to the other field, where nothing is tracked.
    void switchField() {
        std::swap(screen.units, other);
        screen.suggestion.clear();
        floor = characters(screen);
    }
    // What is on screen now is outside any span, unless the typist tracks
    // some of it.
    void settle(const Typist& typist) {
        if (typist.lastTyped().empty()) floor = characters(screen);
        floor = std::min(floor, characters(screen)); // the user may delete old text
    }

    Screen screen;
    std::u16string other;
    std::size_t floor = 0;
};

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
    if (settings.englishContext() != kEnglishContextDefault)
        settings.setEnglishContext(kEnglishContextDefault);
    Fields fields;
    Screen& screen = fields.screen;
    Typist typist(settings, fields);
    {
        std::lock_guard<std::mutex> guard(typist.lock);
        typist.isActive = true;
        typist.frontApp = AppProfile::make(kApps[0], {}, kOwnBundleID);
        typist.refreshApp();
    }
    Input in{data, size};
    while (!in.empty()) {
        const std::uint8_t op = in.byte() % 17;
        KeyEvent key{KeyEvent::Kind::keyDown, 50, "", 0};
        bool isKey = true;
        switch (op) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
            key.characters = in.pick(kLetters);
            if (key.characters.size() == 1 && key.characters[0] <= 'Z')
                key.flags = ModifierFlags::Shift;
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
        case 8:
            key.keyCode = KeyCode::Delete;
            key.characters = "\x7f";
            break;
        case 9:
            key.keyCode = KeyCode::Escape;
            key.characters = "\x1b";
            break;
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
                // As the tap reports a click.
                typist.caretMoved = true;
                typist.leaveField();
                screen.suggestion.clear(); // moving the caret dismisses a completion
            } else {
                // As the shell reports an activation or the overlay.
                typist.leaveField();
                const char* app = kApps[what % std::size(kApps)];
                if (std::string_view(app) == "com.apple.Spotlight")
                    typist.overlay = AppProfile::make(app, {}, kOwnBundleID);
                else
                    typist.frontApp = AppProfile::make(app, {}, kOwnBundleID),
                    typist.overlay.reset();
                typist.caretMoved = false;
                typist.refreshApp();
                fields.switchField();
                // Only the search overlay completes inline, right after it opens.
                screen.suggestion = typist.app().suggestsInline && what % 2 ? u"ggestion" : u"";
            }
            break;
        }
        case 15: { // secure input: keys the tap never sees, between two polls
            isKey = false;
            std::lock_guard<std::mutex> guard(typist.lock);
            typist.reset();
            for (std::uint8_t n = in.byte() % 4; n > 0; --n) screen.applyKey(50, in.pick(kLetters));
            if (in.byte() % 2) screen.applyKey(KeyCode::Delete, "");
            typist.reset();
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
            settings.setEnglishContext(bits & 64);
            typist.applySettings();
            break;
        }
        }
        if (isKey && !typist.process(key, nullptr) && key.kind == KeyEvent::Kind::keyDown &&
            !(key.flags & (ModifierFlags::Command | ModifierFlags::Function))) {
            screen.applyKey(key.keyCode, key.characters);
            // An Escape the application gets may close the field it was
            // typed in (a find bar) and give the focus back.
            if (key.keyCode == KeyCode::Escape && in.byte() % 2) fields.switchField();
        }
        fields.settle(typist);
        const std::string shown = screen.text();
        const std::string& believed = typist.lastTyped();
        require(shown.size() >= believed.size() &&
                    shown.compare(shown.size() - believed.size(), believed.size(), believed) == 0,
                "field [" + shown + "] does not end with [" + believed + "]");
    }
    return 0;
}
