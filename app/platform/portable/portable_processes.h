// Child processes through posix_spawn.
#pragma once

#include "platform/processes.h"

#include <mutex>

namespace vanto {

// The system programs that exist only on macOS ("/bin/launchctl",
// "/usr/bin/killall" for the input-menu agent) are stood in for: such a call
// is recorded and nothing runs. Elsewhere a program of that path may be
// another one, or do something else (the killall of Linux ends processes by
// other rules). The call answers as a program that could not be started, so
// that the installer says plainly that no launchd loaded the agent instead
// of waiting for a job no launchd will ever list.
class PortableProcesses final : public Processes {
  public:
    struct StoodIn {
        std::filesystem::path executable;
        std::vector<std::string> arguments;
        bool operator==(const StoodIn&) const = default;
    };

    std::unique_ptr<ChildProcess> launch(const std::filesystem::path& executable,
                                         const std::vector<std::string>& arguments) override;
    std::optional<int> run(const std::filesystem::path& executable,
                           const std::vector<std::string>& arguments, Quiet quiet) override;
    // From /proc/self/exe, so it holds however the program was started.
    std::filesystem::path executablePath() override;

    // The calls of macOS programs that ran nothing, oldest first.
    std::vector<StoodIn> stoodIn() const;

  private:
    mutable std::mutex mutex_; // guards stoodIn_
    std::vector<StoodIn> stoodIn_;
};

} // namespace vanto
