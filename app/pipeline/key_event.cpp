#include "key_event.h"

#include "settings/unicode.h"

namespace vanto {

std::optional<KeyEvent> decodeKeyEvent(KeyboardEvents& events, EventType type,
                                       PlatformEvent* event) {
    if (!event || (type != EventType::KeyDown && type != EventType::FlagsChanged))
        return std::nullopt;
    KeyEvent k;
    k.kind = type == EventType::KeyDown ? KeyEvent::Kind::keyDown : KeyEvent::Kind::flagsChanged;
    k.keyCode = events.integerField(event, EventField::KeyCode);
    k.flags = events.flags(event);
    if (k.kind == KeyEvent::Kind::keyDown)
        k.characters = fromUtf16(events.unicodeString(event, kKeyTextUnits));
    return k;
}

} // namespace vanto
