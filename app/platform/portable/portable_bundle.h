// The application bundle and the instance lock outside macOS.
//
// A build lays the program out as
//     <folder>/Vanto
//     <folder>/Resources/Vanto.bundle   (the keyboard-layout bundle)
// so the resources folder is "Resources" next to the executable, wherever
// the folder is moved.
#pragma once

#include "platform/bundle.h"
#include "platform/instance_lock.h"

namespace vanto {

class PortableAppBundle final : public AppBundle {
  public:
    // Always the application's own identifier: there is no bundle to lack one.
    std::optional<std::string> identifier() override;
    std::filesystem::path executablePath() override;
    std::filesystem::path resourcesFolder() override;
    // The build's version, from the VERSION file at the top of the sources.
    std::string shortVersion() override;
};

class PortableInstanceLock final : public InstanceLock {
  public:
    std::error_code lockForLife(const std::filesystem::path& file) override;
    std::filesystem::path userCachesFolder() override { return cachesFolder(); }

    // $XDG_CACHE_HOME when that is an absolute path, else ~/.cache; empty
    // without a home folder.
    static std::filesystem::path cachesFolder();
};

} // namespace vanto
