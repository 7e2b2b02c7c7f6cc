#include "dialogs.h"

namespace vanto {

namespace {

std::string text(std::string_view s) {
    return std::string(s);
}

} // namespace

Dialogs::Dialogs(Alerts& alerts, Workspace& workspace, AccessibilityClient& accessibility,
                 MainLoop& mainLoop, LayoutControl& layout, Processes& processes,
                 DialogContext context)
    : alerts_(alerts), workspace_(workspace), accessibility_(accessibility), mainLoop_(mainLoop),
      layout_(layout), processes_(processes), context_(std::move(context)) {}

Alert Dialogs::accessibilityAlert(bool staleGrant) {
    if (staleGrant)
        return {Alert::Style::informational,
                text(kStaleGrantMessage),
                text(kStaleGrantInformative),
                {text(kClearGrantButton), text(kRevealButton), text(kCloseButton)}};
    return {Alert::Style::informational,
            text(kAccessibilityMessage),
            text(kAccessibilityInformative),
            {text(kGrantButton), text(kRevealButton), text(kCloseButton)}};
}

Alert Dialogs::setupAlert(bool needsLogin) {
    if (needsLogin)
        return {Alert::Style::informational,
                text(kLoginMessage),
                text(kLoginInformative),
                {text(kCloseButton)}};
    return {Alert::Style::informational,
            text(kSetupMessage),
            text(kSetupInformative),
            {text(kKeyboardSettingsButton), text(kCloseButton)}};
}

Alert Dialogs::secureInputAlert(const std::optional<RunningApp>& holder) {
    std::string message;
    if (holder && holder->bundleID == kLoginWindowBundleID) {
        message = text(kLockScreenMessage);
    } else {
        std::string name;
        if (!holder)
            name = text(kUnknownHolder);
        else if (!holder->name.empty())
            name = holder->name;
        else if (!holder->bundleID.empty())
            name = holder->bundleID;
        else
            name = text(kUnknownHolder);
        message = text(kQuitAppMessage) + "\"" + name + "\"";
    }
    return {Alert::Style::critical,
            std::move(message),
            text(kSecureInputInformative),
            {text(kManualButton), text(kCloseButton)}};
}

void Dialogs::showAccessibilityDialog(bool staleGrant) {
    switch (alerts_.run(accessibilityAlert(staleGrant))) {
    case 0:
        if (staleGrant)
            clearStaleGrant();
        else
            accessibility_.promptForTrust();
        break;
    case 1:
        revealApplication();
        break;
    default:
        break;
    }
}

void Dialogs::clearStaleGrant() {
    const auto status =
        processes_.run(text(kTccutil), {"reset", "Accessibility", context_.bundleID},
                       Processes::Quiet{.output = true, .error = true});
    if (status == 0)
        accessibility_.promptForTrust();
    else
        revealApplication();
}

void Dialogs::showSetupDialog() {
    const bool needsLogin = layout_.needsLogin();
    const std::size_t chosen = alerts_.run(setupAlert(needsLogin));
    if (!needsLogin && chosen == 0) openKeyboardSettings();
}

void Dialogs::showSecureInputDialog(int processID) {
    std::optional<RunningApp> holder;
    for (RunningApp& app : workspace_.runningApplications())
        if (processID > 0 && app.processID == processID) {
            holder = std::move(app);
            break;
        }
    if (alerts_.run(secureInputAlert(holder)) == 0)
        workspace_.openURL(text(kVendorSite) + text(kSecureInputManualPath));
}

void Dialogs::openKeyboardSettings() {
    workspace_.openURL(text(context_.systemMajorVersion >= kExtensionSettingsVersion
                                ? kKeyboardSettingsURL
                                : kLegacyKeyboardSettingsURL));
}

void Dialogs::revealApplication() {
    workspace_.openURL(text(kAccessibilityPrivacyURL));
    mainLoop_.after(kRevealDelay, [alive = std::weak_ptr<int>(alive_), this] {
        if (alive.lock()) workspace_.revealFile(context_.applicationPath);
    });
}

} // namespace vanto
