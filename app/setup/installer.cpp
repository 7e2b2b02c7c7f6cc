#include "installer.h"

#include "pipeline/app_profile.h"
#include "settings/home_folder.h"
#include "setup/agent_loader.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>
#include <thread>

namespace vanto {

namespace fs = std::filesystem;

namespace {

constexpr const char* kInstalledLine = "layout: installed ";
constexpr const char* kAgentLine = "login agent: ";
constexpr const char* kInMenuLine = "layout: Vanto is in the input menu";
constexpr const char* kLogOutLine =
    "layout: log out and in (macOS lists a new keyboard only after that), then add Vanto in "
    "System Settings > Keyboard > Input Sources";
constexpr const char* kAddLine =
    "layout: add Vanto in System Settings > Keyboard > Input Sources (not listed? log out and "
    "in first)";
constexpr const char* kFailedPrefix = "install failed: ";

constexpr const char* kRemovingStep = "removing ";
constexpr const char* kCopyingStep = "copying the layout to ";
constexpr const char* kWritingStep = "writing ";
constexpr const char* kUnencodableReason =
    "the program's path cannot be written in a property list";

constexpr const char* kNotLoadedLine =
    "login agent: not loaded, launchctl cannot run on this system";
constexpr const char* kKillall = "/usr/bin/killall";
constexpr const char* kInputMenuAgent = "TextInputMenuAgent";
constexpr const char* kAgentArgument = "agent";
// The line of the graphical login, as against terminals and remote shells.
constexpr const char* kConsoleLine = "console";

StepError stepError(const char* step, const fs::path& path, const std::error_code& reason) {
    return StepError{step + path.string() + ": " + reason.message()};
}

// Anything at path, a dangling symbolic link included.
bool present(const fs::path& path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

PlistValue agentPlist(const fs::path& executable, const std::string& bundleID) {
    return PlistDictionary{
        {"Label", std::string(kAgentLabel)},
        {"ProgramArguments", PlistArray{executable.string(), std::string(kAgentArgument)}},
        {"RunAtLoad", true},
        // Restarted after a crash or a kill, not after a clean exit.
        {"KeepAlive", PlistDictionary{{"SuccessfulExit", false}}},
        {"ProcessType", std::string("Interactive")},
        {"LimitLoadToSessionType", std::string("Aqua")},
        {"EnvironmentVariables", PlistDictionary{{"MallocSpaceEfficient", std::string("1")}}},
        // Login Items › Allow in the Background shows the application's
        // name and icon for the job instead of a bare executable name.
        {"AssociatedBundleIdentifiers", PlistArray{bundleID}},
    };
}

// Whatever the umask: what runs at the user's login must be the user's
// alone to change, and readable by launchd and the system.
constexpr unsigned kFolderMode = 0755;
constexpr unsigned kFileMode = 0644;

// A copied bundle takes the modes above, not those of its source or the
// umask: the layout is data, read by the system's input-menu services.
std::error_code settleModes(const fs::path& bundle) {
    std::error_code error;
    fs::permissions(bundle, static_cast<fs::perms>(kFolderMode), error);
    for (fs::recursive_directory_iterator it(bundle, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_symlink(error) || error) continue;
        const bool folder = it->is_directory(error);
        if (!error)
            fs::permissions(it->path(), static_cast<fs::perms>(folder ? kFolderMode : kFileMode),
                            error);
    }
    return error;
}

} // namespace

BundleSnapshot snapshotBundle(const fs::path& folder) {
    BundleSnapshot snapshot;
    const std::string prefix = folder.string();
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code kind;
        if (it->is_directory(kind)) continue;
        std::ifstream in(it->path(), std::ios::binary);
        if (!in) continue;
        std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        if (in.bad()) continue;
        snapshot.emplace(it->path().string().substr(prefix.size()), std::move(bytes));
    }
    return snapshot;
}

Installer::Installer(Platform& platform, Workspace& workspace, fs::path home, std::FILE* out,
                     std::FILE* err, Sleep sleep)
    : platform_(platform), workspace_(workspace), home_(std::move(home)), out_(out), err_(err),
      sleep_(sleep ? std::move(sleep) : [](double seconds) {
          std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
      }) {}

fs::path Installer::homeFolder() {
    return vanto::homeFolder();
}

fs::path Installer::installedLayoutPath() const {
    if (home_.empty()) return {};
    return home_ / kKeyboardLayoutsFolder / kLayoutBundleName;
}

fs::path Installer::launchAgentPath() const {
    if (home_.empty()) return {};
    return home_ / kLaunchAgentsFolder / kAgentPlistName;
}

int Installer::install() {
    std::optional<StepError> failure = installLayout();
    if (!failure) failure = installAgent();
    if (failure) {
        std::fflush(out_);
        std::fprintf(err_, "%s%s\n", kFailedPrefix, failure->errorDescription.value_or("").c_str());
        return 1;
    }
    refreshInputMenu();
    const auto source = findLayoutSource();
    const char* line = source && source->enabled.value_or(false) ? kInMenuLine
                       : needsLogin()                            ? kLogOutLine
                                                                 : kAddLine;
    std::fprintf(out_, "%s\n", line);
    return 0;
}

std::optional<StepError> Installer::installLayout() {
    if (home_.empty()) return StepError{std::string(kNoHomeError)};
    const fs::path installed = installedLayoutPath();
    const fs::path other = installed.parent_path() / kOtherLayoutBundleName;

    std::error_code error;
    if (present(other)) {
        fs::remove_all(other, error);
        if (error) return stepError(kRemovingStep, other, error);
    }

    const fs::path source = platform_.bundle.resourcesFolder() / kLayoutBundleName;
    const BundleSnapshot current = snapshotBundle(installed);
    if (current.empty() || snapshotBundle(source) != current) {
        // A missing source must not cost the user the layout already there.
        if (!fs::is_directory(source, error))
            return stepError(kCopyingStep, installed,
                             error ? error
                                   : std::make_error_code(std::errc::no_such_file_or_directory));
        error = platform_.fileStatus.makeFolders(installed.parent_path(), kFolderMode);
        if (!error && present(installed)) fs::remove_all(installed, error);
        if (!error)
            fs::copy(source, installed,
                     fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
        if (!error) error = settleModes(installed);
        if (error) return stepError(kCopyingStep, installed, error);
        std::fprintf(out_, "%s%s\n", kInstalledLine, installed.c_str());
    }

    platform_.inputSources.registerBundle(installed);
    return std::nullopt;
}

std::optional<StepError> Installer::installAgent() {
    if (home_.empty()) return StepError{std::string(kNoHomeError)};
    const fs::path plist = launchAgentPath();
    const auto bytes = platform_.propertyLists.encodeXml(
        agentPlist(platform_.processes.executablePath(),
                   platform_.bundle.identifier().value_or(std::string(kOwnBundleID))));
    if (!bytes) return StepError{kWritingStep + plist.string() + ": " + kUnencodableReason};
    std::error_code error = platform_.fileStatus.makeFolders(plist.parent_path(), kFolderMode);
    if (!error) error = platform_.fileStatus.replaceFile(plist, *bytes, kFileMode);
    if (error) return stepError(kWritingStep, plist, error);

    // Booting out first makes a second install replace the loaded (and
    // perhaps running) agent; the install succeeds only once launchd lists
    // the new one.
    AgentLoader loader(platform_.processes, platform_.loginRecords.currentUserID(), sleep_);
    const auto loaded = loader.load(plist);
    if (const auto* failure = std::get_if<StepError>(&loaded)) return *failure;

    std::fprintf(out_, "%s%s\n", kAgentLine, plist.c_str());
    if (std::get<AgentLoader::Outcome>(loaded) == AgentLoader::Outcome::unavailable)
        std::fprintf(out_, "%s\n", kNotLoadedLine);
    return std::nullopt;
}

void Installer::refreshInputMenu() {
    // The system restarts its input-menu agent, which then lists the newly
    // registered layout; System Settings must reopen to show it.
    platform_.processes.run(kKillall, {kInputMenuAgent}, Processes::Quiet{.error = true});
    workspace_.terminateApplications(std::string(kSystemSettingsBundleID));
}

std::optional<InputSource> Installer::findLayoutSource() {
    auto sources = platform_.inputSources.installed(kLayoutBundleID);
    if (sources.empty()) return std::nullopt;
    return std::move(sources.front());
}

bool Installer::isLayoutSelected() {
    const auto current = platform_.inputSources.currentKeyboardSource();
    return current && current->bundleID == kLayoutBundleID;
}

std::vector<InputSource> Installer::enabledInputSources() {
    return platform_.inputSources.enabled();
}

bool Installer::needsLogin() {
    if (home_.empty()) return false;
    const auto changed = platform_.fileStatus.statusChangeTime(installedLayoutPath());
    if (!changed) return false;
    const auto login = loginTime();
    return login && *login < *changed;
}

std::optional<std::int64_t> Installer::loginTime() {
    const std::string user = platform_.loginRecords.currentUserName();
    std::optional<std::int64_t> latest;
    if (user.empty()) return latest;
    for (const LoginRecord& record : platform_.loginRecords.records()) {
        if (!record.userProcess || record.user != user || record.line != kConsoleLine) continue;
        if (!latest || record.seconds > *latest) latest = record.seconds;
    }
    return latest;
}

} // namespace vanto
