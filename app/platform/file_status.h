// Port: what the standard library does not offer for files: the status
// change time, and replacing a file or making folders durably and with the
// permissions asked for, whatever the umask.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <system_error>

namespace vanto {

class FileStatus {
  public:
    virtual ~FileStatus() = default;
    // When the file's status last changed (its ctime), in whole seconds
    // since 1970; nothing when the file cannot be examined. Unlike the
    // modification time, a copy cannot carry this over from its original.
    virtual std::optional<std::int64_t> statusChangeTime(const std::filesystem::path& file) = 0;
    // Replaces file with bytes: a temporary file in the same folder takes
    // the bytes and mode, reaches the disk and is renamed over file, so that
    // a reader (or a crash) meets the old file or the new one, never a part.
    virtual std::error_code replaceFile(const std::filesystem::path& file,
                                        std::span<const std::uint8_t> bytes, unsigned mode) = 0;
    // Creates folder and its missing parents with mode; existing ones keep
    // theirs.
    virtual std::error_code makeFolders(const std::filesystem::path& folder, unsigned mode) = 0;
};

} // namespace vanto
