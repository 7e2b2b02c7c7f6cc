#include "agent_loader.h"

#include <algorithm>
#include <system_error>

namespace vanto {

namespace {

constexpr const char* kLoginItemsAdvice =
    "is Vanto switched off in System Settings > General > Login Items > Allow in the "
    "Background? Switch it on and run install again";

// launchctl exits with the errno of the failure ("5: Input/output error").
std::string statusText(const std::optional<int>& status) {
    if (!status) return "did not finish";
    return "answered " + std::to_string(*status) + ": " + std::generic_category().message(*status);
}

std::string seconds(double value) {
    return std::to_string(static_cast<int>(value)) + " seconds";
}

} // namespace

AgentLoader::AgentLoader(Processes& processes, std::uint32_t userID, Sleep sleep)
    : processes_(processes), domain_("gui/" + std::to_string(userID)), sleep_(std::move(sleep)) {}

std::string AgentLoader::service() const {
    return domain_ + "/" + std::string(kAgentLabel);
}

std::optional<int> AgentLoader::launchctl(const std::vector<std::string>& arguments) {
    return processes_.run(kLaunchctl, arguments, Processes::Quiet{.output = true, .error = true});
}

bool AgentLoader::listed() {
    return launchctl({"print", service()}) == 0;
}

std::variant<AgentLoader::Outcome, StepError>
AgentLoader::load(const std::filesystem::path& plist) {
    // A bootout of a job that is not loaded fails, which is fine; one that
    // cannot even start means there is no launchd here.
    if (!launchctl({"bootout", service()})) return Outcome::unavailable;

    double waited = 0;
    for (double pause = kFirstPoll; listed(); pause = std::min(2 * pause, kLongestPoll)) {
        if (waited >= kUnloadTimeout)
            return StepError{"stopping the running agent " + service() +
                             ": launchctl still lists it after " + seconds(kUnloadTimeout) +
                             " (log out and in, then run install again)"};
        sleep_(pause);
        waited += pause;
    }

    std::optional<int> status;
    double pause = kFirstRetryPause;
    for (int attempt = 1;; ++attempt, pause *= 2) {
        status = launchctl({"bootstrap", domain_, plist.string()});
        if (status == 0 || attempt == kBootstrapTries) break;
        sleep_(pause);
    }
    if (status != 0)
        return StepError{"loading the login agent " + plist.string() + ": launchctl bootstrap " +
                         statusText(status) + " " + std::to_string(kBootstrapTries) + " times (" +
                         kLoginItemsAdvice + ")"};

    if (!listed())
        return StepError{"checking the login agent " + service() +
                         ": launchctl does not list it after loading (" + kLoginItemsAdvice + ")"};
    return Outcome::loaded;
}

} // namespace vanto
