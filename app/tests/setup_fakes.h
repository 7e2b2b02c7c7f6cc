// Recording fakes of the services the installer, the command line and the
// helper launcher use, wired into a Platform beside the portable adapters.
#pragma once

#include "pipeline_rig.h"
#include "platform/portable/portable_platform.h"
#include "platform/workspace.h"

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vanto::testing {

class FakeInputSources final : public InputSources {
  public:
    std::vector<InputSource> installed(std::string_view bundleID) override {
        std::vector<InputSource> result;
        for (const InputSource& s : sources)
            if (s.bundleID == bundleID) result.push_back(s);
        return result;
    }
    std::vector<InputSource> enabled() override {
        std::vector<InputSource> result;
        for (const InputSource& s : sources)
            if (s.enabled.value_or(false)) result.push_back(s);
        return result;
    }
    std::optional<InputSource> currentKeyboardSource() override {
        for (const InputSource& s : sources)
            if (s.selected.value_or(false)) return s;
        return std::nullopt;
    }
    bool select(const InputSource& source) override {
        selections.push_back(source.inputSourceID.value_or(""));
        return !refuse;
    }
    void registerBundle(const std::filesystem::path& bundle) override {
        registered.push_back(bundle);
    }
    std::unique_ptr<Observation> onSelectionChange(std::function<void()>) override {
        return nullptr;
    }

    std::vector<InputSource> sources;
    std::vector<std::string> selections;
    bool refuse = false; // select fails, as when the choice cannot be saved
    std::vector<std::filesystem::path> registered;
};

class FakeChild final : public ChildProcess {
  public:
    explicit FakeChild(std::shared_ptr<bool> running) : running_(std::move(running)) {}
    bool isRunning() override { return *running_; }

  private:
    std::shared_ptr<bool> running_;
};

class FakeProcesses final : public Processes {
  public:
    struct Call {
        std::string executable;
        std::vector<std::string> arguments;
        bool quietOutput = false, quietError = false;
        bool operator==(const Call&) const = default;
    };

    std::unique_ptr<ChildProcess> launch(const std::filesystem::path& executable,
                                         const std::vector<std::string>& arguments) override {
        launched.push_back({executable, arguments});
        if (!launchWorks) return nullptr;
        running = std::make_shared<bool>(true);
        return std::make_unique<FakeChild>(running);
    }
    std::optional<int> run(const std::filesystem::path& executable,
                           const std::vector<std::string>& arguments, Quiet quiet) override {
        ran.push_back({executable, arguments, quiet.output, quiet.error});
        return answer ? answer(ran.back()) : std::nullopt;
    }
    std::filesystem::path executablePath() override { return executable; }

    std::filesystem::path executable = "/Applications/Vanto.app/Contents/MacOS/Vanto";
    bool launchWorks = true;
    // The exit status of each program run; without it, none could be
    // started, as on a system without these tools.
    std::function<std::optional<int>(const Call&)> answer;
    std::shared_ptr<bool> running; // of the child launched last
    std::vector<Call> launched, ran;
};

class FakeLoginRecords final : public LoginRecords {
  public:
    std::vector<LoginRecord> records() override { return list; }
    std::string currentUserName() override { return user; }
    std::uint32_t currentUserID() override { return 501; }

    std::vector<LoginRecord> list;
    std::string user = "lan";
};

class FakeFileStatus final : public FileStatus {
  public:
    std::optional<std::int64_t> statusChangeTime(const std::filesystem::path& file) override {
        const auto it = changed.find(file);
        if (it == changed.end()) return std::nullopt;
        return it->second;
    }
    // Files are real: the installer's tests look at what it wrote.
    std::error_code replaceFile(const std::filesystem::path& file,
                                std::span<const std::uint8_t> bytes, unsigned mode) override {
        return files_.replaceFile(file, bytes, mode);
    }
    std::error_code makeFolders(const std::filesystem::path& folder, unsigned mode) override {
        return files_.makeFolders(folder, mode);
    }
    std::map<std::filesystem::path, std::int64_t> changed;

  private:
    PortableFileStatus files_;
};

class FakeAppBundle final : public AppBundle {
  public:
    std::optional<std::string> identifier() override { return std::string(kOwnBundleID); }
    std::filesystem::path executablePath() override {
        return "/Applications/Vanto.app/Contents/MacOS/Vanto";
    }
    std::filesystem::path resourcesFolder() override { return resources; }
    std::string shortVersion() override { return "0.1.0"; }
    std::filesystem::path resources;
};

class FakeWorkspace final : public Workspace {
  public:
    std::optional<RunningApp> frontmostApplication() override { return std::nullopt; }
    std::vector<RunningApp> runningApplications() override { return running; }
    std::unique_ptr<Observation> onActivation(std::function<void(const RunningApp&)>) override {
        return nullptr;
    }
    std::unique_ptr<Observation> onRunningApplicationsChange(std::function<void()>) override {
        return nullptr;
    }
    void terminateApplications(const std::string& bundleID) override {
        terminated.push_back(bundleID);
    }
    bool openURL(const std::string&) override { return false; }
    void revealFile(const std::string&) override {}
    std::optional<std::string> applicationPath(const std::string&) override { return std::nullopt; }
    std::optional<std::string> applicationName(const std::string&) override { return std::nullopt; }
    std::vector<std::string> terminated;
    std::vector<RunningApp> running;
};

// Collects what is written to a C stream.
class Capture {
  public:
    Capture() : file_(std::tmpfile()) {}
    ~Capture() {
        if (file_) std::fclose(file_);
    }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;
    std::FILE* file() const { return file_; }
    std::string text() const {
        std::fflush(file_);
        std::string result;
        std::rewind(file_);
        char buffer[4096];
        while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, file_))
            result.append(buffer, n);
        return result;
    }

  private:
    std::FILE* file_;
};

// The fakes above in place of the portable adapters they stand for.
class SetupRig {
  public:
    SetupRig()
        : platform{portable.keyboardEvents,
                   portable.eventTapHost,
                   portable.accessibility,
                   portable.processInfo,
                   portable.defaults,
                   portable.notifications,
                   portable.propertyLists,
                   inputSources,
                   processes,
                   loginRecords,
                   fileStatus,
                   bundle,
                   portable.instanceLock,
                   portable.mainLoop,
                   workspace,
                   portable.accessibilityClient,
                   portable.secureInput,
                   portable.browserScripting,
                   portable.statusBar,
                   portable.alerts} {}

    PortablePlatform portable;
    FakeInputSources inputSources;
    FakeProcesses processes;
    FakeLoginRecords loginRecords;
    FakeFileStatus fileStatus;
    FakeAppBundle bundle;
    FakeWorkspace workspace;
    Platform platform;
    Capture out, err;
};

} // namespace vanto::testing
