// The workspace over NSWorkspace and NSRunningApplication: running and
// frontmost applications, and asking the system to open, reveal or quit.
#include "platform/macos/mac_adapters.h"
#include "platform/macos/ns_text.h"

#import <AppKit/AppKit.h>
#import <Foundation/Foundation.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vanto::mac {

namespace {

// An empty identifier, address or path names nothing.
NSString* nonEmptyString(const std::string& text) {
    return text.empty() ? nil : makeStringWithoutNul(text);
}

RunningApp runningApp(NSRunningApplication* app) {
    RunningApp running;
    running.bundleID = utf8(app.bundleIdentifier).value_or("");
    running.processID = app.processIdentifier;
    running.name = utf8(app.localizedName).value_or("");
    running.regular = app.activationPolicy == NSApplicationActivationPolicyRegular;
    return running;
}

// An Info.plist flag, written as a boolean or, by older tools, as a string.
bool infoFlag(NSDictionary* info, NSString* key) {
    id value = info[key];
    if ([value isKindOfClass:[NSNumber class]]) return [(NSNumber*)value boolValue];
    if ([value isKindOfClass:[NSString class]]) return [(NSString*)value boolValue];
    return false;
}

NSString* infoText(NSBundle* bundle, NSString* key) {
    id value = [bundle objectForInfoDictionaryKey:key];
    if (![value isKindOfClass:[NSString class]] || [(NSString*)value length] == 0) return nil;
    return value;
}

// The handlers, in the order they were added. The system's observers are
// registered once and call them in that order, which the core relies on
// (the focus handler before the virtual-machine handoff).
struct MacWorkspaceObservers {
    struct Entry {
        std::function<void(const RunningApp&)> activation;
        std::function<void()> runningChange;
        std::atomic<bool> removed{false};
    };
    std::mutex mutex;
    std::vector<std::shared_ptr<Entry>> entries;

    std::vector<std::shared_ptr<Entry>> snapshot() {
        std::lock_guard lock(mutex);
        return entries;
    }

    void activated(const RunningApp& app) {
        for (const auto& entry : snapshot()) {
            if (entry->removed || !entry->activation) continue;
            // Nothing may unwind into AppKit's notification delivery.
            try {
                entry->activation(app);
            } catch (...) {
            }
        }
    }

    void runningChanged() {
        for (const auto& entry : snapshot()) {
            if (entry->removed || !entry->runningChange) continue;
            try {
                entry->runningChange();
            } catch (...) {
            }
        }
    }
};

} // namespace

} // namespace vanto::mac

// Key-value observer of the workspace's running applications. The launch
// and termination notifications leave out agents and background-only
// applications (the system's search overlay is one), so the list itself is
// observed.
@interface VantoRunningApplicationsObserver : NSObject
- (instancetype)initWithObservers:(std::weak_ptr<vanto::mac::MacWorkspaceObservers>)observers;
@end

static char VantoRunningApplicationsContext;

@implementation VantoRunningApplicationsObserver {
    std::weak_ptr<vanto::mac::MacWorkspaceObservers> _observers;
}

- (instancetype)initWithObservers:(std::weak_ptr<vanto::mac::MacWorkspaceObservers>)observers {
    if ((self = [super init])) _observers = std::move(observers);
    return self;
}

- (void)observeValueForKeyPath:(NSString*)keyPath
                      ofObject:(id)object
                        change:(NSDictionary*)change
                       context:(void*)context {
    if (context != &VantoRunningApplicationsContext) {
        [super observeValueForKeyPath:keyPath ofObject:object change:change context:context];
        return;
    }
    // The list changes while the main run loop runs; should that ever
    // differ, the handlers still run on the main thread.
    std::weak_ptr<vanto::mac::MacWorkspaceObservers> observers = _observers;
    void (^tell)(void) = ^{
      @autoreleasepool {
          if (auto live = observers.lock()) live->runningChanged();
      }
    };
    if ([NSThread isMainThread])
        tell();
    else
        dispatch_async(dispatch_get_main_queue(), tell);
}

@end

namespace vanto::mac {

namespace {

class MacWorkspaceObservation final : public Workspace::Observation {
  public:
    MacWorkspaceObservation(std::weak_ptr<MacWorkspaceObservers> observers,
                            std::shared_ptr<MacWorkspaceObservers::Entry> entry)
        : observers_(std::move(observers)), entry_(std::move(entry)) {}
    ~MacWorkspaceObservation() override {
        entry_->removed = true;
        if (auto observers = observers_.lock()) {
            std::lock_guard lock(observers->mutex);
            std::erase(observers->entries, entry_);
        }
    }

  private:
    std::weak_ptr<MacWorkspaceObservers> observers_;
    std::shared_ptr<MacWorkspaceObservers::Entry> entry_;
};

// Made, observed and destroyed on the main thread; the queries also serve
// the command line, before any run loop runs, hence their pools.
class MacWorkspace final : public Workspace {
  public:
    MacWorkspace() : observers_(std::make_shared<MacWorkspaceObservers>()) {}

    ~MacWorkspace() override {
        NSWorkspace* workspace = [NSWorkspace sharedWorkspace];
        if (activationToken_) [workspace.notificationCenter removeObserver:activationToken_];
        if (runningObserver_)
            [workspace removeObserver:runningObserver_ forKeyPath:@"runningApplications"];
    }

    std::optional<RunningApp> frontmostApplication() override {
        @autoreleasepool {
            NSRunningApplication* app = [NSWorkspace sharedWorkspace].frontmostApplication;
            if (!app) return std::nullopt;
            return runningApp(app);
        }
    }

    std::vector<RunningApp> runningApplications() override {
        @autoreleasepool {
            std::vector<RunningApp> apps;
            for (NSRunningApplication* app in [NSWorkspace sharedWorkspace].runningApplications)
                apps.push_back(runningApp(app));
            return apps;
        }
    }

    std::unique_ptr<Observation>
    onActivation(std::function<void(const RunningApp&)> handler) override {
        auto entry = std::make_shared<MacWorkspaceObservers::Entry>();
        entry->activation = std::move(handler);
        observeActivations();
        return add(std::move(entry));
    }

    std::unique_ptr<Observation>
    onRunningApplicationsChange(std::function<void()> handler) override {
        auto entry = std::make_shared<MacWorkspaceObservers::Entry>();
        entry->runningChange = std::move(handler);
        observeRunningApplications();
        return add(std::move(entry));
    }

    void terminateApplications(const std::string& bundleID) override {
        @autoreleasepool {
            NSString* identifier = nonEmptyString(bundleID);
            if (!identifier) return;
            for (NSRunningApplication* app in
                 [NSRunningApplication runningApplicationsWithBundleIdentifier:identifier])
                [app terminate];
        }
    }

    bool openURL(const std::string& url) override {
        @autoreleasepool {
            NSString* address = nonEmptyString(url);
            NSURL* target = address ? [NSURL URLWithString:address] : nil;
            if (!target) return false;
            return [[NSWorkspace sharedWorkspace] openURL:target];
        }
    }

    void revealFile(const std::string& path) override {
        @autoreleasepool {
            NSString* filePath = nonEmptyString(path);
            if (!filePath) return;
            [[NSWorkspace sharedWorkspace]
                activateFileViewerSelectingURLs:@[ [NSURL fileURLWithPath:filePath] ]];
        }
    }

    std::optional<std::string> applicationPath(const std::string& bundleID) override {
        @autoreleasepool {
            NSURL* url = applicationURL(bundleID);
            if (!url.path) return std::nullopt;
            return utf8(url.path);
        }
    }

    std::optional<std::string> applicationName(const std::string& bundleID) override {
        @autoreleasepool {
            NSURL* url = applicationURL(bundleID);
            if (!url.path) return std::nullopt;
            NSBundle* bundle = [NSBundle bundleWithURL:url];
            NSDictionary* info = bundle.infoDictionary;
            if (infoFlag(info, @"LSUIElement") || infoFlag(info, @"LSBackgroundOnly"))
                return std::nullopt;
            // objectForInfoDictionaryKey: gives the localized name when the
            // bundle has one.
            NSString* name = infoText(bundle, @"CFBundleDisplayName");
            if (!name) name = infoText(bundle, @"CFBundleName");
            if (!name) {
                name = url.lastPathComponent;
                if ([name.pathExtension caseInsensitiveCompare:@"app"] == NSOrderedSame)
                    name = name.stringByDeletingPathExtension;
            }
            if (name.length == 0) return std::nullopt;
            return utf8(name);
        }
    }

  private:
    static NSURL* applicationURL(const std::string& bundleID) {
        NSString* identifier = nonEmptyString(bundleID);
        if (!identifier) return nil;
        return [[NSWorkspace sharedWorkspace] URLForApplicationWithBundleIdentifier:identifier];
    }

    std::unique_ptr<Observation> add(std::shared_ptr<MacWorkspaceObservers::Entry> entry) {
        {
            std::lock_guard lock(observers_->mutex);
            observers_->entries.push_back(entry);
        }
        return std::make_unique<MacWorkspaceObservation>(observers_, std::move(entry));
    }

    void observeActivations() {
        if (activationToken_) return;
        std::weak_ptr<MacWorkspaceObservers> observers = observers_;
        activationToken_ = [[NSWorkspace sharedWorkspace].notificationCenter
            addObserverForName:NSWorkspaceDidActivateApplicationNotification
                        object:nil
                         queue:[NSOperationQueue mainQueue]
                    usingBlock:^(NSNotification* notification) {
                      @autoreleasepool {
                          id app = notification.userInfo[NSWorkspaceApplicationKey];
                          // Without an application there is nothing to report.
                          if (![app isKindOfClass:[NSRunningApplication class]]) return;
                          const RunningApp activated = runningApp(app);
                          if (auto live = observers.lock()) live->activated(activated);
                      }
                    }];
    }

    void observeRunningApplications() {
        if (runningObserver_) return;
        runningObserver_ = [[VantoRunningApplicationsObserver alloc] initWithObservers:observers_];
        [[NSWorkspace sharedWorkspace] addObserver:runningObserver_
                                        forKeyPath:@"runningApplications"
                                           options:0
                                           context:&VantoRunningApplicationsContext];
    }

    std::shared_ptr<MacWorkspaceObservers> observers_;
    id activationToken_ = nil;
    VantoRunningApplicationsObserver* runningObserver_ = nil;
};

} // namespace

std::unique_ptr<Workspace> makeWorkspace() {
    return std::make_unique<MacWorkspace>();
}

} // namespace vanto::mac
