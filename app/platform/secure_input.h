// Port: Secure Event Input, during which the system hands no keystroke to
// event taps (password fields, some terminals, the login window).
#pragma once

namespace vanto {

class SecureInput {
  public:
    virtual ~SecureInput() = default;
    // The process that holds secure input; 0 when none does or when the
    // system will not say.
    virtual int holderProcessID() = 0;
};

} // namespace vanto
