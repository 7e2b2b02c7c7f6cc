// Port: starting other programs.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vanto {

// A program started and not waited for.
class ChildProcess {
  public:
    // Forgets the child; it runs on.
    virtual ~ChildProcess() = default;
    virtual bool isRunning() = 0;
};

class Processes {
  public:
    // Where the output of a program that is waited for goes.
    struct Quiet {
        bool output = false; // standard output to the null device
        bool error = false;  // standard error to the null device
    };

    virtual ~Processes() = default;
    // Starts executable with arguments (not counting the program path) and
    // the environment and standard streams of this process. Null when it
    // could not be started.
    virtual std::unique_ptr<ChildProcess> launch(const std::filesystem::path& executable,
                                                 const std::vector<std::string>& arguments) = 0;
    // Starts executable and waits for its end: its exit status, or nothing
    // when it could not be started or did not exit by itself.
    virtual std::optional<int> run(const std::filesystem::path& executable,
                                   const std::vector<std::string>& arguments, Quiet quiet) = 0;
    // The absolute path of the program this process runs.
    virtual std::filesystem::path executablePath() = 0;
};

} // namespace vanto
