// Child processes through posix_spawn.
#pragma once

#include "platform/processes.h"

namespace vanto {

class PortableProcesses final : public Processes {
  public:
    std::unique_ptr<ChildProcess> launch(const std::filesystem::path& executable,
                                         const std::vector<std::string>& arguments) override;
    std::optional<int> run(const std::filesystem::path& executable,
                           const std::vector<std::string>& arguments, Quiet quiet) override;
    // From /proc/self/exe, so it holds however the program was started.
    std::filesystem::path executablePath() override;
};

} // namespace vanto
