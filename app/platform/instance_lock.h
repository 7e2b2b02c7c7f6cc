// Port: the lock file that marks the one process of a kind per user.
#pragma once

#include <filesystem>
#include <system_error>

namespace vanto {

class InstanceLock {
  public:
    virtual ~InstanceLock() = default;
    // Opens file (creating its folder and the file, readable and writable by
    // the user only) and takes an exclusive advisory lock on it without
    // waiting. The file stays open until the process ends, so a lock taken
    // is released only by the process's end. No error when this process
    // holds it; std::errc::operation_would_block when another process does;
    // any other error when the file could not be made or locked.
    virtual std::error_code lockForLife(const std::filesystem::path& file) = 0;
    // The user's folder for caches, which may be emptied at any time; empty
    // when the user's home folder is unknown.
    virtual std::filesystem::path userCachesFolder() = 0;
};

} // namespace vanto
