#include "browser_address.h"

#include "pipeline/typist.h"
#include "settings/settings.h"

namespace vanto {

bool isAddressPattern(std::string_view id) {
    return id.starts_with("http://") || id.starts_with("https://");
}

std::vector<Exclusion> activeExclusions(const Settings& settings) {
    std::vector<Exclusion> active;
    if (!settings.exclusionsOn()) return active;
    for (Exclusion& exclusion : settings.exclusions())
        if (exclusion.enabled) active.push_back(std::move(exclusion));
    return active;
}

std::vector<std::string> addressPatterns(const std::vector<Exclusion>& active) {
    std::vector<std::string> patterns;
    for (const Exclusion& exclusion : active)
        if (exclusion.enabled && isAddressPattern(exclusion.id)) patterns.push_back(exclusion.id);
    return patterns;
}

std::optional<std::string> addressScript(std::string_view bundleID) {
    if (bundleID == kSafariBundleID) return std::string(kSafariAddressScript);
    for (const std::string_view browser : kChromiumBrowsers) {
        if (browser != bundleID) continue;
        std::string script(kChromiumAddressScript);
        const std::string_view slot = "{id}";
        script.replace(script.find(slot), slot.size(), browser);
        return script;
    }
    return std::nullopt;
}

AddressRules::AddressRules(BrowserScripting& scripting, Typist& typist)
    : scripting_(scripting), typist_(typist) {}

void AddressRules::apply(const std::string& bundleID, const std::vector<Exclusion>& active) {
    const std::uint64_t generation = ++generation_;
    std::vector<std::string> patterns = addressPatterns(active);
    if (patterns.empty()) return;
    queue_.async([this, bundleID, generation, patterns = std::move(patterns)] {
        if (!isExcludedURL(bundleID, patterns)) return;
        std::lock_guard<std::mutex> guard(typist_.lock);
        // The user may have moved on while the browser was answering, or
        // changed the rules: the verdict is about this browser's page under
        // the rules it was asked with only. Comparing the application alone
        // would let a removed rule still ignore the browser.
        if (generation != generation_ || typist_.frontApp.bundleID != bundleID) return;
        typist_.frontApp.ignored = true;
        typist_.refreshApp();
    });
}

bool AddressRules::isExcludedURL(const std::string& bundleID,
                                 const std::vector<std::string>& patterns) {
    if (patterns.empty()) return false;
    auto cached = scripts_.find(bundleID);
    if (cached == scripts_.end()) {
        const std::optional<std::string> source = addressScript(bundleID);
        if (!source) return false;
        std::unique_ptr<BrowserScripting::Script> script = scripting_.compile(*source);
        if (!script) return false; // tried again at the next activation
        cached = scripts_.emplace(bundleID, std::move(script)).first;
    }
    const std::optional<std::string> address = cached->second->run();
    return address && matchesAny(patterns, *address);
}

} // namespace vanto
