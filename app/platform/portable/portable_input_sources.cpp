#include "portable_input_sources.h"

#include "pipeline/app_profile.h"
#include "portable_bundle.h"
#include "portable_files.h"

#include <algorithm>
#include <map>

namespace vanto {

namespace fs = std::filesystem;

struct SelectionObservers {
    std::mutex mutex;
    std::uint64_t next = 0;
    std::map<std::uint64_t, std::shared_ptr<std::function<void()>>> handlers;
};

namespace {

constexpr const char* kBundleKey = "bundle";
constexpr const char* kEnabledKey = "enabled";
constexpr const char* kSelectedKey = "selected";
// The state is a few hundred bytes; anything this large is not ours.
constexpr std::uintmax_t kMaxFileSize = 1 << 20;

std::optional<PlistValue> readPlist(const fs::path& file, const PropertyLists& plists) {
    const FileContents contents = readRegularFile(file, kMaxFileSize);
    if (contents.missing || contents.error) return std::nullopt;
    return plists.decode(contents.bytes);
}

template <class T> std::optional<T> entry(const PlistDictionary& dict, const char* key) {
    const auto it = dict.find(key);
    if (it == dict.end()) return std::nullopt;
    if (const T* value = std::get_if<T>(&it->second)) return *value;
    return std::nullopt;
}

std::string lowercase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

class SelectionToken final : public InputSources::Observation {
  public:
    SelectionToken(std::weak_ptr<SelectionObservers> observers, std::uint64_t id)
        : observers_(std::move(observers)), id_(id) {}
    ~SelectionToken() override {
        if (const auto observers = observers_.lock()) {
            std::lock_guard lock(observers->mutex);
            observers->handlers.erase(id_);
        }
    }

  private:
    std::weak_ptr<SelectionObservers> observers_;
    const std::uint64_t id_;
};

} // namespace

PortableInputSources::PortableInputSources(fs::path stateFile)
    : stateFile_(std::move(stateFile)), observers_(std::make_shared<SelectionObservers>()) {}

PortableInputSources::~PortableInputSources() = default;

std::unique_ptr<InputSources::Observation>
PortableInputSources::onSelectionChange(std::function<void()> handler) {
    std::lock_guard lock(observers_->mutex);
    const std::uint64_t id = observers_->next++;
    observers_->handlers.emplace(id, std::make_shared<std::function<void()>>(std::move(handler)));
    return std::make_unique<SelectionToken>(observers_, id);
}

// Outside every lock: a handler may ask for the sources, select one or stop
// observing.
void PortableInputSources::notify() {
    std::vector<std::shared_ptr<std::function<void()>>> handlers;
    {
        std::lock_guard lock(observers_->mutex);
        for (const auto& [id, handler] : observers_->handlers) handlers.push_back(handler);
    }
    for (const auto& handler : handlers) (*handler)();
}

fs::path PortableInputSources::defaultStateFile() {
    const fs::path caches = PortableInstanceLock::cachesFolder();
    if (caches.empty()) return {};
    return caches / std::string(kOwnBundleID) / "input-sources.plist";
}

PortableInputSources::State PortableInputSources::load() const {
    State state;
    const auto value = readPlist(stateFile_, plists_);
    const auto* dict = value ? std::get_if<PlistDictionary>(&*value) : nullptr;
    if (!dict) return state; // missing or damaged: nothing registered
    state.bundle = entry<std::string>(*dict, kBundleKey).value_or("");
    state.enabled = entry<bool>(*dict, kEnabledKey).value_or(false);
    state.selected = state.enabled && entry<bool>(*dict, kSelectedKey).value_or(false);
    return state;
}

bool PortableInputSources::save(const State& state) const {
    const auto bytes = plists_.encodeXml(PlistDictionary{
        {kBundleKey, state.bundle.string()},
        {kEnabledKey, state.enabled},
        {kSelectedKey, state.selected},
    });
    if (!bytes || stateFile_.empty()) return false;
    // Replaced whole, so that another process never reads half of it.
    return !makeFolders(stateFile_.parent_path(), 0700) && !replaceFile(stateFile_, *bytes, 0600);
}

std::optional<InputSource> PortableInputSources::bundleSource(const State& state) const {
    if (state.bundle.empty()) return std::nullopt;
    const auto info = readPlist(state.bundle / "Contents" / "Info.plist", plists_);
    const auto* dict = info ? std::get_if<PlistDictionary>(&*info) : nullptr;
    const auto identifier = dict ? entry<std::string>(*dict, "CFBundleIdentifier") : std::nullopt;
    if (!identifier) return std::nullopt;

    std::vector<std::string> layouts;
    std::error_code error;
    for (fs::directory_iterator it(state.bundle / "Contents" / "Resources", error), end;
         !error && it != end; it.increment(error)) {
        if (it->path().extension() == ".keylayout") layouts.push_back(it->path().stem().string());
    }
    if (layouts.empty()) return std::nullopt;
    std::sort(layouts.begin(), layouts.end());
    return InputSource{*identifier, *identifier + "." + lowercase(layouts.front()), state.enabled,
                       true, state.selected};
}

std::vector<InputSource> PortableInputSources::all() {
    std::lock_guard lock(mutex_);
    const State state = load();
    const auto bundle = bundleSource(state);
    const bool bundleSelected = bundle && *bundle->selected;
    std::vector<InputSource> sources{
        InputSource{std::nullopt, kSystemLayoutID, true, true, !bundleSelected}};
    if (bundle) sources.push_back(*bundle);
    return sources;
}

std::vector<InputSource> PortableInputSources::installed(std::string_view bundleID) {
    std::vector<InputSource> result;
    for (InputSource& source : all())
        if (source.bundleID == bundleID) result.push_back(std::move(source));
    return result;
}

std::vector<InputSource> PortableInputSources::enabled() {
    std::vector<InputSource> result;
    for (InputSource& source : all())
        if (source.enabled.value_or(false)) result.push_back(std::move(source));
    return result;
}

std::optional<InputSource> PortableInputSources::currentKeyboardSource() {
    for (InputSource& source : all())
        if (source.selected.value_or(false)) return std::move(source);
    return std::nullopt;
}

bool PortableInputSources::select(const InputSource& source) {
    if (!source.inputSourceID) return false;
    bool changed = false;
    {
        std::lock_guard lock(mutex_);
        State state = load();
        if (*source.inputSourceID == kSystemLayoutID) {
            changed = state.selected;
            state.selected = false;
        } else {
            const auto bundle = bundleSource(state);
            // As on a Mac, a source that is not in the menu cannot be selected.
            if (!bundle || bundle->inputSourceID != source.inputSourceID || !state.enabled)
                return false;
            changed = !state.selected;
            state.selected = true;
        }
        if (!save(state)) return false;
    }
    if (changed) notify();
    return true;
}

void PortableInputSources::registerBundle(const fs::path& bundle) {
    bool changed = false;
    {
        std::lock_guard lock(mutex_);
        const State state = load();
        std::error_code error;
        const fs::path path = fs::absolute(bundle, error).lexically_normal();
        if (state.bundle == path) return;
        changed = state.selected;
        save(State{path});
    }
    if (changed) notify();
}

void PortableInputSources::setEnabled(bool enabled) {
    bool changed = false;
    {
        std::lock_guard lock(mutex_);
        State state = load();
        changed = state.selected && !enabled;
        state.enabled = enabled;
        state.selected = enabled && state.selected;
        save(state);
    }
    if (changed) notify();
}

} // namespace vanto
