// Port: the Accessibility permission.
#pragma once

namespace vanto {

class Accessibility {
  public:
    virtual ~Accessibility() = default;
    // Whether the user allowed this process to observe and control the input.
    virtual bool isTrusted() = 0;
};

} // namespace vanto
