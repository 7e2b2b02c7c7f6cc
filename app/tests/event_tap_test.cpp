// The tap's dispatch, on a real thread fed by the portable host.
#include "pipeline/event_tap.h"
#include "pipeline_rig.h"

#include <gtest/gtest.h>

#include <thread>

namespace vanto {
namespace {

using Verdict = EventTapHost::Verdict;

class Untrusted final : public Accessibility {
  public:
    bool isTrusted() override { return false; }
};

class EventTapTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tap.start();
        ASSERT_TRUE(host.waitForTap(5));
        tap.setWanted(true);
    }

    // A key event as the keyboard makes it.
    Verdict deliver(EventType type, std::uint16_t keyCode, std::u16string text = u"",
                    std::uint64_t flags = 0) {
        PlatformEvent e = PortableKeyboardEvents::userKey(type, keyCode, std::move(text), flags);
        return host.deliver(type, &e);
    }
    Verdict letter(char16_t c, EventType type = EventType::KeyDown) {
        return deliver(type, 50, std::u16string(1, c));
    }
    std::uint64_t liveKeys() {
        std::lock_guard<std::mutex> guard(rig.typist.lock);
        return vt_engine_raw_len(rig.typist.engine().ptr());
    }

    testing::PipelineRig rig;
    PortableEventTapHost host;
    PortableAccessibility trusted;
    EventTap tap{host, rig.events, trusted, rig.typist, rig.events.privateSourceStateID(), nullptr};
};

TEST_F(EventTapTest, KeyUpFollowsItsKeyDown) {
    EXPECT_EQ(letter(u'a'), Verdict::Pass);
    EXPECT_EQ(letter(u'a', EventType::KeyUp), Verdict::Pass);
    EXPECT_EQ(letter(u'a'), Verdict::Drop); // "aa" is rewritten as "â"
    EXPECT_EQ(letter(u'a', EventType::KeyUp), Verdict::Drop);
    EXPECT_EQ(letter(u'a', EventType::KeyUp), Verdict::Pass); // no key-down seen
}

TEST_F(EventTapTest, OwnEventsAndTheGlobeKeyPassUntouched) {
    letter(u'v');
    OwnedEvent own(rig.events, rig.events.createKeyEvent(0, true));
    rig.events.setUnicodeString(own.get(), u"x");
    EXPECT_EQ(host.deliver(EventType::KeyDown, own.get()), Verdict::Pass);
    EXPECT_EQ(deliver(EventType::KeyDown, KeyCode::Globe, u"\U0000F746"), Verdict::Pass);
    EXPECT_EQ(liveKeys(), 1u);
}

TEST_F(EventTapTest, ClickForgetsTheWord) {
    letter(u'v');
    letter(u'i');
    EXPECT_EQ(deliver(EventType::LeftMouseDown, 0), Verdict::Pass);
    EXPECT_EQ(liveKeys(), 0u);
    std::lock_guard<std::mutex> guard(rig.typist.lock);
    EXPECT_TRUE(rig.typist.caretMoved);
}

TEST_F(EventTapTest, ModifierChangesPassAndEndTheWord) {
    letter(u'v');
    EXPECT_EQ(deliver(EventType::FlagsChanged, 55, u"", ModifierFlags::Command), Verdict::Pass);
    EXPECT_EQ(liveKeys(), 0u);
}

TEST_F(EventTapTest, ReenabledAfterTimeoutOnlyWhileWanted) {
    host.disableByTimeout();
    EXPECT_TRUE(host.tapEnabled());
    tap.setWanted(false);
    host.disableByTimeout();
    EXPECT_FALSE(host.tapEnabled());
    EXPECT_EQ(letter(u'v'), Verdict::Pass); // a disabled tap sees nothing
    EXPECT_EQ(liveKeys(), 0u);
}

TEST_F(EventTapTest, StopEndsTheThreadAndStartCanFollow) {
    tap.stop();
    tap.waitUntilStopped();
    EXPECT_FALSE(tap.isRunning());
    EXPECT_EQ(letter(u'v'), Verdict::Pass);
    tap.start();
    ASSERT_TRUE(host.waitForTap(5));
    EXPECT_EQ(letter(u'v'), Verdict::Pass);
    EXPECT_EQ(liveKeys(), 1u); // wanted survived the restart
}

TEST(EventTap, DoesNotStartWithoutPermission) {
    // Counts the threads asked for; each ends at once, its tap not created.
    class CountingHost final : public EventTapHost {
      public:
        ~CountingHost() override {
            if (thread.joinable()) thread.join();
        }
        void startThread(const char*, std::function<void(Loop&)> body) override {
            ++started;
            thread = std::thread([body] {
                NoTap loop;
                body(loop);
            });
        }
        int started = 0;

      private:
        struct NoTap final : Loop {
            bool createTap(std::uint64_t, Location, Callback) override { return false; }
            void run() override {}
            void tearDown() override {}
            void setEnabled(bool) override {}
            void stop() override {}
        };
        std::thread thread;
    };
    testing::PipelineRig rig;
    CountingHost host;
    Untrusted untrusted;
    EventTap tap(host, rig.events, untrusted, rig.typist, 1, nullptr);
    tap.start();
    EXPECT_EQ(host.started, 0);
    EXPECT_FALSE(tap.isRunning());
}

} // namespace
} // namespace vanto
