// The settings store over NSUserDefaults: the application's own domain, which
// every process of the user shares, and separate named suites.
#import <Foundation/Foundation.h>

#include "platform/macos/mac_adapters.h"
#include "platform/macos/ns_text.h"

#include <CoreFoundation/CoreFoundation.h>

#include <mutex>
#include <string>

namespace vanto::mac {

namespace {

NSData* makeData(const Bytes& bytes) {
    return [NSData dataWithBytes:bytes.data() length:bytes.size()];
}

enum class NumberKind { boolean, integer, none };

// Property lists keep Booleans apart from integers, but both arrive as
// NSNumber: the Booleans are the two CFBoolean objects. Reals are neither.
NumberKind numberKind(id value) {
    if (![value isKindOfClass:[NSNumber class]]) return NumberKind::none;
    if (CFGetTypeID((__bridge CFTypeRef)value) == CFBooleanGetTypeID()) return NumberKind::boolean;
    const char* type = [static_cast<NSNumber*>(value) objCType];
    if (!type || type[0] == 'f' || type[0] == 'd') return NumberKind::none;
    return NumberKind::integer;
}

std::int64_t integerValue(NSNumber* number) {
    // Integers above the signed range come back as the same 64 bits, as the
    // property-list reader of the portable build gives them.
    if (std::strcmp(number.objCType, @encode(unsigned long long)) == 0)
        return static_cast<std::int64_t>(number.unsignedLongLongValue);
    return number.longLongValue;
}

id objectFor(const DefaultsValue& value) {
    if (const auto* b = std::get_if<bool>(&value)) return *b ? @YES : @NO;
    if (const auto* i = std::get_if<std::int64_t>(&value)) return @(*i);
    if (const auto* s = std::get_if<std::string>(&value)) return makeStringWithoutNul(*s);
    return makeData(std::get<Bytes>(value));
}

class MacUserDefaults final : public UserDefaults {
  public:
    MacUserDefaults(NSUserDefaults* defaults, bool standard)
        : defaults_(defaults), standard_(standard) {}

    bool boolean(std::string_view key) override {
        @autoreleasepool {
            id value = lookup(key);
            switch (numberKind(value)) {
            case NumberKind::boolean:
                return [value boolValue];
            case NumberKind::integer:
                return integerValue(value) != 0;
            case NumberKind::none:
                return false;
            }
            return false;
        }
    }

    std::int64_t integer(std::string_view key) override {
        @autoreleasepool {
            id value = lookup(key);
            switch (numberKind(value)) {
            case NumberKind::boolean:
                return [value boolValue] ? 1 : 0;
            case NumberKind::integer:
                return integerValue(value);
            case NumberKind::none:
                return 0;
            }
            return 0;
        }
    }

    std::optional<std::string> string(std::string_view key) override {
        @autoreleasepool {
            id value = lookup(key);
            if (![value isKindOfClass:[NSString class]]) return std::nullopt;
            return utf8(value);
        }
    }

    std::optional<Bytes> data(std::string_view key) override {
        @autoreleasepool {
            id value = lookup(key);
            if (![value isKindOfClass:[NSData class]]) return std::nullopt;
            NSData* data = value;
            const auto* bytes = static_cast<const std::uint8_t*>(data.bytes);
            return Bytes(bytes, bytes + data.length);
        }
    }

    bool setBoolean(std::string_view key, bool value) override {
        @autoreleasepool {
            return write(key, value ? @YES : @NO);
        }
    }
    bool setInteger(std::string_view key, std::int64_t value) override {
        @autoreleasepool {
            return write(key, @(value));
        }
    }
    bool setString(std::string_view key, std::string_view value) override {
        @autoreleasepool {
            NSString* string = makeStringWithoutNul(value);
            return string && write(key, string);
        }
    }
    bool setData(std::string_view key, const Bytes& value) override {
        @autoreleasepool {
            return write(key, makeData(value));
        }
    }
    bool remove(std::string_view key) override {
        @autoreleasepool {
            return write(key, nil);
        }
    }

    // The defaults service takes each write whole but offers no way to hold
    // other processes off between a read and a write; within this process
    // the update is atomic, and the fresh read keeps the window short.
    bool updateData(std::string_view key,
                    const std::function<std::optional<Bytes>(std::optional<Bytes> current)>&
                        change) override {
        std::lock_guard<std::mutex> guard(updateLock_);
        @autoreleasepool {
            [defaults_ synchronize];
            std::optional<Bytes> next = change(data(key));
            if (!next) return false;
            return write(key, makeData(*next));
        }
    }

    void registerDefaults(const std::map<std::string, DefaultsValue>& defaults) override {
        @autoreleasepool {
            NSMutableDictionary<NSString*, id>* registration = [NSMutableDictionary dictionary];
            for (const auto& [key, value] : defaults) {
                NSString* name = makeStringWithoutNul(key);
                id object = objectFor(value);
                if (name && object) registration[name] = object;
            }
            // Kept here rather than in the defaults system's registration
            // domain, which every NSUserDefaults of the process shares: one
            // domain's fallbacks must not show through another's reads.
            std::lock_guard<std::mutex> guard(registeredLock_);
            [registered_ addEntriesFromDictionary:registration];
        }
    }

    bool isStandard() const override { return standard_; }

  private:
    // The value the domain reports: what was written, else the registered
    // default. A key that cannot be a string has neither.
    id lookup(std::string_view key) {
        NSString* name = makeStringWithoutNul(key);
        if (!name) return nil;
        if (id value = [defaults_ objectForKey:name]) return value;
        std::lock_guard<std::mutex> guard(registeredLock_);
        return registered_[name];
    }

    // A nil value removes the key. The write is handed to the defaults
    // service asynchronously; synchronising waits for it, so that another
    // process told of the change right after this returns reads the new
    // value, and the result says whether it was saved.
    bool write(std::string_view key, id value) {
        NSString* name = makeStringWithoutNul(key);
        if (!name) return false;
        if (value)
            [defaults_ setObject:value forKey:name];
        else
            [defaults_ removeObjectForKey:name];
        return [defaults_ synchronize];
    }

    NSUserDefaults* const defaults_;
    const bool standard_;
    std::mutex registeredLock_; // guards registered_: a domain may be read from any thread
    std::mutex updateLock_;     // one updateData of this domain at a time
    NSMutableDictionary<NSString*, id>* const registered_ = [NSMutableDictionary dictionary];
};

// Whether the name can name a domain. A "/" would make it a file path, and
// names beginning with "." are the system's (".GlobalPreferences"); the
// global domain is every application's.
bool domainName(NSString* name) {
    return name && name.length > 0 && ![name hasPrefix:@"."] &&
           [name rangeOfString:@"/"].location == NSNotFound &&
           ![name isEqualToString:NSGlobalDomain];
}

// Foundation refuses the application's own identifier as a suite name: that
// domain is the standard one, not a separate suite.
bool separateDomain(NSString* name) {
    if (!domainName(name)) return false;
    NSString* own = [[NSBundle mainBundle] bundleIdentifier];
    return !own || ![name isEqualToString:own];
}

class MacUserDefaultsProvider final : public UserDefaultsProvider {
  public:
    MacUserDefaultsProvider() : standard_([NSUserDefaults standardUserDefaults], true) {}

    UserDefaults& standard() override { return standard_; }

    std::unique_ptr<UserDefaults> suite(std::string_view name) override {
        @autoreleasepool {
            NSString* suiteName = makeStringWithoutNul(name);
            if (!separateDomain(suiteName)) return nullptr;
            NSUserDefaults* defaults = [[NSUserDefaults alloc] initWithSuiteName:suiteName];
            if (!defaults) return nullptr;
            return std::make_unique<MacUserDefaults>(defaults, false);
        }
    }

    void removePersistentDomain(std::string_view name) override {
        @autoreleasepool {
            NSString* domain = makeStringWithoutNul(name);
            if (!domainName(domain)) return;
            NSUserDefaults* defaults = [NSUserDefaults standardUserDefaults];
            [defaults removePersistentDomainForName:domain];
            [defaults synchronize];
        }
    }

    // Where the defaults system keeps an application's domain; it may hold
    // recent changes in memory for a moment before they reach the file.
    std::filesystem::path standardFile() override {
        @autoreleasepool {
            NSString* own = [[NSBundle mainBundle] bundleIdentifier];
            if (!own) return {};
            NSString* file = [NSString stringWithFormat:@"Library/Preferences/%@.plist", own];
            return pathFrom([NSHomeDirectory() stringByAppendingPathComponent:file]);
        }
    }

  private:
    MacUserDefaults standard_;
};

} // namespace

std::unique_ptr<UserDefaultsProvider> makeUserDefaults() {
    return std::make_unique<MacUserDefaultsProvider>();
}

} // namespace vanto::mac
