// Writing into the focused application: deletions, then new text, as
// synthetic keystrokes stamped with the process's private event source.
#pragma once

#include "platform/keyboard_events.h"

#include <cstdint>
#include <string_view>

namespace vanto {

// What to do before sending deletions.
enum class BeforeDeleting {
    nothing,
    invisibleCharacter, // type one invisible character first and delete one more
    forwardDelete,      // remove an inline suggestion after the caret first
};

// Where the pipeline's replacements go: the key sender in the agent, an
// in-memory screen in the self-test and the tests.
class KeyTyping {
  public:
    virtual ~KeyTyping() = default;
    // Deletes `deleting` characters before the caret (prepared as `before`
    // says when at least one is deleted), then types text.
    virtual void type(std::string_view text, std::int64_t deleting, BeforeDeleting before) = 0;

    // The tap proxy of the event being handled, null outside that time.
    TapProxy* proxy = nullptr;
    // Post at the hardware-event level even while a proxy is set.
    bool directPostTap = false;
};

class KeySender final : public KeyTyping {
  public:
    explicit KeySender(KeyboardEvents& events);
    void type(std::string_view text, std::int64_t deleting, BeforeDeleting before) override;

    // The identifier the event tap recognises Vanto's own events by.
    std::int64_t ownSourceStateID() const { return ownSourceStateID_; }

  private:
    struct Keystroke {
        OwnedEvent down, up;
    };
    const Keystroke& prepared(Keystroke& slot, std::uint16_t keyCode, char16_t unit,
                              std::uint64_t extraFlags);
    OwnedEvent makeEvent(std::uint16_t keyCode, bool down, char16_t unit);
    void post(const Keystroke& k);
    void postText(char16_t unit);

    KeyboardEvents& events_;
    std::int64_t ownSourceStateID_;
    Keystroke space_, back_, forward_;
};

} // namespace vanto
