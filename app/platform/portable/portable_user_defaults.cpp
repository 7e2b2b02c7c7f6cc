#include "portable_user_defaults.h"

#include "pipeline/app_profile.h"
#include "portable_files.h"
#include "settings/home_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vanto {

namespace fs = std::filesystem;

namespace {

// A settings file is a few hundred bytes; anything this large is not ours.
constexpr std::size_t kMaxFileSize = 16 << 20;
constexpr mode_t kPrivateFolder = 0700;
constexpr mode_t kPrivateFile = 0600;

// Holds the folder's advisory lock, which serialises the read-modify-write
// of every domain in it across objects and processes.
class FolderLock {
  public:
    explicit FolderLock(const fs::path& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        // Without the lock (a file system that has none) we still write: a
        // lost race costs one setting, refusing every write costs them all.
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0 && errno == EINTR) continue;
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock() {
        if (fd_ >= 0) ::close(fd_); // releases the lock
    }

  private:
    int fd_;
};

// A file that is there but cannot be read (no permission, a FIFO, a folder)
// is the user's business to mend: it is reported and left alone. A file
// that reads but is not a property list, or holds values of kinds the
// settings do not use, is kept aside before the next write replaces it.
struct Contents {
    PlistDictionary values;
    std::error_code error;
    bool keepAside = false;
    std::vector<std::string> skipped; // keys whose values could not be read
};

Contents readFile(const fs::path& file, const PortablePropertyLists& plists) {
    Contents contents;
    FileContents read = readRegularFile(file, kMaxFileSize);
    if (read.missing) return contents;
    if (read.error) {
        contents.error = read.error;
        return contents;
    }
    if (auto values = plists.decodeEntries(read.bytes, contents.skipped))
        contents.values = std::move(*values);
    else
        contents.keepAside = true;
    contents.keepAside = contents.keepAside || !contents.skipped.empty();
    return contents;
}

// "<file>.<UTC time>.corrupt", never an earlier one's name.
std::error_code keepAside(const fs::path& file, fs::path& aside) {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    char stamp[32] = "0";
    if (::gmtime_r(&now, &utc)) std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
    for (int n = 1;; ++n) {
        aside = file.string() + "." + stamp + (n > 1 ? "-" + std::to_string(n) : "") + ".corrupt";
        // A second name for the same bytes: the file itself stays in place
        // until the new one replaces it.
        if (::link(file.c_str(), aside.c_str()) == 0) return {};
        if (errno != EEXIST || n >= 1000) return {errno, std::generic_category()};
    }
}

void note(const std::string& text) {
    std::fprintf(stderr, "Vanto: %s\n", text.c_str());
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
    Contents contents = folder_.empty() ? Contents{} : readFile(file_, plists_);
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

namespace {

std::function<bool(PlistDictionary&)> put(std::string_view key, PlistValue value) {
    return [key = std::string(key), value = std::move(value)](PlistDictionary& values) {
        values.insert_or_assign(key, value);
        return true;
    };
}

} // namespace

bool PortableDefaultsDomain::setBoolean(std::string_view key, bool value) {
    return write(key, put(key, value));
}
bool PortableDefaultsDomain::setInteger(std::string_view key, std::int64_t value) {
    return write(key, put(key, value));
}
bool PortableDefaultsDomain::setString(std::string_view key, std::string_view value) {
    return write(key, put(key, std::string(value)));
}
bool PortableDefaultsDomain::setData(std::string_view key, const Bytes& value) {
    return write(key, put(key, value));
}
bool PortableDefaultsDomain::remove(std::string_view key) {
    return write(key, [key](PlistDictionary& values) {
        if (const auto it = values.find(key); it != values.end()) values.erase(it);
        return true;
    });
}

bool PortableDefaultsDomain::updateData(
    std::string_view key,
    const std::function<std::optional<Bytes>(std::optional<Bytes> current)>& change) {
    return write(key, [&](PlistDictionary& values) {
        std::optional<Bytes> current;
        if (const auto it = values.find(key); it != values.end())
            if (const auto* data = std::get_if<Bytes>(&it->second)) current = *data;
        std::optional<Bytes> next = change(std::move(current));
        if (!next) return false;
        values.insert_or_assign(std::string(key), std::move(*next));
        return true;
    });
}

void PortableDefaultsDomain::registerDefaults(
    const std::map<std::string, DefaultsValue>& defaults) {
    std::lock_guard lock(mutex_);
    for (const auto& [key, value] : defaults) registered_.insert_or_assign(key, toPlist(value));
}

bool PortableDefaultsDomain::write(std::string_view key,
                                   const std::function<bool(PlistDictionary&)>& change) {
    std::lock_guard lock(mutex_);
    if (folder_.empty()) {
        note("settings not saved: " + std::string(kNoHomeError));
        return false;
    }
    if (const std::error_code error = makeFolders(folder_, kPrivateFolder)) {
        note("settings not saved: " + folder_.string() + ": " + error.message());
        return false;
    }
    const FolderLock folderLock(folder_);
    Contents contents = readFile(file_, plists_);
    if (contents.error) {
        note("settings not saved: " + file_.string() + ": " + contents.error.message());
        return false;
    }
    const PlistDictionary before = contents.values;
    if (!change(contents.values)) return false;
    if (contents.values == before && !contents.keepAside) return true; // nothing to write
    // Only a value given now can fail to encode: every value read back from
    // the file was read because it can be written again.
    const auto bytes = plists_.encode(PlistValue(std::move(contents.values)));
    if (!bytes) {
        note("settings not saved: the value of \"" + std::string(key) + "\" cannot be stored");
        return false;
    }
    if (contents.keepAside) {
        fs::path aside;
        if (const std::error_code error = keepAside(file_, aside)) {
            note("settings not saved: keeping " + file_.string() + " aside: " + error.message());
            return false;
        }
        std::string skipped;
        for (const std::string& k : contents.skipped)
            skipped += (skipped.empty() ? "\"" : ", \"") + k + "\"";
        note(file_.string() +
             (skipped.empty()
                  ? " could not be read"
                  : ": left out " + skipped + ", values of kinds the settings do not use") +
             "; the file as it was is kept as " + aside.string());
    }
    // We hold the folder's lock: every temporary file of this domain was
    // left by a writer that was killed.
    removeTemporaries(file_);
    if (const std::error_code error = replaceFile(file_, *bytes, kPrivateFile)) {
        note("settings not saved: " + file_.string() + ": " + error.message());
        return false;
    }
    return true;
}

PortableUserDefaultsProvider::PortableUserDefaultsProvider(fs::path folder)
    : folder_(std::move(folder)), standard_(folder_, std::string(kOwnBundleID), true) {}

std::unique_ptr<UserDefaults> PortableUserDefaultsProvider::suite(std::string_view name) {
    if (!validDomainName(name)) return nullptr;
    return std::make_unique<PortableDefaultsDomain>(folder_, std::string(name), false);
}

void PortableUserDefaultsProvider::removePersistentDomain(std::string_view name) {
    if (!validDomainName(name) || folder_.empty()) return;
    std::error_code error;
    if (!fs::is_directory(folder_, error)) return;
    const FolderLock folderLock(folder_);
    ::unlink(domainFile(folder_, name).c_str());
    removeTemporaries(domainFile(folder_, name));
}

fs::path PortableUserDefaultsProvider::configFolder() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return fs::path(xdg) / "vanto";
    const fs::path home = homeFolder();
    if (home.empty()) return {};
    return home / ".config" / "vanto";
}

} // namespace vanto
