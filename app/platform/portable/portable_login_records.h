// The login records database and file status through POSIX.
#pragma once

#include "platform/file_status.h"
#include "platform/login_records.h"

namespace vanto {

// Graphical logins on Linux are recorded on lines such as ":0" or "tty2",
// never "console", so nothing here reads as a graphical login: there is no
// input menu that would wait for the next one.
class PortableLoginRecords final : public LoginRecords {
  public:
    std::vector<LoginRecord> records() override;
    std::string currentUserName() override;
    std::uint32_t currentUserID() override;
};

class PortableFileStatus final : public FileStatus {
  public:
    std::optional<std::int64_t> statusChangeTime(const std::filesystem::path& file) override;
    std::error_code replaceFile(const std::filesystem::path& file,
                                std::span<const std::uint8_t> bytes, unsigned mode) override;
    std::error_code makeFolders(const std::filesystem::path& folder, unsigned mode) override;
};

} // namespace vanto
