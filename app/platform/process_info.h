// Port: facts about this process and its memory.
#pragma once

#include <cstdint>

namespace vanto {

class ProcessInfo {
  public:
    virtual ~ProcessInfo() = default;
    virtual int processID() = 0;
    // Memory the process really occupies, in bytes (0 when unknown).
    virtual std::uint64_t physicalFootprint() = 0;
    // Asks the allocator to hand free memory back to the system.
    virtual void relieveMemoryPressure() = 0;
};

} // namespace vanto
