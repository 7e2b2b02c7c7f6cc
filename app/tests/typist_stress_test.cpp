// The typist as the running agent uses it from two threads at once: keys
// arrive on the tap thread while the main thread applies settings, forgets
// the word on a focus change, follows the application in front and ends
// words. Built with ThreadSanitizer, any access its lock does not cover is
// reported; in the other builds it checks that nothing breaks or hangs.
#include "pipeline/event_tap.h"
#include "pipeline_rig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace vanto {
namespace {

constexpr int kMainThreadRounds = 600;

struct Key {
    std::uint16_t code;
    char16_t text;
};

// Words, separators, Backspace and Return: every path through the typist.
std::vector<Key> keyboardScript() {
    std::vector<Key> keys;
    for (char16_t c : std::u16string_view(u"vieetj tieengs dduwowngf<< aa\r hoaf1 ")) {
        const std::uint16_t code = c == u'<'    ? KeyCode::Delete
                                   : c == u'\r' ? KeyCode::Return
                                   : c == u' '  ? KeyCode::Space
                                   : c == u'1'  ? KeyCode::Digits[1]
                                                : 50;
        keys.push_back({code, c == u'<' ? u'\x7f' : c});
    }
    return keys;
}

TEST(TypistStress, KeysOnTheTapThreadWhileTheMainThreadChangesTheTypist) {
    testing::PipelineRig rig;
    PortableEventTapHost host;
    PortableAccessibility trusted;
    EventTap tap{host, rig.events, trusted, rig.typist, rig.events.privateSourceStateID(), nullptr};
    tap.start();
    ASSERT_TRUE(host.waitForTap(5));
    tap.setWanted(true);

    std::atomic<bool> typing{true};
    std::atomic<int> swallowed{0};
    std::thread keyboard([&] {
        const std::vector<Key> script = keyboardScript();
        while (typing) {
            for (const Key& k : script) {
                PlatformEvent e = PortableKeyboardEvents::userKey(EventType::KeyDown, k.code,
                                                                  std::u16string(1, k.text), 0);
                if (host.deliver(EventType::KeyDown, &e) == EventTapHost::Verdict::Drop)
                    ++swallowed;
            }
        }
    });

    const AppProfile spotlight = AppProfile::make("com.apple.Spotlight", {}, kOwnBundleID);
    // Until both threads have had their share; bounded should the tap never
    // swallow a key.
    for (int round = 0;
         round < kMainThreadRounds || (swallowed < 50 && round < 100 * kMainThreadRounds);
         ++round) {
        if (round % 50 == 0) {
            rig.settings.setTelex(round % 100 == 0);
            rig.settings.setBackspaceDeletesChar(round % 150 == 0);
        }
        rig.typist.applySettings();
        std::lock_guard<std::mutex> guard(rig.typist.lock);
        switch (round % 4) {
        case 0:
            rig.typist.reset();
            break;
        case 1:
            rig.typist.overlay = round % 8 == 1 ? std::optional(spotlight) : std::nullopt;
            rig.typist.caretMoved = false;
            rig.typist.refreshApp();
            break;
        case 2:
            rig.typist.commit();
            break;
        case 3:
            rig.typist.isActive = round % 12 != 3;
            break;
        }
    }
    typing = false;
    keyboard.join();
    tap.stop();
    tap.waitUntilStopped();
    EXPECT_GE(swallowed.load(), 50) << "the tap thread typed while the main thread worked";

    // The typist is whole afterwards: a fresh word composes as always.
    {
        std::lock_guard<std::mutex> guard(rig.typist.lock);
        rig.typist.isActive = true;
        rig.typist.overlay.reset();
        rig.typist.refreshApp();
        rig.typist.reset();
    }
    rig.settings.setTelex(true);
    rig.typist.applySettings();
    rig.type("vieetj");
    EXPECT_EQ(rig.typist.lastTyped(), "việt");
}

} // namespace
} // namespace vanto
