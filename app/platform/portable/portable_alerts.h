// Alerts on a terminal: the message, the explanation and the numbered
// buttons are printed, and the number typed back picks one.
#pragma once

#include "platform/alerts.h"

#include <cstdio>

namespace vanto {

class PortableAlerts final : public Alerts {
  public:
    explicit PortableAlerts(std::FILE* in = stdin, std::FILE* out = stdout) : in_(in), out_(out) {}
    // Asks again after an answer that names no button; the first button
    // when the input ends (no terminal, or nothing more typed).
    std::size_t run(const Alert& alert) override;

  private:
    std::FILE* in_;
    std::FILE* out_;
};

} // namespace vanto
