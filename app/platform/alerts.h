// Port: modal alerts — a message, an explanation and a row of buttons.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vanto {

struct Alert {
    enum class Style { informational, critical };
    Style style = Style::informational;
    std::string message;
    std::string informativeText;
    std::vector<std::string> buttons; // in the order added; the first is the default
};

class Alerts {
  public:
    virtual ~Alerts() = default;
    // Shows the alert above other windows, bringing this application to the
    // front, and waits for the user. The index of the chosen button in
    // alert.buttons (0 for the first, and 0 when there are none).
    virtual std::size_t run(const Alert& alert) = 0;
};

} // namespace vanto
