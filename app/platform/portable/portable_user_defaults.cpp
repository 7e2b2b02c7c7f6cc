#include "portable_user_defaults.h"

#include "pipeline/app_profile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vanto {

namespace fs = std::filesystem;

namespace {

// A settings file is a few hundred bytes; anything this large is not ours.
constexpr std::size_t kMaxFileSize = 16 << 20;

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { close(); }
    int get() const { return fd_; }
    // The result of close(2): a write error may only show up here.
    bool close() {
        const bool ok = fd_ < 0 || ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }

  private:
    int fd_;
};

// Holds the folder's advisory lock, which serialises the read-modify-write
// of every domain in it across objects and processes.
class FolderLock {
  public:
    explicit FolderLock(const fs::path& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        // Without the lock (a file system that has none) we still write: a
        // lost race costs one setting, refusing every write costs them all.
        while (fd_.get() >= 0 && ::flock(fd_.get(), LOCK_EX) != 0 && errno == EINTR) continue;
    }
    // Makes a rename inside the folder durable.
    void sync() const {
        if (fd_.get() >= 0) ::fsync(fd_.get());
    }

  private:
    FileDescriptor fd_; // closing it releases the lock
};

struct Contents {
    PlistDictionary values;
    bool present = false;  // the file exists
    bool readable = false; // ... and holds a dictionary
};

Contents readFile(const fs::path& file, const PropertyLists& plists) {
    Contents contents;
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        contents.present = errno != ENOENT;
        return contents;
    }
    contents.present = true;
    Bytes bytes;
    std::uint8_t buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || bytes.size() + static_cast<std::size_t>(n) > kMaxFileSize) return contents;
        if (n == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    if (auto value = plists.decode(bytes)) {
        if (auto* dict = std::get_if<PlistDictionary>(&*value)) {
            contents.values = std::move(*dict);
            contents.readable = true;
        }
    }
    return contents;
}

bool writeAll(int fd, const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Creates the folder and its missing parents, private to the user.
bool makeFolder(const fs::path& folder) {
    std::error_code error;
    if (fs::is_directory(folder, error)) return true;
    const fs::path parent = folder.parent_path();
    if (!parent.empty() && parent != folder && !makeFolder(parent)) return false;
    return ::mkdir(folder.c_str(), 0700) == 0 ||
           (errno == EEXIST && fs::is_directory(folder, error));
}

bool validDomainName(std::string_view name) {
    return !name.empty() && name.front() != '.' && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

fs::path domainFile(const fs::path& folder, std::string_view name) {
    return folder / (std::string(name) + ".plist");
}

PlistValue toPlist(const DefaultsValue& value) {
    return std::visit([](const auto& v) { return PlistValue(v); }, value);
}

} // namespace

PortableDefaultsDomain::PortableDefaultsDomain(fs::path folder, std::string name, bool standard)
    : folder_(std::move(folder)), file_(domainFile(folder_, name)), standard_(standard) {}

std::optional<PlistValue> PortableDefaultsDomain::lookup(std::string_view key) {
    Contents contents = readFile(file_, plists_);
    if (auto it = contents.values.find(key); it != contents.values.end())
        return std::move(it->second);
    std::lock_guard lock(mutex_);
    if (auto it = registered_.find(key); it != registered_.end()) return it->second;
    return std::nullopt;
}

bool PortableDefaultsDomain::boolean(std::string_view key) {
    const auto value = lookup(key);
    if (!value) return false;
    if (const auto* b = std::get_if<bool>(&*value)) return *b;
    if (const auto* i = std::get_if<std::int64_t>(&*value)) return *i != 0;
    return false;
}

std::int64_t PortableDefaultsDomain::integer(std::string_view key) {
    const auto value = lookup(key);
    if (!value) return 0;
    if (const auto* i = std::get_if<std::int64_t>(&*value)) return *i;
    if (const auto* b = std::get_if<bool>(&*value)) return *b ? 1 : 0;
    return 0;
}

std::optional<std::string> PortableDefaultsDomain::string(std::string_view key) {
    auto value = lookup(key);
    if (auto* s = value ? std::get_if<std::string>(&*value) : nullptr) return std::move(*s);
    return std::nullopt;
}

std::optional<Bytes> PortableDefaultsDomain::data(std::string_view key) {
    auto value = lookup(key);
    if (auto* d = value ? std::get_if<Bytes>(&*value) : nullptr) return std::move(*d);
    return std::nullopt;
}

bool PortableDefaultsDomain::setBoolean(std::string_view key, bool value) {
    return write(key, PlistValue(value));
}
bool PortableDefaultsDomain::setInteger(std::string_view key, std::int64_t value) {
    return write(key, PlistValue(value));
}
bool PortableDefaultsDomain::setString(std::string_view key, std::string_view value) {
    return write(key, PlistValue(std::string(value)));
}
bool PortableDefaultsDomain::setData(std::string_view key, const Bytes& value) {
    return write(key, PlistValue(value));
}
bool PortableDefaultsDomain::remove(std::string_view key) {
    return write(key, std::nullopt);
}

void PortableDefaultsDomain::registerDefaults(
    const std::map<std::string, DefaultsValue>& defaults) {
    std::lock_guard lock(mutex_);
    for (const auto& [key, value] : defaults) registered_.insert_or_assign(key, toPlist(value));
}

bool PortableDefaultsDomain::write(std::string_view key, std::optional<PlistValue> value) {
    std::lock_guard lock(mutex_);
    if (!makeFolder(folder_)) return false;
    const FolderLock folderLock(folder_);
    Contents contents = readFile(file_, plists_);
    if (!value && !contents.values.contains(key)) return true; // nothing to remove
    if (value)
        contents.values.insert_or_assign(std::string(key), std::move(*value));
    else
        contents.values.erase(contents.values.find(key));
    const auto bytes = plists_.encode(PlistValue(std::move(contents.values)));
    if (!bytes) return false;

    // The new contents go to a temporary file in the same folder, reach the
    // disk, and only then take the file's place: a crash at any point leaves
    // either the old file or the new one, never a mixture.
    std::string temporary = (folder_ / ("." + file_.filename().string() + ".XXXXXX")).string();
    FileDescriptor fd(::mkstemp(temporary.data()));
    if (fd.get() < 0) return false;
    bool ok = writeAll(fd.get(), *bytes) && ::fsync(fd.get()) == 0 && fd.close();
    // What we could not read may still matter to the user: keep it.
    if (ok && contents.present && !contents.readable)
        ok = ::rename(file_.c_str(), (file_.string() + ".corrupt").c_str()) == 0;
    if (!ok || ::rename(temporary.c_str(), file_.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    folderLock.sync();
    return true;
}

PortableUserDefaultsProvider::PortableUserDefaultsProvider(fs::path folder)
    : folder_(std::move(folder)), standard_(folder_, std::string(kOwnBundleID), true) {}

std::unique_ptr<UserDefaults> PortableUserDefaultsProvider::suite(std::string_view name) {
    if (!validDomainName(name)) return nullptr;
    return std::make_unique<PortableDefaultsDomain>(folder_, std::string(name), false);
}

void PortableUserDefaultsProvider::removePersistentDomain(std::string_view name) {
    if (!validDomainName(name)) return;
    std::error_code error;
    if (!fs::is_directory(folder_, error)) return;
    const FolderLock folderLock(folder_);
    ::unlink(domainFile(folder_, name).c_str());
    folderLock.sync();
}

fs::path PortableUserDefaultsProvider::configFolder() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return fs::path(xdg) / "vanto";
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : "/";
    }
    return fs::path(home) / ".config" / "vanto";
}

} // namespace vanto
