// Port: the application bundle this program runs from.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vanto {

class AppBundle {
  public:
    virtual ~AppBundle() = default;
    // The bundle's identifier; nothing when it has none.
    virtual std::optional<std::string> identifier() = 0;
    // The bundle's main executable.
    virtual std::filesystem::path executablePath() = 0;
    // The folder of the resources shipped with the application.
    virtual std::filesystem::path resourcesFolder() = 0;
    // The release number users see ("0.1.0").
    virtual std::string shortVersion() = 0;
    // What the system's privacy settings know this build by: the code
    // signature's designated requirement. Two builds with the same identity
    // share an Accessibility permission; an ad-hoc signature's identity is
    // the build's own hash, so every build has a new one. Empty when the
    // program is not signed or the system cannot say.
    virtual std::string codeIdentity() { return {}; }
};

} // namespace vanto
