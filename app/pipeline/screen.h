// An in-memory model of the focused text field: the self-test and the tests
// type into it through the same KeyTyping requests the key sender posts.
#pragma once

#include "key_sender.h"

#include <string>

namespace vanto {

class Screen final : public KeyTyping {
  public:
    void type(std::string_view text, std::int64_t deleting, BeforeDeleting before) override;

    // A key the application received itself: Backspace removes the
    // suggestion or one unit, Escape nothing, anything else types its text.
    void applyKey(std::int64_t keyCode, std::string_view characters);

    std::string text() const;
    std::u16string units;
    std::u16string suggestion; // an inline completion shown selected after the caret
    BeforeDeleting lastBefore = BeforeDeleting::nothing;

  private:
    void backspace();
};

} // namespace vanto
