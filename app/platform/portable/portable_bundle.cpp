#include "portable_bundle.h"

#include "pipeline/app_profile.h"
#include "portable_files.h"
#include "settings/home_folder.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef VANTO_VERSION
#error "the build passes VANTO_VERSION"
#endif

namespace vanto {

namespace fs = std::filesystem;

std::optional<std::string> PortableAppBundle::identifier() {
    return std::string(kOwnBundleID);
}

fs::path PortableAppBundle::executablePath() {
    std::error_code error;
    return fs::read_symlink("/proc/self/exe", error);
}

fs::path PortableAppBundle::resourcesFolder() {
    return executablePath().parent_path() / "Resources";
}

std::string PortableAppBundle::shortVersion() {
    return VANTO_VERSION;
}

std::error_code PortableInstanceLock::lockForLife(const fs::path& file) {
    if (file.is_relative()) return std::make_error_code(std::errc::no_such_file_or_directory);
    // A folder that cannot be made shows in the open's error.
    makeFolders(file.parent_path(), 0700);
    // Close-on-exec: a child must not inherit the descriptor and with it a
    // lock that would outlive this process. Without blocking: something
    // other than a file at the path must not hang the agent.
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
    if (fd < 0) return {errno, std::generic_category()};
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const std::error_code error = S_ISREG(status.st_mode)
                                          ? std::error_code(errno, std::generic_category())
                                          : std::error_code(FileError::notRegular);
        ::close(fd);
        return error;
    }
    int result;
    do result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    // The descriptor is never closed: closing it would drop the lock.
    if (result != 0) return {errno, std::generic_category()};
    return {};
}

fs::path PortableInstanceLock::cachesFolder() {
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && xdg[0] == '/') return xdg;
    const fs::path home = homeFolder();
    if (home.empty()) return {};
    return home / ".cache";
}

} // namespace vanto
