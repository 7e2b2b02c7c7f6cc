// Port: file status the standard library does not report.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace vanto {

class FileStatus {
  public:
    virtual ~FileStatus() = default;
    // When the file's status last changed (its ctime), in whole seconds
    // since 1970; nothing when the file cannot be examined. Unlike the
    // modification time, a copy cannot carry this over from its original.
    virtual std::optional<std::int64_t> statusChangeTime(const std::filesystem::path& file) = 0;
};

} // namespace vanto
