#include "portable_workspace.h"

#include <algorithm>

namespace vanto {

struct WorkspaceObservers {
    struct Entry {
        std::function<void(const RunningApp&)> activation;
        std::function<void()> runningChange;
        bool removed = false;
    };
    std::mutex mutex;
    std::vector<std::shared_ptr<Entry>> entries;

    std::vector<std::shared_ptr<Entry>> snapshot() {
        std::lock_guard lock(mutex);
        return entries;
    }
};

namespace {

class WorkspaceObservation final : public Workspace::Observation {
  public:
    WorkspaceObservation(std::weak_ptr<WorkspaceObservers> observers,
                         std::shared_ptr<WorkspaceObservers::Entry> entry)
        : observers_(std::move(observers)), entry_(std::move(entry)) {}
    ~WorkspaceObservation() override {
        entry_->removed = true;
        if (auto observers = observers_.lock()) {
            std::lock_guard lock(observers->mutex);
            std::erase(observers->entries, entry_);
        }
    }

  private:
    std::weak_ptr<WorkspaceObservers> observers_;
    std::shared_ptr<WorkspaceObservers::Entry> entry_;
};

} // namespace

PortableWorkspace::PortableWorkspace() : observers_(std::make_shared<WorkspaceObservers>()) {}

PortableWorkspace::~PortableWorkspace() = default;

std::optional<RunningApp> PortableWorkspace::frontmostApplication() {
    std::lock_guard lock(mutex_);
    return frontmost_;
}

std::vector<RunningApp> PortableWorkspace::runningApplications() {
    std::lock_guard lock(mutex_);
    return running_;
}

std::unique_ptr<Workspace::Observation>
PortableWorkspace::onActivation(std::function<void(const RunningApp&)> handler) {
    auto entry = std::make_shared<WorkspaceObservers::Entry>();
    entry->activation = std::move(handler);
    {
        std::lock_guard lock(observers_->mutex);
        observers_->entries.push_back(entry);
    }
    return std::make_unique<WorkspaceObservation>(observers_, std::move(entry));
}

std::unique_ptr<Workspace::Observation>
PortableWorkspace::onRunningApplicationsChange(std::function<void()> handler) {
    auto entry = std::make_shared<WorkspaceObservers::Entry>();
    entry->runningChange = std::move(handler);
    {
        std::lock_guard lock(observers_->mutex);
        observers_->entries.push_back(entry);
    }
    return std::make_unique<WorkspaceObservation>(observers_, std::move(entry));
}

void PortableWorkspace::terminateApplications(const std::string& bundleID) {
    std::vector<RunningApp> remaining;
    {
        std::lock_guard lock(mutex_);
        remaining = running_;
    }
    std::erase_if(remaining, [&](const RunningApp& app) { return app.bundleID == bundleID; });
    setRunningApplications(std::move(remaining));
}

bool PortableWorkspace::openURL(const std::string& url) {
    std::lock_guard lock(mutex_);
    openedURLs_.push_back(url);
    return true;
}

void PortableWorkspace::revealFile(const std::string& path) {
    std::lock_guard lock(mutex_);
    revealedFiles_.push_back(path);
}

std::optional<std::string> PortableWorkspace::applicationPath(const std::string& bundleID) {
    std::lock_guard lock(mutex_);
    const auto it = installed_.find(bundleID);
    if (it == installed_.end()) return std::nullopt;
    return it->second.path;
}

std::optional<std::string> PortableWorkspace::applicationName(const std::string& bundleID) {
    std::lock_guard lock(mutex_);
    const auto it = installed_.find(bundleID);
    if (it == installed_.end() || !it->second.showsInDock) return std::nullopt;
    return it->second.name;
}

void PortableWorkspace::activate(const RunningApp& app) {
    bool started;
    {
        std::lock_guard lock(mutex_);
        started = std::none_of(running_.begin(), running_.end(), [&](const RunningApp& r) {
            return r.processID == app.processID && r.bundleID == app.bundleID;
        });
        if (started) running_.push_back(app);
        frontmost_ = app;
    }
    if (started) runningChanged();
    for (const auto& entry : observers_->snapshot())
        if (entry->activation && !entry->removed) entry->activation(app);
}

void PortableWorkspace::setRunningApplications(std::vector<RunningApp> apps) {
    {
        std::lock_guard lock(mutex_);
        running_ = std::move(apps);
        if (frontmost_ && std::none_of(running_.begin(), running_.end(), [&](const RunningApp& r) {
                return r.processID == frontmost_->processID && r.bundleID == frontmost_->bundleID;
            }))
            frontmost_.reset();
    }
    runningChanged();
}

void PortableWorkspace::install(const std::string& bundleID, InstalledApp app) {
    std::lock_guard lock(mutex_);
    installed_[bundleID] = std::move(app);
}

std::vector<std::string> PortableWorkspace::openedURLs() {
    std::lock_guard lock(mutex_);
    return openedURLs_;
}

std::vector<std::string> PortableWorkspace::revealedFiles() {
    std::lock_guard lock(mutex_);
    return revealedFiles_;
}

void PortableWorkspace::runningChanged() {
    for (const auto& entry : observers_->snapshot())
        if (entry->runningChange && !entry->removed) entry->runningChange();
}

} // namespace vanto
