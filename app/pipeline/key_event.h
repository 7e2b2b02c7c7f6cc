// One decoded keyboard event and the modifier bits it carries.
#pragma once

#include "platform/keyboard_events.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vanto {

// Modifier bits, with the window system's values.
namespace ModifierFlags {
constexpr std::uint64_t CapsLock = 0x10000;
constexpr std::uint64_t Shift = 0x20000;
constexpr std::uint64_t Control = 0x40000;
constexpr std::uint64_t Option = 0x80000;
constexpr std::uint64_t Command = 0x100000;
constexpr std::uint64_t NumericPad = 0x200000;
constexpr std::uint64_t Help = 0x400000;
constexpr std::uint64_t Function = 0x800000;
} // namespace ModifierFlags

// Virtual key codes the pipeline knows by name.
namespace KeyCode {
constexpr std::int64_t Return = 36;
constexpr std::int64_t Tab = 48;
constexpr std::int64_t Space = 49;
constexpr std::int64_t Delete = 51; // Backspace
constexpr std::int64_t Escape = 53;
constexpr std::int64_t KeypadEnter = 76;
constexpr std::int64_t Home = 115;
constexpr std::int64_t ForwardDelete = 117;
constexpr std::int64_t End = 119;
constexpr std::int64_t LeftArrow = 123;
constexpr std::int64_t RightArrow = 124;
constexpr std::int64_t Globe = 179;
// The number-row keys, indexed by the digit they type.
constexpr std::int64_t Digits[10] = {29, 18, 19, 20, 21, 23, 22, 26, 28, 25};
} // namespace KeyCode

struct KeyEvent {
    enum class Kind { keyDown, flagsChanged };
    Kind kind;
    std::int64_t keyCode;
    std::string characters; // UTF-8; empty for flagsChanged
    std::uint64_t flags;
};

// The text of a key-down is read into this many UTF-16 units at most.
constexpr std::size_t kKeyTextUnits = 8;

// Decodes a key-down or modifier change; nothing for any other event type.
std::optional<KeyEvent> decodeKeyEvent(KeyboardEvents& events, EventType type, PlatformEvent* event);

} // namespace vanto
