// The user's typing options and exclusions, kept in a defaults domain and in
// step across every Vanto process of the user.
#pragma once

#include "platform/notifications.h"
#include "platform/property_list.h"
#include "platform/user_defaults.h"
#include "settings/exclusion.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vanto {

// Keys of the defaults domain. Their names predate the options they hold.
// An integer: 1 for Telex letter keys, 0 for digit keys.
inline constexpr std::string_view kInputMethodKey = "inputMethod";
inline constexpr std::string_view kSpellCheckKey = "isForceSpell";
inline constexpr std::string_view kStdToneKey = "isStdMode";
inline constexpr std::string_view kTelexWKey = "isEnableTelexW";
inline constexpr std::string_view kTelexZKey = "isEnableTelexZ";
inline constexpr std::string_view kBackspaceDeletesCharKey = "isBackspaceDeletesChar";
inline constexpr std::string_view kExclusionsOnKey = "isIgnoreApp";
inline constexpr std::string_view kExclusionsKey = "ignoredApps"; // data: encodeExclusions()
// Whether a word whose keys are English and whose composition is Vietnamese
// is decided by the sentence around it.
inline constexpr std::string_view kEnglishContextKey = "isEnglishContext";
// On: measured on whole sentences, it keeps nearly every English word of
// English text and changes no word of Vietnamese text (bench/README.md).
inline constexpr bool kEnglishContextDefault = true;
// Written by the application shell, not by Settings.
inline constexpr std::string_view kSetupPromptedVersionKey = "setupPromptedVersion";

// Posted after every save to the standard domain; the object is the writer's
// process id as decimal text.
inline constexpr std::string_view kSettingsChangedNotification =
    "norbel.inputmethod.Vanto.settingsChanged";

// Setters run on the main thread; the getters may be called from any thread
// (the keystroke pipeline reads them from the event tap's).
class Settings {
  public:
    // Registers the defaults on the domain and loads from it. Only a Settings
    // on the standard domain announces its saves or listens for others'.
    Settings(UserDefaults& defaults, DistributedNotifications& notifications,
             const PropertyLists& plists, int processID);
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    bool telex() const { return telex_; }
    bool spellCheck() const { return spellCheck_; }
    bool stdTone() const { return stdTone_; }
    bool telexW() const { return telexW_; }
    bool telexZ() const { return telexZ_; }
    bool backspaceDeletesChar() const { return backspaceDeletesChar_; }
    bool exclusionsOn() const { return exclusionsOn_; }
    bool englishContext() const { return englishContext_; }
    std::vector<Exclusion> exclusions() const;

    // Each setter saves, even an unchanged value: a save is also how the
    // other processes learn to reload. A save that fails (the store refused
    // it, or the value cannot be stored) is announced to nobody: every
    // property is read back from the store, so what the window shows is what
    // is kept, saveFailed() turns true, and onChange is called.
    void setTelex(bool value);
    void setSpellCheck(bool value);
    void setStdTone(bool value);
    void setTelexW(bool value);
    void setTelexZ(bool value);
    void setBackspaceDeletesChar(bool value);
    void setExclusionsOn(bool value);
    void setEnglishContext(bool value);
    // A list that cannot be encoded (a pattern that is not UTF-8) is a
    // failed save.
    void setExclusions(std::vector<Exclusion> value);

    // Changes the stored list, not this object's copy of it: the list is
    // read from the store, changed and written back with no other write in
    // between, so that a change another process made since this one last
    // loaded is kept. Saved and announced like setExclusions.
    void updateExclusions(const std::function<void(std::vector<Exclusion>&)>& change);

    // Whether the last save failed; the next one that succeeds clears it.
    bool saveFailed() const { return saveFailed_; }

    // Called after each save and after each reload caused by another process.
    std::function<void()> onChange;

    // Re-reads every property; writes nothing, calls and posts nothing.
    // Stored exclusions that cannot be decoded read as none and stay stored
    // until the next save of the list replaces them.
    void load();
    // Starts reloading on the saves of other processes (standard domain
    // only; once).
    void observeExternalChanges();

  private:
    void saved(bool stored);
    void saveFlag(std::atomic<bool>& field, std::string_view key, bool value);

    UserDefaults& defaults_;
    DistributedNotifications& notifications_;
    const PropertyLists& plists_;
    const std::string processID_;
    std::atomic<bool> telex_{true}, spellCheck_{true}, stdTone_{true}, telexW_{false},
        telexZ_{false}, backspaceDeletesChar_{false}, exclusionsOn_{false},
        englishContext_{kEnglishContextDefault}, saveFailed_{false};
    mutable std::mutex exclusionsMutex_;
    std::vector<Exclusion> exclusions_;
    // Last, so that observation stops before anything it uses goes.
    std::unique_ptr<DistributedNotifications::Token> observer_;
};

} // namespace vanto
