// The macOS adapters wired into one Platform bundle. Plain C++: main
// includes it.
#pragma once

#include "platform/platform.h"

#include <memory>

namespace vanto::mac {

class MacPlatform {
  public:
    MacPlatform();
    ~MacPlatform();
    MacPlatform(const MacPlatform&) = delete;
    MacPlatform& operator=(const MacPlatform&) = delete;

    Platform& platform() { return *platform_; }

  private:
    struct Adapters;
    std::unique_ptr<Adapters> adapters_;
    std::unique_ptr<Platform> platform_;
};

} // namespace vanto::mac
