#include "portable_login_records.h"

#include "portable_files.h"

#include <cstring>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utmpx.h>

namespace vanto {

namespace {

// The fields are fixed-size arrays, NUL-terminated only when shorter.
template <std::size_t N> std::string field(const char (&text)[N]) {
    return std::string(text, strnlen(text, N));
}

// The database has one cursor per process.
std::mutex databaseMutex;

} // namespace

std::vector<LoginRecord> PortableLoginRecords::records() {
    std::lock_guard lock(databaseMutex);
    std::vector<LoginRecord> result;
    ::setutxent();
    while (const utmpx* entry = ::getutxent()) {
        result.push_back({entry->ut_type == USER_PROCESS, field(entry->ut_user),
                          field(entry->ut_line), static_cast<std::int64_t>(entry->ut_tv.tv_sec)});
    }
    ::endutxent();
    return result;
}

std::string PortableLoginRecords::currentUserName() {
    passwd entry{};
    passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) != 0 || !found) return {};
    return found->pw_name;
}

std::uint32_t PortableLoginRecords::currentUserID() {
    return ::getuid();
}

std::optional<std::int64_t>
PortableFileStatus::statusChangeTime(const std::filesystem::path& file) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0) return std::nullopt;
    return static_cast<std::int64_t>(status.st_ctime);
}

std::error_code PortableFileStatus::replaceFile(const std::filesystem::path& file,
                                                std::span<const std::uint8_t> bytes,
                                                unsigned mode) {
    return vanto::replaceFile(file, bytes, static_cast<mode_t>(mode));
}

std::error_code PortableFileStatus::makeFolders(const std::filesystem::path& folder,
                                                unsigned mode) {
    return vanto::makeFolders(folder, static_cast<mode_t>(mode));
}

} // namespace vanto
