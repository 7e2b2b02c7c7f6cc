#include "portable_processes.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vanto {

namespace {

constexpr const char* kMacOnlyPrograms[] = {"/bin/launchctl", "/usr/bin/killall"};

bool macOnly(const std::filesystem::path& executable) {
    for (const char* program : kMacOnlyPrograms)
        if (executable == program) return true;
    return false;
}

class SpawnActions {
  public:
    SpawnActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    void silence(int fd) {
        ::posix_spawn_file_actions_addopen(&actions_, fd, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_t* get() { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_;
};

class SpawnAttributes {
  public:
    // The child starts with no blocked signals, whatever this thread blocks.
    SpawnAttributes() {
        ::posix_spawnattr_init(&attributes_);
        sigset_t none;
        sigemptyset(&none);
        ::posix_spawnattr_setsigmask(&attributes_, &none);
        ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnAttributes() { ::posix_spawnattr_destroy(&attributes_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    posix_spawnattr_t* get() { return &attributes_; }

  private:
    posix_spawnattr_t attributes_;
};

// Starts the program; 0 when it could not be started (glibc reports a
// failed exec as the result of posix_spawn itself).
pid_t spawn(const std::filesystem::path& executable, const std::vector<std::string>& arguments,
            SpawnActions& actions) {
    std::vector<std::string> texts{executable.string()};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);
    SpawnAttributes attributes;
    pid_t pid = 0;
    if (::posix_spawn(&pid, executable.c_str(), actions.get(), attributes.get(), argv.data(),
                      environ) != 0)
        return 0;
    return pid;
}

class PortableChild final : public ChildProcess {
  public:
    explicit PortableChild(pid_t pid) : pid_(pid) {}

    // Asking also reaps a child that has ended, so none lingers as a zombie
    // once someone has looked.
    bool isRunning() override {
        if (ended_) return false;
        int status = 0;
        pid_t result;
        do result = ::waitpid(pid_, &status, WNOHANG);
        while (result < 0 && errno == EINTR);
        if (result == 0) return true;
        ended_ = true; // reaped now, or no longer ours to ask about
        return false;
    }

  private:
    const pid_t pid_;
    bool ended_ = false;
};

} // namespace

std::unique_ptr<ChildProcess> PortableProcesses::launch(const std::filesystem::path& executable,
                                                        const std::vector<std::string>& arguments) {
    SpawnActions actions;
    const pid_t pid = spawn(executable, arguments, actions);
    if (pid == 0) return nullptr;
    return std::make_unique<PortableChild>(pid);
}

std::optional<int> PortableProcesses::run(const std::filesystem::path& executable,
                                          const std::vector<std::string>& arguments, Quiet quiet) {
    if (macOnly(executable)) {
        std::lock_guard lock(mutex_);
        stoodIn_.push_back({executable, arguments});
        return std::nullopt;
    }
    SpawnActions actions;
    if (quiet.output) actions.silence(STDOUT_FILENO);
    if (quiet.error) actions.silence(STDERR_FILENO);
    const pid_t pid = spawn(executable, arguments, actions);
    if (pid == 0) return std::nullopt;
    int status = 0;
    pid_t result;
    do result = ::waitpid(pid, &status, 0);
    while (result < 0 && errno == EINTR);
    if (result != pid || !WIFEXITED(status)) return std::nullopt;
    return WEXITSTATUS(status);
}

std::vector<PortableProcesses::StoodIn> PortableProcesses::stoodIn() const {
    std::lock_guard lock(mutex_);
    return stoodIn_;
}

std::filesystem::path PortableProcesses::executablePath() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error);
}

} // namespace vanto
