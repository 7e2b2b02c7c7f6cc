// User defaults kept as property-list files, one "<domain>.plist" per domain
// in $XDG_CONFIG_HOME/vanto (~/.config/vanto when that is not set).
#pragma once

#include "platform/user_defaults.h"
#include "portable_property_lists.h"

#include <filesystem>
#include <mutex>

namespace vanto {

// Every read goes to the file, so a change saved by another process is seen
// as soon as it has landed; files are only ever replaced whole, by rename, so
// a reader never meets half a write.
//
// What cannot be read costs only itself: a value of a kind the settings do
// not use (a real, a date, a text that is not UTF-8) reads as absent, the
// other keys as written. Such a file, or one that is no property list at
// all, is left as it is until the next write, which keeps it beside the new
// one as "<domain>.plist.<UTC time>.corrupt" and says so on standard error.
// Something at the path that cannot be read at all (no permission, a FIFO, a
// folder) reads as an empty domain and refuses every write, with the reason
// on standard error: it is not ours to move. Without a home folder nothing
// is read and every write fails.
class PortableDefaultsDomain final : public UserDefaults {
  public:
    PortableDefaultsDomain(std::filesystem::path folder, std::string name, bool standard);

    bool boolean(std::string_view key) override;
    std::int64_t integer(std::string_view key) override;
    std::optional<std::string> string(std::string_view key) override;
    std::optional<Bytes> data(std::string_view key) override;
    bool setBoolean(std::string_view key, bool value) override;
    bool setInteger(std::string_view key, std::int64_t value) override;
    bool setString(std::string_view key, std::string_view value) override;
    bool setData(std::string_view key, const Bytes& value) override;
    bool remove(std::string_view key) override;
    // Atomic across processes: under the folder's lock.
    bool updateData(
        std::string_view key,
        const std::function<std::optional<Bytes>(std::optional<Bytes> current)>& change) override;
    void registerDefaults(const std::map<std::string, DefaultsValue>& defaults) override;
    bool isStandard() const override { return standard_; }

    const std::filesystem::path& file() const { return file_; }

  private:
    std::optional<PlistValue> lookup(std::string_view key);
    // change edits the domain's values; false leaves the file as it is and
    // fails the write.
    bool write(std::string_view key, const std::function<bool(PlistDictionary&)>& change);

    const std::filesystem::path folder_;
    const std::filesystem::path file_;
    const bool standard_;
    const PortablePropertyLists plists_;
    std::mutex mutex_; // guards registered_ and serialises this object's writes
    std::map<std::string, PlistValue, std::less<>> registered_;
};

class PortableUserDefaultsProvider final : public UserDefaultsProvider {
  public:
    // The standard domain is named after the application's own identifier,
    // as it is on macOS.
    explicit PortableUserDefaultsProvider(std::filesystem::path folder = configFolder());

    UserDefaults& standard() override { return standard_; }
    // Null for a name that is empty, starts with "." or holds "/" or NUL: a
    // domain name must never reach outside the folder.
    std::unique_ptr<UserDefaults> suite(std::string_view name) override;
    void removePersistentDomain(std::string_view name) override;
    std::filesystem::path standardFile() override {
        return folder_.empty() ? std::filesystem::path() : standard_.file();
    }

    // $XDG_CONFIG_HOME/vanto when that is an absolute path, else
    // ~/.config/vanto; empty without a home folder.
    static std::filesystem::path configFolder();

  private:
    const std::filesystem::path folder_;
    PortableDefaultsDomain standard_;
};

} // namespace vanto
