// Port: facts about this process and its memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace vanto {

class ProcessInfo {
  public:
    virtual ~ProcessInfo() = default;
    virtual int processID() = 0;
    // Memory the process really occupies, in bytes (0 when unknown).
    virtual std::uint64_t physicalFootprint() = 0;
    // Asks the allocator to hand free memory back to the system.
    virtual void relieveMemoryPressure() = 0;

    // Held while the process does work the user is waiting for.
    class Activity {
      public:
        virtual ~Activity() = default; // the activity ends
    };
    // Keeps the system from napping the process and stretching its timers
    // while the result lives (idle sleep of the machine stays allowed).
    // Null where the system has no such thing.
    virtual std::unique_ptr<Activity> beginUserActivity(std::string_view reason) {
        (void)reason;
        return nullptr;
    }
};

} // namespace vanto
