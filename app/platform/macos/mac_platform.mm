// The Platform bundle of the real macOS services. The login records and file
// status are plain POSIX and shared with the portable build.
#include "platform/macos/mac_platform.h"

#include "platform/macos/mac_adapters.h"
#include "platform/portable/portable_login_records.h"

namespace vanto::mac {

struct MacPlatform::Adapters {
    std::unique_ptr<KeyboardEvents> keyboardEvents = makeKeyboardEvents();
    std::unique_ptr<EventTapHost> eventTapHost = makeEventTapHost();
    std::unique_ptr<Accessibility> accessibility = makeAccessibility();
    std::unique_ptr<ProcessInfo> processInfo = makeProcessInfo();
    std::unique_ptr<UserDefaultsProvider> defaults = makeUserDefaults();
    std::unique_ptr<DistributedNotifications> notifications = makeNotifications();
    std::unique_ptr<PropertyLists> propertyLists = makePropertyLists();

    std::unique_ptr<InputSources> inputSources = makeInputSources();
    std::unique_ptr<Processes> processes = makeProcesses();
    PortableLoginRecords loginRecords;
    PortableFileStatus fileStatus;
    std::unique_ptr<AppBundle> bundle = makeAppBundle();
    std::unique_ptr<InstanceLock> instanceLock = makeInstanceLock();

    std::unique_ptr<MainLoop> mainLoop = makeMainLoop();
    std::unique_ptr<Workspace> workspace = makeWorkspace();
    std::unique_ptr<AccessibilityClient> accessibilityClient = makeAccessibilityClient();
    std::unique_ptr<SecureInput> secureInput = makeSecureInput();
    std::unique_ptr<BrowserScripting> browserScripting = makeBrowserScripting();
    std::unique_ptr<StatusBar> statusBar = makeStatusBar();
    std::unique_ptr<Alerts> alerts = makeAlerts();
};

MacPlatform::MacPlatform() : adapters_(std::make_unique<Adapters>()) {
    Adapters& a = *adapters_;
    platform_ = std::unique_ptr<Platform>(new Platform{
        *a.keyboardEvents, *a.eventTapHost,     *a.accessibility, *a.processInfo,
        *a.defaults,       *a.notifications,    *a.propertyLists, *a.inputSources,
        *a.processes,      a.loginRecords,      a.fileStatus,     *a.bundle,
        *a.instanceLock,   *a.mainLoop,         *a.workspace,     *a.accessibilityClient,
        *a.secureInput,    *a.browserScripting, *a.statusBar,     *a.alerts});
}

MacPlatform::~MacPlatform() = default;

} // namespace vanto::mac
