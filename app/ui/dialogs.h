// The three alerts the helper process shows for the agent: the missing
// Accessibility permission, the missing input-menu entry, and secure input
// held by another process.
#pragma once

#include "pipeline/app_profile.h"
#include "platform/accessibility_client.h"
#include "platform/alerts.h"
#include "platform/main_loop.h"
#include "platform/processes.h"
#include "platform/workspace.h"
#include "ui/shell_links.h"

#include <memory>
#include <string>
#include <string_view>

namespace vanto {

struct DialogContext {
    // The application bundle the user drags into the permission list.
    std::string applicationPath;
    // The operating system's major version, which decides where the
    // keyboard settings live.
    int systemMajorVersion = 0;
    // The identifier the privacy settings list the application under.
    std::string bundleID = std::string(kOwnBundleID);
};

// Main loop of the helper process only.
class Dialogs {
  public:
    static constexpr std::string_view kVendorSite = "https://norbel.vn";
    static constexpr std::string_view kSecureInputManualPath = "/vanto/manual/secure-input";

    static constexpr std::string_view kAccessibilityMessage =
        "Vanto cần quyền Accessibility để gõ tiếng Việt";
    static constexpr std::string_view kAccessibilityInformative =
        "Bấm \"Cấp quyền\", chọn \"Open System Settings\" trong hộp thoại của macOS, rồi bật "
        "công tắc bên cạnh Vanto.\n\nKhông thấy Vanto trong danh sách? Bấm \"Hiện Vanto.app\" "
        "rồi kéo nó thả vào danh sách.";
    static constexpr std::string_view kGrantButton = "Cấp quyền";
    static constexpr std::string_view kRevealButton = "Hiện Vanto.app";
    static constexpr std::string_view kCloseButton = "Đóng";

    static constexpr std::string_view kStaleGrantMessage =
        "macOS vẫn giữ quyền Accessibility của bản Vanto trước";
    static constexpr std::string_view kStaleGrantInformative =
        "Vanto vẫn hiện là đã bật trong Quyền riêng tư & Bảo mật › Trợ năng, nhưng quyền đó "
        "thuộc về bản dựng trước nên bản này chưa gõ được. Bấm \"Xoá quyền cũ\" rồi cấp "
        "quyền lại trong hộp thoại của macOS.";
    static constexpr std::string_view kClearGrantButton = "Xoá quyền cũ";
    // Forgets every Accessibility decision about the bundle identifier, so
    // that the system asks again.
    static constexpr std::string_view kTccutil = "/usr/bin/tccutil";

    static constexpr std::string_view kLoginMessage =
        "Đăng xuất rồi đăng nhập lại để thêm bàn phím Vanto";
    static constexpr std::string_view kLoginInformative =
        "macOS chỉ hiện bàn phím vừa cài trong danh sách Nguồn đầu vào sau khi bạn đăng nhập "
        "lại (chỉ cần một lần). Đăng nhập xong, Vanto sẽ hướng dẫn tiếp.";
    static constexpr std::string_view kSetupMessage = "Thêm Vanto vào menu nhập liệu";
    static constexpr std::string_view kSetupInformative =
        "Để gõ tiếng Việt, thêm bàn phím Vanto: Cài đặt hệ thống › Bàn phím › Nguồn đầu vào › "
        "Sửa…, bấm +, chọn Tiếng Việt › Vanto › Thêm.\n\nKhông thấy Vanto trong danh sách? "
        "Đăng xuất rồi đăng nhập lại (chỉ cần một lần sau khi cài), rồi thêm lại.";
    static constexpr std::string_view kKeyboardSettingsButton = "Mở cài đặt Bàn phím";

    static constexpr std::string_view kLoginWindowBundleID = "com.apple.loginwindow";
    static constexpr std::string_view kLockScreenMessage = "Hãy thử khoá màn hình rồi mở lại";
    static constexpr std::string_view kQuitAppMessage = "Hãy thử thoát app ";
    static constexpr std::string_view kUnknownHolder = "đang bật Secure Input";
    static constexpr std::string_view kSecureInputInformative =
        "Vanto không thể hoạt động khi Secure Input đang được bật.";
    static constexpr std::string_view kManualButton = "Mở trang hướng dẫn";

    static constexpr std::string_view kAccessibilityPrivacyURL =
        "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";
    static constexpr std::string_view kKeyboardSettingsURL =
        "x-apple.systempreferences:com.apple.Keyboard-Settings.extension";
    static constexpr std::string_view kLegacyKeyboardSettingsURL =
        "x-apple.systempreferences:com.apple.preference.keyboard?InputSources";
    // The first version whose settings are extensions with their own address.
    static constexpr int kExtensionSettingsVersion = 13;
    // Time for the settings window to come up before the bundle is shown
    // beside it.
    static constexpr double kRevealDelay = 0.6;

    Dialogs(Alerts& alerts, Workspace& workspace, AccessibilityClient& accessibility,
            MainLoop& mainLoop, LayoutControl& layout, Processes& processes, DialogContext context);

    // staleGrant: macOS lists Vanto as allowed, but for an earlier build.
    void showAccessibilityDialog(bool staleGrant = false);
    void showSetupDialog();
    void showSecureInputDialog(int processID);
    void openKeyboardSettings();
    void revealApplication();

    // The alerts as shown; pure, for the dialogs above and the tests.
    static Alert accessibilityAlert(bool staleGrant = false);
    static Alert setupAlert(bool needsLogin);
    // holder: the application with the process identifier, if any runs.
    static Alert secureInputAlert(const std::optional<RunningApp>& holder);

  private:
    // Removes the stale entry and lets the system ask for the permission;
    // when the entry cannot be removed, shows the list so that the user
    // removes it by hand.
    void clearStaleGrant();

    Alerts& alerts_;
    Workspace& workspace_;
    AccessibilityClient& accessibility_;
    MainLoop& mainLoop_;
    LayoutControl& layout_;
    Processes& processes_;
    const DialogContext context_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace vanto
