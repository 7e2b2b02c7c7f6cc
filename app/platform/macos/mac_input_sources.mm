// The system's keyboard input sources through Text Input Sources: listing,
// selecting and registering them, and hearing when the selection changes.
#import <Foundation/Foundation.h>

#include <Carbon/Carbon.h>

#include "platform/macos/cf_ref.h"
#include "platform/macos/mac_adapters.h"
#include "platform/macos/ns_text.h"

#include <string>

namespace vanto::mac {

namespace {

// Text Input Sources stop the process with a failed queue assertion when
// called off the main thread on recent macOS. Every caller here runs on the
// main thread; should one not, it gets the empty answer rather than a crash,
// or a wait for the main thread that could stall the event tap.
bool onMainThread() {
    return [NSThread isMainThread];
}

// Property values are borrowed from the source, and their type is only what
// the key promises: each is checked before it is read.
std::optional<std::string> stringProperty(TISInputSourceRef source, CFStringRef key) {
    CFTypeRef value = TISGetInputSourceProperty(source, key);
    if (!value || CFGetTypeID(value) != CFStringGetTypeID()) return std::nullopt;
    return utf8((__bridge NSString*)value);
}

std::optional<bool> booleanProperty(TISInputSourceRef source, CFStringRef key) {
    CFTypeRef value = TISGetInputSourceProperty(source, key);
    if (!value || CFGetTypeID(value) != CFBooleanGetTypeID()) return std::nullopt;
    return CFBooleanGetValue(static_cast<CFBooleanRef>(value)) != 0;
}

InputSource describe(TISInputSourceRef source) {
    return InputSource{
        .bundleID = stringProperty(source, kTISPropertyBundleID),
        .inputSourceID = stringProperty(source, kTISPropertyInputSourceID),
        .enabled = booleanProperty(source, kTISPropertyInputSourceIsEnabled),
        .selectCapable = booleanProperty(source, kTISPropertyInputSourceIsSelectCapable),
        .selected = booleanProperty(source, kTISPropertyInputSourceIsSelected),
    };
}

// The sources of a list, in its order; the list stays the owner of them.
template <typename Visit> void forEachSource(CFArrayRef list, Visit visit) {
    if (!list) return;
    const CFIndex count = CFArrayGetCount(list);
    for (CFIndex i = 0; i < count; ++i) {
        const void* item = CFArrayGetValueAtIndex(list, i);
        if (!item || CFGetTypeID(item) != TISInputSourceGetTypeID()) continue;
        if (!visit(static_cast<TISInputSourceRef>(const_cast<void*>(item)))) return;
    }
}

std::vector<InputSource> describeAll(CFArrayRef list) {
    std::vector<InputSource> sources;
    forEachSource(list, [&](TISInputSourceRef source) {
        sources.push_back(describe(source));
        return true;
    });
    return sources;
}

// The sources whose property equals value, installed ones included.
CFRef<CFArrayRef> sourcesWith(CFStringRef key, std::string_view value) {
    NSString* text = makeString(value);
    if (!text) return {};
    NSDictionary* filter = @{(__bridge NSString*)key : text};
    return CFRef<CFArrayRef>::adopt(
        TISCreateInputSourceList((__bridge CFDictionaryRef)filter, true));
}

class MacSelectionObservation final : public InputSources::Observation {
  public:
    explicit MacSelectionObservation(std::unique_ptr<DistributedNotifications::Token> token)
        : token_(std::move(token)) {}

  private:
    std::unique_ptr<DistributedNotifications::Token> token_;
};

class MacInputSources final : public InputSources {
  public:
    std::vector<InputSource> installed(std::string_view bundleID) override {
        if (!onMainThread()) return {};
        @autoreleasepool {
            return describeAll(sourcesWith(kTISPropertyBundleID, bundleID).get());
        }
    }

    // Keyboard sources only: the enabled list also holds the character and
    // keyboard viewers, which are no layout to switch typing to.
    std::vector<InputSource> enabled() override {
        if (!onMainThread()) return {};
        @autoreleasepool {
            NSDictionary* filter = @{
                (__bridge NSString*)kTISPropertyInputSourceCategory :
                    (__bridge NSString*)kTISCategoryKeyboardInputSource
            };
            const auto list = CFRef<CFArrayRef>::adopt(
                TISCreateInputSourceList((__bridge CFDictionaryRef)filter, false));
            return describeAll(list.get());
        }
    }

    std::optional<InputSource> currentKeyboardSource() override {
        if (!onMainThread()) return std::nullopt;
        @autoreleasepool {
            const auto source =
                CFRef<TISInputSourceRef>::adopt(TISCopyCurrentKeyboardInputSource());
            if (!source || CFGetTypeID(source.get()) != TISInputSourceGetTypeID())
                return std::nullopt;
            return describe(source.get());
        }
    }

    bool select(const InputSource& source) override {
        if (!source.inputSourceID || !onMainThread()) return false;
        @autoreleasepool {
            const auto list = sourcesWith(kTISPropertyInputSourceID, *source.inputSourceID);
            bool selected = false;
            forEachSource(list.get(), [&](TISInputSourceRef candidate) {
                if (stringProperty(candidate, kTISPropertyInputSourceID) != source.inputSourceID)
                    return true;
                selected = TISSelectInputSource(candidate) == noErr;
                return false;
            });
            return selected;
        }
    }

    void registerBundle(const std::filesystem::path& bundle) override {
        if (bundle.empty() || !onMainThread()) return;
        std::error_code error;
        const std::string path = std::filesystem::absolute(bundle, error).native();
        if (error) return;
        const auto url = CFRef<CFURLRef>::adopt(CFURLCreateFromFileSystemRepresentation(
            kCFAllocatorDefault, reinterpret_cast<const UInt8*>(path.data()),
            static_cast<CFIndex>(path.size()), true));
        if (url) TISRegisterInputSource(url.get());
    }

    // The system announces the change to every process on the distributed
    // center; its delivery comes on the main thread.
    std::unique_ptr<Observation> onSelectionChange(std::function<void()> handler) override {
        auto name = utf8((__bridge NSString*)kTISNotifySelectedKeyboardInputSourceChanged);
        auto token = notifications_->observe(
            name.value_or(std::string()),
            [handler = std::move(handler)](const std::optional<std::string>&) {
                if (handler) handler();
            });
        return std::make_unique<MacSelectionObservation>(std::move(token));
    }

  private:
    const std::unique_ptr<DistributedNotifications> notifications_ = makeNotifications();
};

} // namespace

std::unique_ptr<InputSources> makeInputSources() {
    return std::make_unique<MacInputSources>();
}

} // namespace vanto::mac
