// Port: scripting other applications — here, asking a browser for the
// address of the page in front.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace vanto {

// Used from one worker thread at a time, never from the typing path.
class BrowserScripting {
  public:
    // A compiled script, run as often as needed.
    class Script {
      public:
        virtual ~Script() = default;
        // The script's answer as text; nothing when it fails (the target is
        // not running, refuses automation, has no window) or answers
        // something that is not text.
        virtual std::optional<std::string> run() = 0;
    };

    virtual ~BrowserScripting() = default;
    // Null when the source does not compile.
    virtual std::unique_ptr<Script> compile(const std::string& source) = 0;
};

} // namespace vanto
