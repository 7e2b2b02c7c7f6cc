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
};

} // namespace vanto
