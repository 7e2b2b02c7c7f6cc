// Process facts on POSIX systems.
#pragma once

#include "platform/accessibility.h"
#include "platform/process_info.h"

namespace vanto {

class PortableProcessInfo final : public ProcessInfo {
  public:
    int processID() override;
    // The private dirty memory of the process (what it alone has written),
    // from /proc/self/smaps_rollup; the resident set where that is missing.
    std::uint64_t physicalFootprint() override;
    void relieveMemoryPressure() override;
};

// There is no permission to ask for outside macOS: the portable event tap
// only sees what the process feeds it.
class PortableAccessibility final : public Accessibility {
  public:
    bool isTrusted() override { return true; }
};

} // namespace vanto
