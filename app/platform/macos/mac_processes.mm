// Child processes through NSTask, and the path of the running program.
#import <Foundation/Foundation.h>
#include <dispatch/dispatch.h>

#include "platform/macos/cf_ref.h"
#include "platform/macos/mac_adapters.h"
#include "platform/macos/ns_text.h"

#include <climits>
#include <cstdlib>
#include <string>

namespace vanto::mac {

namespace {

// Paths are bytes to the file system; the URL is made from them directly.
NSURL* fileURL(const std::filesystem::path& path) {
    const std::string& bytes = path.native();
    if (bytes.empty() || bytes.find('\0') != std::string::npos) return nil;
    auto url = CFRef<CFURLRef>::adopt(CFURLCreateFromFileSystemRepresentation(
        kCFAllocatorDefault, reinterpret_cast<const UInt8*>(bytes.data()),
        static_cast<CFIndex>(bytes.size()), false));
    return CFBridgingRelease(url.release());
}

// Started, or nil when it could not be. The launch that reports failure by
// its result is used, never the one that raises; the guard is for a raise
// from anything else in the set-up, which must not unwind into C++.
// ended: signalled once the task has ended, if given.
NSTask* start(const std::filesystem::path& executable, const std::vector<std::string>& arguments,
              Processes::Quiet quiet, dispatch_semaphore_t ended = nil) {
    NSURL* url = fileURL(executable);
    if (!url) return nil;
    NSMutableArray<NSString*>* list = [NSMutableArray arrayWithCapacity:arguments.size()];
    for (const std::string& argument : arguments) {
        NSString* string = makeStringWithoutNul(argument);
        if (!string) return nil;
        [list addObject:string];
    }
    @try {
        NSTask* task = [[NSTask alloc] init];
        task.executableURL = url;
        task.arguments = list;
        // The environment and the streams not named here are this process's.
        if (quiet.output) task.standardOutput = [NSFileHandle fileHandleWithNullDevice];
        if (quiet.error) task.standardError = [NSFileHandle fileHandleWithNullDevice];
        if (ended)
            task.terminationHandler = ^(NSTask*) {
              dispatch_semaphore_signal(ended);
            };
        NSError* error = nil;
        if (![task launchAndReturnError:&error]) return nil;
        return task;
    } @catch (NSException*) {
        return nil;
    }
}

class MacChildProcess final : public ChildProcess {
  public:
    explicit MacChildProcess(NSTask* task) : task_(task) {}

    // NSTask reaps the child itself once it ends.
    bool isRunning() override { return [task_ isRunning]; }

  private:
    NSTask* const task_;
};

class MacProcesses final : public Processes {
  public:
    std::unique_ptr<ChildProcess> launch(const std::filesystem::path& executable,
                                         const std::vector<std::string>& arguments) override {
        @autoreleasepool {
            NSTask* task = start(executable, arguments, Quiet{});
            if (!task) return nullptr;
            return std::make_unique<MacChildProcess>(task);
        }
    }

    // Waits on a semaphore rather than with waitUntilExit, which would run
    // the calling thread's run loop: on the main thread, queued tasks and
    // notifications would then run in the middle of the caller's work.
    std::optional<int> run(const std::filesystem::path& executable,
                           const std::vector<std::string>& arguments, Quiet quiet) override {
        @autoreleasepool {
            dispatch_semaphore_t ended = dispatch_semaphore_create(0);
            NSTask* task = start(executable, arguments, quiet, ended);
            if (!task) return std::nullopt;
            dispatch_semaphore_wait(ended, DISPATCH_TIME_FOREVER);
            if (task.terminationReason != NSTaskTerminationReasonExit) return std::nullopt;
            return task.terminationStatus;
        }
    }

    // The bundle's executable with symbolic links resolved, so that what
    // is written down (the launch agent) names the file itself.
    std::filesystem::path executablePath() override {
        @autoreleasepool {
            const std::filesystem::path path = pathFrom([[NSBundle mainBundle] executablePath]);
            if (path.empty()) return {};
            char resolved[PATH_MAX];
            if (::realpath(path.c_str(), resolved)) return resolved;
            std::error_code error;
            return std::filesystem::absolute(path, error);
        }
    }
};

} // namespace

std::unique_ptr<Processes> makeProcesses() {
    return std::make_unique<MacProcesses>();
}

} // namespace vanto::mac
