// Port: this process as an Accessibility client — watching where the keyboard
// focus goes inside another application, and asking for the permission.
#pragma once

#include <functional>
#include <memory>

namespace vanto {

class AccessibilityClient {
  public:
    // Observation lasts as long as this object; destroying it stops it.
    class Observation {
      public:
        virtual ~Observation() = default;
    };

    // Called on the main loop.
    struct FocusHandlers {
        // The focused element of the application changed; whether the new
        // one is a text field (an element whose role cannot be read is not).
        std::function<void(bool isTextField)> focusChanged;
        // The application was hidden.
        std::function<void()> hidden;
    };

    virtual ~AccessibilityClient() = default;
    // Observes the focus inside the application with that process
    // identifier. Null when the system refuses (no permission, no such
    // process, or the focus notification cannot be registered).
    virtual std::unique_ptr<Observation> observeFocus(int processID, FocusHandlers handlers) = 0;
    // Asks the system to show its own dialog granting the permission.
    virtual void promptForTrust() = 0;
};

} // namespace vanto
