#include "key_sender.h"

#include "key_event.h"
#include "settings/unicode.h"

namespace vanto {

namespace {

// The keyboard type of a built-in keyboard; some applications ignore events
// of an unknown keyboard.
constexpr std::int64_t kKeyboardType = 40;
// An invisible formatting character: typing it and deleting it again makes
// applications that autocomplete let go of their completion.
constexpr char16_t kInvisibleCharacter = 0x202C;
constexpr char16_t kBackspaceUnit = 0x0008;
constexpr char16_t kForwardDeleteUnit = 0xF728;
constexpr std::uint16_t kTextKeyCode = 0;

} // namespace

KeySender::KeySender(KeyboardEvents& events)
    : events_(events), ownSourceStateID_(events.privateSourceStateID()) {}

OwnedEvent KeySender::makeEvent(std::uint16_t keyCode, bool down, char16_t unit) {
    OwnedEvent e(events_, events_.createKeyEvent(keyCode, down));
    if (!e) return e;
    events_.setUnicodeString(e.get(), std::u16string_view(&unit, 1));
    events_.setIntegerField(e.get(), EventField::KeyboardType, kKeyboardType);
    return e;
}

const KeySender::Keystroke& KeySender::prepared(Keystroke& slot, std::uint16_t keyCode,
                                                char16_t unit, std::uint64_t extraFlags) {
    if (!slot.down || !slot.up) {
        slot.down = makeEvent(keyCode, true, unit);
        slot.up = makeEvent(keyCode, false, unit);
        for (PlatformEvent* e : {slot.down.get(), slot.up.get()})
            if (e && extraFlags) events_.setFlags(e, events_.flags(e) | extraFlags);
    }
    return slot;
}

void KeySender::post(const Keystroke& k) {
    // An event the system would not create is skipped: losing one keystroke
    // beats losing the agent and every word after it.
    TapProxy* through = directPostTap ? nullptr : proxy;
    if (k.down) events_.post(k.down.get(), through);
    if (k.up) events_.post(k.up.get(), through);
}

void KeySender::type(std::string_view text, std::int64_t deleting, BeforeDeleting before) {
    std::int64_t n = deleting;
    if (n >= 1) {
        if (before == BeforeDeleting::invisibleCharacter) {
            post(prepared(space_, KeyCode::Space, kInvisibleCharacter, 0));
            ++n;
        } else if (before == BeforeDeleting::forwardDelete) {
            post(prepared(forward_, KeyCode::ForwardDelete, kForwardDeleteUnit,
                          ModifierFlags::Function));
        }
        const Keystroke& back = prepared(back_, KeyCode::Delete, kBackspaceUnit, 0);
        for (std::int64_t i = 0; i < n; ++i) post(back);
    }
    // One key pair per UTF-16 unit: characters beyond the Basic Multilingual
    // Plane travel as their two surrogates. Converted as it goes, so that a
    // write allocates no text buffer.
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = nextScalar(text, i);
        if (c >= 0x10000) {
            postText(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            postText(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            postText(static_cast<char16_t>(c));
        }
    }
}

void KeySender::postText(char16_t unit) {
    Keystroke k{makeEvent(kTextKeyCode, true, unit), makeEvent(kTextKeyCode, false, unit)};
    post(k);
}

} // namespace vanto
