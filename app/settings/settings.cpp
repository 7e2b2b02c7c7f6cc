#include "settings.h"

namespace vanto {

Settings::Settings(UserDefaults& defaults, DistributedNotifications& notifications,
                   const PropertyLists& plists, int processID)
    : defaults_(defaults), notifications_(notifications), plists_(plists),
      processID_(std::to_string(processID)) {
    defaults_.registerDefaults({
        {std::string(kInputMethodKey), std::int64_t{1}},
        {std::string(kSpellCheckKey), true},
        {std::string(kStdToneKey), true},
        {std::string(kTelexWKey), false},
        {std::string(kTelexZKey), false},
        {std::string(kEnglishContextKey), kEnglishContextDefault},
    });
    load();
}

std::vector<Exclusion> Settings::exclusions() const {
    std::lock_guard lock(exclusionsMutex_);
    return exclusions_;
}

void Settings::load() {
    telex_ = defaults_.integer(kInputMethodKey) != 0;
    spellCheck_ = defaults_.boolean(kSpellCheckKey);
    stdTone_ = defaults_.boolean(kStdToneKey);
    telexW_ = defaults_.boolean(kTelexWKey);
    telexZ_ = defaults_.boolean(kTelexZKey);
    backspaceDeletesChar_ = defaults_.boolean(kBackspaceDeletesCharKey);
    exclusionsOn_ = defaults_.boolean(kExclusionsOnKey);
    englishContext_ = defaults_.boolean(kEnglishContextKey);
    std::vector<Exclusion> exclusions;
    if (const auto data = defaults_.data(kExclusionsKey))
        exclusions = decodeExclusions(plists_, *data).value_or(std::vector<Exclusion>{});
    std::lock_guard lock(exclusionsMutex_);
    exclusions_ = std::move(exclusions);
}

void Settings::saved(bool stored) {
    saveFailed_ = !stored;
    // Shown as it is kept, not as it was asked for.
    if (!stored) load();
    if (onChange) onChange();
    if (stored && defaults_.isStandard())
        notifications_.post(kSettingsChangedNotification, processID_);
}

void Settings::saveFlag(std::atomic<bool>& field, std::string_view key, bool value) {
    field = value;
    saved(defaults_.setBoolean(key, value));
}

void Settings::setTelex(bool value) {
    telex_ = value;
    saved(defaults_.setInteger(kInputMethodKey, value ? 1 : 0));
}

void Settings::setSpellCheck(bool value) {
    saveFlag(spellCheck_, kSpellCheckKey, value);
}
void Settings::setStdTone(bool value) {
    saveFlag(stdTone_, kStdToneKey, value);
}
void Settings::setTelexW(bool value) {
    saveFlag(telexW_, kTelexWKey, value);
}
void Settings::setTelexZ(bool value) {
    saveFlag(telexZ_, kTelexZKey, value);
}
void Settings::setBackspaceDeletesChar(bool value) {
    saveFlag(backspaceDeletesChar_, kBackspaceDeletesCharKey, value);
}
void Settings::setExclusionsOn(bool value) {
    saveFlag(exclusionsOn_, kExclusionsOnKey, value);
}
void Settings::setEnglishContext(bool value) {
    saveFlag(englishContext_, kEnglishContextKey, value);
}

void Settings::setExclusions(std::vector<Exclusion> value) {
    const auto data = encodeExclusions(plists_, value);
    {
        std::lock_guard lock(exclusionsMutex_);
        exclusions_ = std::move(value);
    }
    saved(data && defaults_.setData(kExclusionsKey, *data));
}

void Settings::updateExclusions(const std::function<void(std::vector<Exclusion>&)>& change) {
    std::vector<Exclusion> changed;
    const bool stored = defaults_.updateData(kExclusionsKey, [&](std::optional<Bytes> current) {
        // Stored data that cannot be decoded reads as no list, as in load.
        std::vector<Exclusion> list;
        if (current) list = decodeExclusions(plists_, *current).value_or(list);
        change(list);
        std::optional<Bytes> data = encodeExclusions(plists_, list);
        if (data) changed = std::move(list);
        return data;
    });
    if (stored) {
        std::lock_guard lock(exclusionsMutex_);
        exclusions_ = std::move(changed);
    }
    saved(stored);
}

void Settings::observeExternalChanges() {
    if (!defaults_.isStandard() || observer_) return;
    auto reload = [this](const std::optional<std::string>& object) {
        if (object == processID_) return; // our own save, already applied
        load();
        if (onChange) onChange();
    };
    observer_ = notifications_.observe(kSettingsChangedNotification, std::move(reload));
}

} // namespace vanto
