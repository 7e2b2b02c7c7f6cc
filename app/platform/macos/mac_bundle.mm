// The application bundle through NSBundle, and the instance lock in the
// user's caches folder.
#import <Foundation/Foundation.h>
#include <Security/Security.h>

#include "platform/macos/cf_ref.h"
#include "platform/macos/mac_adapters.h"
#include "platform/macos/ns_text.h"
#include "platform/portable/portable_bundle.h"

#include <string>

namespace vanto::mac {

namespace {

#ifdef VANTO_VERSION
constexpr const char* kBuildVersion = VANTO_VERSION;
#else
constexpr const char* kBuildVersion = "";
#endif

class MacAppBundle final : public AppBundle {
  public:
    std::optional<std::string> identifier() override {
        @autoreleasepool {
            NSString* identifier = [[NSBundle mainBundle] bundleIdentifier];
            if (identifier.length == 0) return std::nullopt;
            return utf8(identifier);
        }
    }

    std::filesystem::path executablePath() override {
        @autoreleasepool {
            return absolute(pathFrom([[NSBundle mainBundle] executablePath]));
        }
    }

    std::filesystem::path resourcesFolder() override {
        @autoreleasepool {
            return absolute(pathFrom([[NSBundle mainBundle] resourcePath]));
        }
    }

    // The number the bundle shows users; a program run outside its bundle
    // has no Info.plist and reports the version it was built as.
    std::string shortVersion() override {
        @autoreleasepool {
            id version =
                [[NSBundle mainBundle] objectForInfoDictionaryKey:@"CFBundleShortVersionString"];
            if ([version isKindOfClass:[NSString class]] && [version length] > 0) {
                if (auto text = utf8(version)) return *text;
            }
            return kBuildVersion;
        }
    }

    // The designated requirement is what the privacy database stores with
    // a permission: for a certificate signature the identifier and the
    // certificate, which every build signed with it shares; for an ad-hoc
    // signature the build's own hash.
    std::string codeIdentity() override {
        SecCodeRef selfCode = nullptr;
        if (SecCodeCopySelf(kSecCSDefaultFlags, &selfCode) != errSecSuccess) return {};
        const auto code = CFRef<SecCodeRef>::adopt(selfCode);
        SecRequirementRef requirementRef = nullptr;
        if (!code || SecCodeCopyDesignatedRequirement(code.get(), kSecCSDefaultFlags,
                                                      &requirementRef) != errSecSuccess)
            return {};
        const auto requirement = CFRef<SecRequirementRef>::adopt(requirementRef);
        CFStringRef textRef = nullptr;
        if (!requirement || SecRequirementCopyString(requirement.get(), kSecCSDefaultFlags,
                                                     &textRef) != errSecSuccess)
            return {};
        const auto text = CFRef<CFStringRef>::adopt(textRef);
        if (!text) return {};
        @autoreleasepool {
            return utf8((__bridge NSString*)text.get()).value_or("");
        }
    }

  private:
    static std::filesystem::path absolute(const std::filesystem::path& path) {
        if (path.empty() || path.is_absolute()) return path;
        std::error_code error;
        return std::filesystem::absolute(path, error);
    }
};

class MacInstanceLock final : public InstanceLock {
  public:
    // The lock itself is plain POSIX, the same as on every other system.
    std::error_code lockForLife(const std::filesystem::path& file) override {
        return posix_.lockForLife(file);
    }

    std::filesystem::path userCachesFolder() override {
        @autoreleasepool {
            NSFileManager* files = [NSFileManager defaultManager];
            NSURL* caches =
                [files URLsForDirectory:NSCachesDirectory inDomains:NSUserDomainMask].firstObject;
            if (caches.isFileURL) {
                std::filesystem::path path = pathFrom(caches.path);
                if (!path.empty()) return path;
            }
            // Where the system keeps them; never a relative path, which would
            // put the lock wherever the program was started.
            return pathFrom([NSHomeDirectory() stringByAppendingPathComponent:@"Library/Caches"]);
        }
    }

  private:
    PortableInstanceLock posix_;
};

} // namespace

std::unique_ptr<AppBundle> makeAppBundle() {
    return std::make_unique<MacAppBundle>();
}

std::unique_ptr<InstanceLock> makeInstanceLock() {
    return std::make_unique<MacInstanceLock>();
}

} // namespace vanto::mac
