#include "key_feed.h"

#include "pipeline/screen.h"
#include "pipeline/typist.h"
#include "settings/unicode.h"

#include <mutex>
#include <string>

namespace vanto {

namespace {
constexpr std::uint16_t kNeutralKeyCode = 50;
} // namespace

std::uint16_t keyCodeForCharacter(std::string_view c, bool literal) {
    if (!literal && c == "<") return KeyCode::Delete;
    if (!literal && c == "~") return KeyCode::Escape;
    if (c == " ") return KeyCode::Space;
    if (c.size() == 1 && c[0] >= '0' && c[0] <= '9') return static_cast<std::uint16_t>(KeyCode::Digits[c[0] - '0']);
    return kNeutralKeyCode;
}

OwnedEvent makeKeyDown(KeyboardEvents& events, std::string_view c, bool literal) {
    const std::uint16_t code = keyCodeForCharacter(c, literal);
    OwnedEvent e(events, events.createKeyEvent(code, true));
    if (!e) return e;
    const std::string_view text = code == KeyCode::Escape   ? std::string_view("\x1b")
                                  : code == KeyCode::Delete ? std::string_view("\x7f")
                                                            : c;
    events.setUnicodeString(e.get(), toUtf16(text));
    const bool upper = c.size() == 1 && c[0] >= 'A' && c[0] <= 'Z';
    events.setFlags(e.get(), upper ? ModifierFlags::Shift : 0);
    return e;
}

bool feedKeyEvent(KeyboardEvents& events, Typist& typist, Screen* screen, PlatformEvent* event,
                  bool gated) {
    const auto key = decodeKeyEvent(events, EventType::KeyDown, event);
    if (!key) return false;
    bool swallowed;
    if (gated) {
        swallowed = typist.process(*key, nullptr);
    } else {
        std::lock_guard<std::mutex> guard(typist.lock);
        swallowed = typist.handle(*key);
    }
    if (!swallowed && screen) screen->applyKey(key->keyCode, key->characters);
    return swallowed;
}

void feedText(KeyboardEvents& events, Typist& typist, Screen* screen, std::string_view text,
              bool gated, bool literal) {
    for (std::string_view c : graphemes(text)) {
        OwnedEvent e = makeKeyDown(events, c, literal);
        if (e) feedKeyEvent(events, typist, screen, e.get(), gated);
    }
}

} // namespace vanto
