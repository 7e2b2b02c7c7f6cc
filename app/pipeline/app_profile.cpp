#include "app_profile.h"

namespace vanto {

const std::vector<std::string> kNeverTypeApps = {
    "com.apple.loginwindow",
    "com.apple.coreservices.uiagent",
    "com.apple.systemuiserver",
    "com.apple.UserNotificationCenter",
    "com.apple.SecurityAgent",
    "com.apple.installer",
    "com.apple.dock.ecti",
    "com.apple.ActivityMonitor",
    "com.apple.iphonesimulator",
    "com.apple.ScreenContinuity",
    "com.apple.ScreenSharing",
    "com.microsoft.rdc.macos",
    "com.citrix.receiver.icaviewer.mac",
    "com.p5sys.jump.mac.viewer*", // no dot before the star: its helpers continue the name
    "com.realvnc.vncviewer",
    "com.carriez.rustdesk",
    "tv.parsec.www",
    "com.utmapp.UTM",
    "de.iSolute.Mac-VNC",
    "com.2X.Client.Mac",
    "com.teamviewer.TeamViewer",
    "com.philandro.anydesk",
    "com.nomachine.nxdock",
    "com.parallels.*",
    "com.vmware.*",
    "org.virtualbox.*",
};

const std::vector<std::string> kPlainBackspaceApps = {
    "com.tinyspeck.slackmacgap",
    "com.facebook.archon.developerID",
    "com.facebook.archon",
    "com.apple.MobileSMS",
    "com.hnc.Discord",
    "com.apple.Terminal",
    "com.googlecode.iterm2",
    "io.alacritty",
    "com.runningwithcrayons.Alfred",
    "com.microsoft.VSCode",
    "com.apple.dt.Xcode",
    "com.google.android.studio",
    "com.sublimetext.4",
    "com.sublimetext.3",
    "org.texmacs.TeXmacs",
    "com.jetbrains.*",
    "com.apple.iWork.*",
    "dev.warp.*",
    "com.adobe.*",
};

const std::vector<std::string> kDirectPostApps = {"com.adobe.*"};

namespace {

bool isAddressPattern(std::string_view pattern) {
    return pattern.starts_with("http://") || pattern.starts_with("https://");
}

} // namespace

AppProfile AppProfile::make(std::string_view bundleID,
                            const std::vector<Exclusion>& activeExclusions,
                            std::string_view ownBundleID) {
    std::vector<std::string> userPatterns;
    for (const Exclusion& exclusion : activeExclusions)
        // A switched-off rule never acts, even if a caller forgot to drop it.
        if (exclusion.enabled && !isAddressPattern(exclusion.id))
            userPatterns.push_back(exclusion.id);
    AppProfile profile;
    profile.bundleID = std::string(bundleID);
    profile.ignored = bundleID == ownBundleID || matchesAny(kNeverTypeApps, bundleID) ||
                      matchesAny(userPatterns, bundleID);
    profile.specialBackspace = !matchesAny(kPlainBackspaceApps, bundleID);
    profile.directPostTap = matchesAny(kDirectPostApps, bundleID);
    profile.suggestsInline = bundleID == kInlineSuggestionApp;
    return profile;
}

} // namespace vanto
