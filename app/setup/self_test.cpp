#include "self_test.h"

#include "pipeline/app_profile.h"
#include "pipeline/event_tap.h"
#include "pipeline/key_event.h"
#include "pipeline/screen.h"
#include "pipeline/typist.h"
#include "settings/exclusion.h"
#include "settings/settings.h"
#include "settings/unicode.h"
#include "setup/key_feed.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTO_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VANTO_ASAN 1
#endif

namespace vanto::SelfTest {

namespace {

struct TypingCase {
    const char* input;
    const char* expected;
    bool telex, stdTone, backspaceDeletesChar;
};

// "<" is Backspace and "~" Escape; every other character is its own key.
constexpr TypingCase kTypingCases[] = {
    {"tieengs vieejt ", "tiếng việt ", true, true, false},
    {"hoaf hoaf", "hòa hòa", true, true, false},
    {"hoaf", "hoà", true, false, false},
    {"vieetj <<s", "viết", true, true, false},
    {"vieetj~", "vieetj", true, true, false},
    {"user email ", "user email ", true, true, false},
    {"tie6ng1 Vie65t", "tiếng Việt", false, true, false},
    {"dduwowngf", "đường", true, true, false},
    {"Truyeenx Boong Loangf", "Truyễn Bông Loàng", true, true, false},
    {"muwa <<<", "mu", true, true, false},
    {"w ", "w ", true, true, false},
    {"vieetj<", "viêt", true, true, false},
    {"vieetj<", "việ", true, true, true},
    {"vieetj<n", "viện", true, true, true},
    {"vieetj <<", "việ", true, true, true},
    {"hoangf<<ng", "hoàng", true, true, true},
    {"Vieetj<<<<<<", "", true, true, true},
    {"vie65t<", "việ", false, true, true},
    {"affect arrow ", "affect arrow ", true, true, false},
    {"off ", "of ", true, true, false},
    {"chuwaaa ddiii ", "chưaaa điii ", true, true, false},
};
constexpr int kTypingCaseCount = static_cast<int>(std::size(kTypingCases));

[[maybe_unused]] constexpr std::size_t kWarmUpEvents = 2'000;
[[maybe_unused]] constexpr std::size_t kMeasuredEvents = 200'000;
[[maybe_unused]] constexpr std::int64_t kMemoryBound = 256 * 1024;

// Accepts every request and keeps nothing, so that memory measured around
// the tap path is the pipeline's own.
class NullTyping final : public KeyTyping {
  public:
    void type(std::string_view, std::int64_t, BeforeDeleting) override {}
};

class Run {
  public:
    Run(Platform& platform, std::FILE* out) : p_(platform), out_(out) {}

    int operator()() {
        p_.defaults.removePersistentDomain(kScratchDomain);
        typingCases();
        matcherAndProfiles();
        singleKeys();
        inlineSuggestions();
        decoding();
        const std::int64_t growth = memory();
        if (failures_ == 0) {
            std::fprintf(out_, "selftest ok (%d typing cases, tap +%lld KB / 200k events)\n",
                         kTypingCaseCount, static_cast<long long>(growth > 0 ? growth / 1024 : 0));
        } else {
            std::fprintf(out_, "selftest: %d failed\n", failures_);
        }
        p_.defaults.removePersistentDomain(kScratchDomain);
        return failures_ == 0 ? 0 : 1;
    }

  private:
    struct Rig {
        std::unique_ptr<UserDefaults> domain;
        std::unique_ptr<Settings> settings;
        KeyTyping* sender;
        std::unique_ptr<Typist> typist;
    };

    Rig rig(KeyTyping& sender, bool telex = true, bool stdTone = true, bool bsChar = false) {
        Rig r;
        r.domain = p_.defaults.suite(kScratchDomain);
        r.settings = std::make_unique<Settings>(*r.domain, p_.notifications, p_.propertyLists,
                                                p_.processInfo.processID());
        r.settings->setTelex(telex);
        r.settings->setStdTone(stdTone);
        r.settings->setBackspaceDeletesChar(bsChar);
        // The cases are those of typing without it, whatever its default.
        r.settings->setEnglishContext(false);
        r.sender = &sender;
        r.typist = std::make_unique<Typist>(*r.settings, sender, &p_.processInfo);
        return r;
    }

    bool feed(Typist& typist, Screen* screen, std::string_view c) {
        OwnedEvent e = makeKeyDown(p_.keyboardEvents, c);
        return e && feedKeyEvent(p_.keyboardEvents, typist, screen, e.get());
    }

    void feedAll(Typist& typist, Screen& screen, std::string_view input) {
        feedText(p_.keyboardEvents, typist, &screen, input);
    }

    void fail(const std::string& what) {
        std::fprintf(out_, "FAIL %s\n", what.c_str());
        ++failures_;
    }

    void typingCases() {
        for (const TypingCase& c : kTypingCases) {
            Screen screen;
            Rig r = rig(screen, c.telex, c.stdTone, c.backspaceDeletesChar);
            feedAll(*r.typist, screen, c.input);
            const std::string got = screen.text();
            if (got != c.expected)
                fail(std::string("[") + c.input + "]: want [" + c.expected + "] got [" + got + "]");
        }
    }

    void matcherAndProfiles() {
        const auto check = [&](const char* name, bool ok) {
            if (!ok) fail(name);
        };
        check("wildcard prefix", matches("com.adobe.*", "com.adobe.Photoshop"));
        check("wildcard needs the dot", !matches("com.adobe.*", "com.adobe"));
        check("url wildcard", matchesAny({"https://*.google.com/*"}, "https://mail.google.com/x"));
        const auto ignored = [](const char* id) {
            return AppProfile::make(id, {}, kOwnBundleID).ignored;
        };
        check("VMs ignored", ignored("com.parallels.desktop.console"));
        check("iPhone Mirroring ignored", ignored("com.apple.ScreenContinuity"));
        check("Jump Desktop ignored", ignored("com.p5sys.jump.mac.viewer.web"));
        check("TextEdit typed into", !ignored("com.apple.TextEdit"));
        check("user exclusion",
              AppProfile::make("com.apple.TextEdit", {Exclusion{"com.apple.*", true}}, kOwnBundleID)
                  .ignored);
    }

    void singleKeys() {
        Screen screen;
        Rig r = rig(screen);
        {
            std::lock_guard<std::mutex> guard(r.typist->lock);
            r.typist->frontApp = AppProfile::make("com.apple.TextEdit", {}, kOwnBundleID);
            r.typist->refreshApp();
        }
        if (feed(*r.typist, &screen, "A")) fail("Shift+A passes through");
        if (!feed(*r.typist, &screen, "A")) fail("AA -> Â is typed by Vanto");
        if (feed(*r.typist, &screen, " ")) fail("a plain space passes through");
    }

    void inlineSuggestions() {
        Screen screen;
        Rig r = rig(screen);
        Typist& t = *r.typist;
        const auto locked = [&](auto change) {
            std::lock_guard<std::mutex> guard(t.lock);
            change();
            t.refreshApp();
        };
        locked([&] {
            t.isActive = true;
            t.frontApp = AppProfile::make("com.apple.TextEdit", {}, kOwnBundleID);
            t.overlay = AppProfile::make("com.apple.Spotlight", {}, kOwnBundleID);
        });
        feedAll(t, screen, "go");
        screen.suggestion = u"ogle Chrome";
        feed(t, &screen, "x");
        if (screen.text() != "gõ")
            fail("Spotlight with a suggestion: want [gõ] got [" + screen.text() + "]");

        {
            // The arrow keys carry the numeric-pad and function flags.
            OwnedEvent e(p_.keyboardEvents,
                         p_.keyboardEvents.createKeyEvent(KeyCode::LeftArrow, true));
            p_.keyboardEvents.setFlags(e.get(),
                                       ModifierFlags::NumericPad | ModifierFlags::Function);
            const auto key = decodeKeyEvent(p_.keyboardEvents, EventType::KeyDown, e.get());
            std::lock_guard<std::mutex> guard(t.lock);
            if (key) t.handle(*key);
        }
        feedAll(t, screen, "cos");
        if (screen.lastBefore != BeforeDeleting::invisibleCharacter)
            fail("Spotlight after \xe2\x86\x90: want no forward delete");

        feed(t, &screen, " ");
        locked([&] { t.caretMoved = false; });
        feedAll(t, screen, "cos");
        if (screen.lastBefore != BeforeDeleting::forwardDelete)
            fail("Spotlight opened again: want a forward delete");

        feed(t, &screen, " ");
        locked([&] {
            t.overlay.reset();
            t.caretMoved = false;
        });
        feedAll(t, screen, "cos");
        if (screen.lastBefore != BeforeDeleting::invisibleCharacter)
            fail("Spotlight closed: want TextEdit's extra space");
    }

    void decoding() {
        OwnedEvent e = makeKeyDown(p_.keyboardEvents, "A");
        const auto key = decodeKeyEvent(p_.keyboardEvents, EventType::KeyDown, e.get());
        if (!key || key->characters != "A" || !(key->flags & ModifierFlags::Shift) ||
            key->keyCode != keyCodeForCharacter("A")) {
            fail("tap key decoding: got [" + (key ? key->characters : std::string()) + "] " +
                 std::to_string(key ? key->flags : 0));
        }
    }

    // Feeds key events through the tap's callback on a thread of its own and
    // returns how much the process grew over the measured part.
    std::int64_t memory() {
#if defined(VANTO_ASAN)
        // The sanitizer's quarantine keeps freed memory on purpose.
        std::fprintf(out_, "selftest: memory check skipped under AddressSanitizer\n");
        return 0;
#else
        NullTyping sender;
        Rig r = rig(sender);
        {
            std::lock_guard<std::mutex> guard(r.typist->lock);
            r.typist->isActive = true;
            r.typist->frontApp = AppProfile::make("com.apple.TextEdit", {}, kOwnBundleID);
            r.typist->refreshApp();
        }
        EventTap tap(p_.eventTapHost, p_.keyboardEvents, p_.accessibility, *r.typist,
                     p_.keyboardEvents.privateSourceStateID(), nullptr);
        std::int64_t growth = 0;
        std::atomic<bool> done{false};
        std::thread feeder([&] {
            static constexpr std::string_view kStream = "vieetj nam ddaats nuwowcs ";
            std::size_t at = 0;
            const auto feedEvents = [&](std::size_t count) {
                for (std::size_t i = 0; i < count; ++i) {
                    const bool down = i % 2 == 0;
                    const std::string_view c = kStream.substr(at % kStream.size(), 1);
                    if (!down) ++at;
                    p_.eventTapHost.withEventScope([&] {
                        OwnedEvent e = makeKeyDown(p_.keyboardEvents, c);
                        if (!e) return;
                        // As if from the keyboard, not from Vanto's own source.
                        p_.keyboardEvents.setIntegerField(e.get(), EventField::SourceStateID, 0);
                        tap.callback(down ? EventType::KeyDown : EventType::KeyUp, e.get(),
                                     nullptr);
                    });
                }
            };
            feedEvents(kWarmUpEvents);
            const auto before = static_cast<std::int64_t>(p_.processInfo.physicalFootprint());
            feedEvents(kMeasuredEvents);
            growth = static_cast<std::int64_t>(p_.processInfo.physicalFootprint()) - before;
            done = true;
        });
        while (!done) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        feeder.join();
        if (growth >= kMemoryBound)
            fail("event tap grew memory by " + std::to_string(growth / 1024) +
                 " KB over 200k events");
        return growth;
#endif
    }

    Platform& p_;
    std::FILE* out_;
    int failures_ = 0;
};

} // namespace

int run(Platform& platform, std::FILE* out) {
    return Run(platform, out)();
}

} // namespace vanto::SelfTest
