// A typist writing into an in-memory screen, on a scratch settings domain.
#pragma once

#include "pipeline/app_profile.h"
#include "pipeline/screen.h"
#include "pipeline/typist.h"
#include "platform/portable/portable_platform.h"
#include "settings/settings.h"
#include "setup/key_feed.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vanto::testing {

// A fresh folder under the system's temporary directory, removed afterwards.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vanto-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Every request the typist makes, then applied to a screen.
class RecordingScreen final : public KeyTyping {
  public:
    struct Request {
        std::string text;
        std::int64_t deleting;
        BeforeDeleting before;
    };
    void type(std::string_view text, std::int64_t deleting, BeforeDeleting before) override {
        requests.push_back({std::string(text), deleting, before});
        screen.type(text, deleting, before);
    }
    Screen screen;
    std::vector<Request> requests;
};

struct Options {
    bool telex = true, spellCheck = true, stdTone = true, backspaceDeletesChar = false,
         englishContext = false;
    std::string app = "com.apple.TextEdit";
};

class PipelineRig {
  public:
    explicit PipelineRig(const Options& o = {})
        : defaults_(folder_.path()), domain_(defaults_.suite("norbel.inputmethod.Vanto.test")),
          settings(*domain_, notifications_, plists_, 4242), typist(settings, sender) {
        settings.setTelex(o.telex);
        settings.setSpellCheck(o.spellCheck);
        settings.setStdTone(o.stdTone);
        settings.setBackspaceDeletesChar(o.backspaceDeletesChar);
        settings.setEnglishContext(o.englishContext);
        typist.applySettings();
        focus(o.app);
    }

    void focus(const std::string& app) {
        std::lock_guard<std::mutex> guard(typist.lock);
        typist.isActive = true;
        typist.frontApp = AppProfile::make(app, {}, kOwnBundleID);
        typist.refreshApp();
    }

    // One key; "<" Backspace, "~" Escape. Returns whether it was swallowed.
    bool key(std::string_view c, std::uint64_t flags = 0, std::int64_t keyCode = -1) {
        OwnedEvent e = makeKeyDown(events, c);
        if (flags) events.setFlags(e.get(), flags | events.flags(e.get()));
        if (keyCode >= 0) events.setIntegerField(e.get(), EventField::KeyCode, keyCode);
        return feedKeyEvent(events, typist, &sender.screen, e.get(), true);
    }
    void type(std::string_view keys) { feedText(events, typist, &sender.screen, keys, true); }
    std::string text() const { return sender.screen.text(); }

    PortableKeyboardEvents events;

  private:
    TempFolder folder_;
    PortableUserDefaultsProvider defaults_;
    std::unique_ptr<UserDefaults> domain_;
    PortableNotificationHub notifications_;
    PortablePropertyLists plists_;

  public:
    Settings settings;
    RecordingScreen sender;
    Typist typist;
};

} // namespace vanto::testing
