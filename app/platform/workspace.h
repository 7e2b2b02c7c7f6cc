// Port: the workspace — running applications, which one is frontmost, and
// asking the system to open, reveal or quit things.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vanto {

struct RunningApp {
    std::string bundleID; // empty when the application has none
    int processID = 0;
    std::string name;
    bool regular = true;  // appears in the Dock (not an agent or a background tool)
};

class Workspace {
  public:
    class Observation {
      public:
        virtual ~Observation() = default; // stops observing
    };

    virtual ~Workspace() = default;
    virtual std::optional<RunningApp> frontmostApplication() = 0;
    virtual std::vector<RunningApp> runningApplications() = 0;
    // Called on the main loop whenever an application becomes frontmost.
    virtual std::unique_ptr<Observation> onActivation(std::function<void(const RunningApp&)> handler) = 0;
    // Called on the main loop whenever applications start or end.
    virtual std::unique_ptr<Observation> onRunningApplicationsChange(std::function<void()> handler) = 0;
    // Politely asks every running application with this identifier to quit.
    virtual void terminateApplications(const std::string& bundleID) = 0;
    virtual bool openURL(const std::string& url) = 0;
    virtual void revealFile(const std::string& path) = 0;
    // Where an application is installed, and its name, for a bundle identifier.
    virtual std::optional<std::string> applicationPath(const std::string& bundleID) = 0;
    // The display name of an installed application (its bundle's display
    // name, else its name, else its file name). Nothing for an agent or a
    // background-only tool: those never take keyboard focus of their own.
    virtual std::optional<std::string> applicationName(const std::string& bundleID) = 0;
};

} // namespace vanto
