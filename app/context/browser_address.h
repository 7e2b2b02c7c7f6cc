// Web-site exclusions: when a browser comes to the front it is asked for the
// address of its current tab, and ignored while that address matches one of
// the user's address rules.
#pragma once

#include "context/serial_queue.h"
#include "platform/browser_scripting.h"
#include "settings/exclusion.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vanto {

class Settings;
class Typist;

inline constexpr std::string_view kAddressQueueLabel = "vanto.browser-url";

inline constexpr std::string_view kSafariBundleID = "com.apple.Safari";
// Browsers are addressed by bundle identifier, never by name: a name that
// does not resolve (a renamed copy, a name in Vietnamese letters) makes the
// scripting system ask the user "Where is …?" instead of failing quietly.
inline constexpr std::string_view kSafariAddressScript =
    "tell application id \"com.apple.Safari\" to return URL of current tab of front window";
// The Chromium browsers share one script; {id} is the bundle identifier.
inline constexpr std::string_view kChromiumAddressScript =
    "tell application id \"{id}\" to return URL of active tab of front window";

// The Chromium browsers that answer the shared script.
inline constexpr std::array<std::string_view, 6> kChromiumBrowsers = {
    "com.google.Chrome",       "com.microsoft.edgemac", "com.vivaldi.Vivaldi",
    "com.operasoftware.Opera", "com.brave.Browser",     "com.coccoc.Coccoc",
};

// Whether an exclusion's identifier names web pages rather than applications.
bool isAddressPattern(std::string_view id);

// The user's rules in force now: the enabled ones, in list order, while the
// exclusion switch is on; none while it is off.
std::vector<Exclusion> activeExclusions(const Settings& settings);

// The identifiers of the address rules among active, in order.
std::vector<std::string> addressPatterns(const std::vector<Exclusion>& active);

// The script asking that browser for its current address; nothing for a
// browser that cannot be asked.
std::optional<std::string> addressScript(std::string_view bundleID);

class AddressRules {
  public:
    AddressRules(BrowserScripting& scripting, Typist& typist);

    // Called each time an application has become frontmost, after its
    // profile was set. When active holds address rules, asks the browser on
    // the address queue and, if its page matches, marks it ignored, provided
    // it is still the application in front and no later profile or check
    // came since. Never waits for the answer.
    void apply(const std::string& bundleID, const std::vector<Exclusion>& active);
    // Called before a new profile is set: the answers of the checks started
    // so far were asked under the rules of the profile being replaced and
    // must not mark the new one.
    void supersede() { ++generation_; }

    // On the address queue only: whether the page in front of the browser
    // matches one of patterns. A browser that cannot be asked or does not
    // answer is not excluded.
    bool isExcludedURL(const std::string& bundleID, const std::vector<std::string>& patterns);

    // Waits until every check queued so far has finished.
    void waitUntilIdle() { queue_.waitUntilIdle(); }

  private:
    BrowserScripting& scripting_;
    Typist& typist_;
    // Compiled scripts by bundle identifier; touched only on the queue.
    std::map<std::string, std::unique_ptr<BrowserScripting::Script>, std::less<>> scripts_;
    // Counts profiles and checks; a check's answer counts only while the
    // count is still the one it was started with.
    std::atomic<std::uint64_t> generation_{0};
    // Last: its worker ends before the cache it uses goes.
    SerialQueue queue_{std::string(kAddressQueueLabel)};
};

} // namespace vanto
