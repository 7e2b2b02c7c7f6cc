// Feeding characters to the pipeline as key events, the way a keyboard
// would: shared by the self-test, the terminal typing tool and the tests.
#pragma once

#include "pipeline/key_event.h"
#include "platform/keyboard_events.h"

#include <cstdint>
#include <string_view>

namespace vanto {

class Typist;
class Screen;

// The key code for one character of a typed script: "<" Backspace, "~"
// Escape, space, the number-row digits, and one neutral key for the rest
// (the character itself travels as the event's text). With literal on, "<"
// and "~" are ordinary characters.
std::uint16_t keyCodeForCharacter(std::string_view c, bool literal = false);

// A key-down for one character, with Shift for an upper-case ASCII letter;
// Escape and Backspace carry their control characters.
OwnedEvent makeKeyDown(KeyboardEvents& events, std::string_view c, bool literal = false);

// Decodes the event and hands it to the typist under its lock: through
// process (gated by activity and profile) when gated, else through handle.
// A key the typist let through is applied to screen, if given.
// Returns whether the typist swallowed the key.
bool feedKeyEvent(KeyboardEvents& events, Typist& typist, Screen* screen, PlatformEvent* event,
                  bool gated = false);

// feedKeyEvent for every character (grapheme cluster) of text.
void feedText(KeyboardEvents& events, Typist& typist, Screen* screen, std::string_view text,
              bool gated = false, bool literal = false);

} // namespace vanto
