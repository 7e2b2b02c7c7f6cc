// Loading the login agent into launchd so that it runs, and saying why not.
//
// launchd needs time after a bootout: for several seconds a bootstrap of
// the same label fails with "5: Input/output error". The same error comes
// when the user switched Vanto off under Login Items › Allow in the
// Background. So the loader waits until the old job is gone, retries a
// failed bootstrap with growing pauses, and checks at the end that launchd
// lists the job — every wait bounded.
#pragma once

#include "platform/processes.h"
#include "setup/installer.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vanto {

class AgentLoader {
  public:
    // Pauses the calling thread; tests pass one that only records.
    using Sleep = std::function<void(double seconds)>;

    static constexpr const char* kLaunchctl = "/bin/launchctl";
    // How long a booted-out job may take to leave.
    static constexpr double kUnloadTimeout = 10.0;
    static constexpr double kFirstPoll = 0.1;
    static constexpr double kLongestPoll = 1.0;
    static constexpr int kBootstrapTries = 5;
    static constexpr double kFirstRetryPause = 0.5;

    enum class Outcome {
        loaded,      // launchd lists the job
        unavailable, // launchctl cannot run on this system: nothing loaded
    };

    AgentLoader(Processes& processes, std::uint32_t userID, Sleep sleep);

    // Replaces the loaded job (if any) with the one the property list
    // describes. A failure names the step and what the user can do.
    std::variant<Outcome, StepError> load(const std::filesystem::path& plist);

    // "gui/<uid>/<label>".
    std::string service() const;

  private:
    std::optional<int> launchctl(const std::vector<std::string>& arguments);
    bool listed();

    Processes& processes_;
    const std::string domain_;
    Sleep sleep_;
};

} // namespace vanto
