// Port: user defaults, the per-user store of typed settings in named domains.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vanto {

using Bytes = std::vector<std::uint8_t>;
// A value a domain stores under a key.
using DefaultsValue = std::variant<bool, std::int64_t, std::string, Bytes>;

// One domain. A key never written reads as its registered default; without
// one, as false, 0 or nothing. A written value of another type reads the same
// way, except that Booleans and integers read as each other (non-zero: true).
class UserDefaults {
  public:
    virtual ~UserDefaults() = default;

    virtual bool boolean(std::string_view key) = 0;
    virtual std::int64_t integer(std::string_view key) = 0;
    virtual std::optional<std::string> string(std::string_view key) = 0;
    virtual std::optional<Bytes> data(std::string_view key) = 0;

    // Writes return whether the value reached the store.
    virtual bool setBoolean(std::string_view key, bool value) = 0;
    virtual bool setInteger(std::string_view key, std::int64_t value) = 0;
    virtual bool setString(std::string_view key, std::string_view value) = 0;
    virtual bool setData(std::string_view key, const Bytes& value) = 0;
    virtual bool remove(std::string_view key) = 0;
    // Reads the data under key (nothing when there is none) and writes what
    // change makes of it, with no other write to the key in between, from
    // this process or, where the store allows, from another: two processes
    // that each add to a stored list keep both additions. When change gives
    // nothing, nothing is written and the update fails.
    virtual bool
    updateData(std::string_view key,
               const std::function<std::optional<Bytes>(std::optional<Bytes> current)>& change) = 0;

    // Adds to the fallbacks (kept in memory for this object's life; a key
    // registered again takes the new value).
    virtual void registerDefaults(const std::map<std::string, DefaultsValue>& defaults) = 0;

    // Whether this is the application's own domain, the one all its
    // processes share and announce changes to.
    virtual bool isStandard() const = 0;
};

class UserDefaultsProvider {
  public:
    virtual ~UserDefaultsProvider() = default;
    // The application's own domain: one object for the process.
    virtual UserDefaults& standard() = 0;
    // A separate named domain; null when the name cannot name a domain.
    virtual std::unique_ptr<UserDefaults> suite(std::string_view name) = 0;
    // Forgets everything stored in the named domain.
    virtual void removePersistentDomain(std::string_view name) = 0;
    // The file that keeps the application's own domain, to tell the user
    // where the settings live; empty when it is not known.
    virtual std::filesystem::path standardFile() = 0;
};

} // namespace vanto
