#include "screen.h"

#include "key_event.h"
#include "settings/unicode.h"

namespace vanto {

void Screen::backspace() {
    // A Backspace takes a selected completion away before any character, and
    // a character as the user sees it, surrogate pairs and marks included.
    if (!suggestion.empty())
        suggestion.clear();
    else if (!units.empty())
        units = toUtf16(dropLastGraphemes(fromUtf16(units), 1));
}

void Screen::type(std::string_view text, std::int64_t deleting, BeforeDeleting before) {
    if (deleting >= 1) {
        lastBefore = before;
        if (before == BeforeDeleting::invisibleCharacter) {
            units += char16_t{0x202C};
            backspace();
        } else if (before == BeforeDeleting::forwardDelete) {
            suggestion.clear();
        }
        for (std::int64_t i = 0; i < deleting; ++i) backspace();
    }
    units += toUtf16(text);
    suggestion.clear();
}

void Screen::applyKey(std::int64_t keyCode, std::string_view characters) {
    if (keyCode == KeyCode::Escape) return;
    if (keyCode == KeyCode::Delete) {
        backspace();
        return;
    }
    units += toUtf16(characters);
}

std::string Screen::text() const { return fromUtf16(units); }

} // namespace vanto
