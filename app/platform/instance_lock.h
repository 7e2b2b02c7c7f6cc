// Port: the lock file that marks the one process of a kind per user.
#pragma once

#include <filesystem>

namespace vanto {

class InstanceLock {
  public:
    virtual ~InstanceLock() = default;
    // Opens file (creating its folder and the file, readable and writable by
    // the user only) and takes an exclusive advisory lock on it without
    // waiting. The file stays open until the process ends, so a lock taken
    // is released only by the process's end. True when this process holds it.
    virtual bool lockForLife(const std::filesystem::path& file) = 0;
    // The user's folder for caches, which may be emptied at any time.
    virtual std::filesystem::path userCachesFolder() = 0;
};

} // namespace vanto
