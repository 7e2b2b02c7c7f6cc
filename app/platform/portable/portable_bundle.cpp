#include "portable_bundle.h"

#include "pipeline/app_profile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
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

bool PortableInstanceLock::lockForLife(const fs::path& file) {
    std::error_code ignored;
    fs::create_directories(file.parent_path(), ignored);
    // Close-on-exec: a child must not inherit the descriptor and with it a
    // lock that would outlive this process.
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    int result;
    do result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    // The descriptor is never closed: closing it would drop the lock.
    return result == 0;
}

fs::path PortableInstanceLock::cachesFolder() {
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : "/";
    }
    return fs::path(home) / ".cache";
}

} // namespace vanto
