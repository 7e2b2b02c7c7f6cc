// The workspace as an in-memory table that whoever plays the system (tests,
// the terminal tools) fills: the running applications, the frontmost one and
// the installed ones. Observers are called synchronously, on the thread that
// makes the change, which stands in for the main loop.
#pragma once

#include "platform/workspace.h"

#include <map>
#include <memory>
#include <mutex>

namespace vanto {

struct WorkspaceObservers;

class PortableWorkspace final : public Workspace {
  public:
    struct InstalledApp {
        std::string path;
        std::string name;
        bool showsInDock = true; // false for agents and background-only tools
    };

    PortableWorkspace();
    ~PortableWorkspace() override;

    std::optional<RunningApp> frontmostApplication() override;
    std::vector<RunningApp> runningApplications() override;
    std::unique_ptr<Observation>
    onActivation(std::function<void(const RunningApp&)> handler) override;
    std::unique_ptr<Observation>
    onRunningApplicationsChange(std::function<void()> handler) override;
    // Ends them at once, as a polite quit normally does.
    void terminateApplications(const std::string& bundleID) override;
    // Records the request; opening always succeeds.
    bool openURL(const std::string& url) override;
    void revealFile(const std::string& path) override;
    std::optional<std::string> applicationPath(const std::string& bundleID) override;
    std::optional<std::string> applicationName(const std::string& bundleID) override;

    // Playing the system.
    // Brings app to the front (starting it when it does not run) and tells
    // the activation observers, after the running-list observers when it
    // was started.
    void activate(const RunningApp& app);
    // Replaces the running list in the given order; the frontmost
    // application is kept while it still runs.
    void setRunningApplications(std::vector<RunningApp> apps);
    void install(const std::string& bundleID, InstalledApp app);

    // What was asked of the system, oldest first.
    std::vector<std::string> openedURLs();
    std::vector<std::string> revealedFiles();

  private:
    void runningChanged();

    std::mutex mutex_;
    std::vector<RunningApp> running_;
    std::optional<RunningApp> frontmost_;
    std::map<std::string, InstalledApp> installed_;
    std::vector<std::string> openedURLs_;
    std::vector<std::string> revealedFiles_;
    std::shared_ptr<WorkspaceObservers> observers_;
};

} // namespace vanto
