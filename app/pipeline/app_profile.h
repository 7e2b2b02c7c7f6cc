// How Vanto behaves in one application, from its bundle identifier.
#pragma once

#include "settings/exclusion.h"

#include <string>
#include <string_view>
#include <vector>

namespace vanto {

// The agent's own identifier, for when its bundle has none.
inline constexpr std::string_view kOwnBundleID = "norbel.inputmethod.Vanto";

// System agents, the simulator, remote-desktop, screen-sharing and
// virtual-machine clients: keys there belong to another machine or to the
// system, so they pass untouched.
extern const std::vector<std::string> kNeverTypeApps;
// Chat clients, terminals, editors, launchers and suites that mishandle the
// invisible character sent before deletions.
extern const std::vector<std::string> kPlainBackspaceApps;
// Applications that drop events posted through the tap proxy.
extern const std::vector<std::string> kDirectPostApps;
// The system search overlay, whose field completes inline after the caret.
inline constexpr std::string_view kInlineSuggestionApp = "com.apple.Spotlight";

struct AppProfile {
    std::string bundleID;
    bool ignored = true;          // no key is touched while it has the focus
    bool specialBackspace = true; // deletions are prepared with an invisible character
    bool directPostTap = false;   // events are posted at the hardware level, never via the proxy
    bool suggestsInline = false;  // deletions are prepared with a forward delete

    // The profile of bundleID. activeExclusions are the user's rules in force
    // (none while the exclusion switch is off); only application patterns act
    // here, address patterns are for the browser check. ownBundleID is always
    // ignored.
    static AppProfile make(std::string_view bundleID,
                           const std::vector<Exclusion>& activeExclusions,
                           std::string_view ownBundleID);
    // Before the first focus report: silent.
    static AppProfile initial() { return {}; }

    bool operator==(const AppProfile&) const = default;
};

} // namespace vanto
