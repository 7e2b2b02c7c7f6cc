// The keystrokes the key sender posts for one request.
#include "pipeline/key_event.h"
#include "pipeline/key_sender.h"
#include "platform/portable/portable_events.h"

#include <gtest/gtest.h>

namespace vanto {
namespace {

// One posted event, written as "<down|up> <key code> <text> [fn] [proxy]".
std::string describe(const PortableKeyboardEvents::Posted& p) {
    std::string s = p.event.type == EventType::KeyDown ? "down " : "up ";
    s += std::to_string(p.event.keyCode);
    for (char16_t u : p.event.text) s += " U+" + std::to_string(u);
    if (p.event.flags & ModifierFlags::Function) s += " fn";
    if (p.throughProxy) s += " proxy";
    return s;
}

std::vector<std::string> sent(PortableKeyboardEvents& events, KeySender& sender,
                              std::string_view text, std::int64_t deleting, BeforeDeleting before) {
    sender.type(text, deleting, before);
    std::vector<std::string> out;
    for (const auto& p : events.takePosted()) {
        // Every event is Vanto's own and claims a built-in keyboard.
        EXPECT_EQ(p.event.sourceStateID, events.privateSourceStateID());
        EXPECT_EQ(p.event.keyboardType, 40);
        out.push_back(describe(p));
    }
    return out;
}

using Lines = std::vector<std::string>;

TEST(KeySender, RequestsBecomeKeystrokes) {
    struct Case {
        const char* name;
        std::string text;
        std::int64_t deleting;
        BeforeDeleting before;
        Lines expected;
    };
    const Case cases[] = {
        {"nothing to do", "", 0, BeforeDeleting::forwardDelete, {}},
        {"preparation needs a deletion",
         "a",
         0,
         BeforeDeleting::invisibleCharacter,
         {"down 0 U+97", "up 0 U+97"}},
        {"invisible character, deleted too",
         "\xc3\xa2",
         1,
         BeforeDeleting::invisibleCharacter,
         {"down 49 U+8236", "up 49 U+8236", "down 51 U+8", "up 51 U+8", "down 51 U+8", "up 51 U+8",
          "down 0 U+226", "up 0 U+226"}},
        {"forward delete first",
         "x",
         2,
         BeforeDeleting::forwardDelete,
         {"down 117 U+63272 fn", "up 117 U+63272 fn", "down 51 U+8", "up 51 U+8", "down 51 U+8",
          "up 51 U+8", "down 0 U+120", "up 0 U+120"}},
        {"a character beyond the BMP is two units",
         "\xf0\x9f\x98\x80",
         0,
         BeforeDeleting::nothing,
         {"down 0 U+55357", "up 0 U+55357", "down 0 U+56832", "up 0 U+56832"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PortableKeyboardEvents events;
        KeySender sender(events);
        EXPECT_EQ(sent(events, sender, c.text, c.deleting, c.before), c.expected);
        // The prepared keystrokes are reused, not rebuilt: the same again.
        EXPECT_EQ(sent(events, sender, c.text, c.deleting, c.before), c.expected);
    }
}

TEST(KeySender, PostsThroughTheProxyUnlessDirect) {
    PortableKeyboardEvents events;
    KeySender sender(events);
    int proxyObject = 0;
    sender.proxy = reinterpret_cast<TapProxy*>(&proxyObject);
    EXPECT_EQ(
        sent(events, sender, "a", 1, BeforeDeleting::nothing),
        (Lines{"down 51 U+8 proxy", "up 51 U+8 proxy", "down 0 U+97 proxy", "up 0 U+97 proxy"}));
    sender.directPostTap = true;
    EXPECT_EQ(sent(events, sender, "a", 0, BeforeDeleting::nothing),
              (Lines{"down 0 U+97", "up 0 U+97"}));
}

} // namespace
} // namespace vanto
