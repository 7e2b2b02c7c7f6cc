#include "event_tap.h"

#include "key_event.h"
#include "typist.h"

namespace vanto {

using Verdict = EventTapHost::Verdict;

EventTap::EventTap(EventTapHost& host, KeyboardEvents& events, Accessibility& accessibility,
                   Typist& typist, std::int64_t ownSourceStateID, Scheduler scheduler)
    : host_(host), events_(events), accessibility_(accessibility), typist_(typist),
      ownSourceStateID_(ownSourceStateID), scheduler_(std::move(scheduler)) {}

EventTap::~EventTap() {
    stop();
    waitUntilStopped();
}

void EventTap::start() {
    std::lock_guard<std::mutex> guard(stateLock_);
    if (thread_ || !accessibility_.isTrusted()) return;
    thread_ = true;
    stopRequested_ = false;
    host_.startThread(kThreadName, [this](EventTapHost::Loop& loop) { tapLoop(loop); });
}

void EventTap::tapLoop(EventTapHost::Loop& loop) {
    const auto forward = [this](EventType type, PlatformEvent* event, TapProxy* proxy) {
        return callback(type, event, proxy);
    };
    Location location = Location::HID;
    bool created = loop.createTap(kEventMask, location, forward);
    if (!created) {
        // The pipeline works the same behind the applications' own taps.
        location = Location::Session;
        created = loop.createTap(kEventMask, location, forward);
    }
    bool run = created;
    if (created) {
        std::lock_guard<std::mutex> guard(stateLock_);
        run = !stopRequested_;
        if (run) {
            loop_ = &loop;
            location_ = location;
            loop.setEnabled(wanted_);
        }
    }
    if (run) loop.run();
    // All of it under the lock, the notification included: once thread_ is
    // false the owner may return from waitUntilStopped() and be destroyed,
    // or start the next tap thread, so nothing of this object may be
    // touched after the lock is released.
    std::lock_guard<std::mutex> guard(stateLock_);
    if (created) loop.tearDown();
    loop_ = nullptr;
    swallowed_.reset();
    thread_ = false;
    stopped_.notify_all();
}

void EventTap::stop() {
    std::lock_guard<std::mutex> guard(stateLock_);
    if (loop_)
        loop_->stop();
    else if (thread_)
        stopRequested_ = true;
}

void EventTap::restart() {
    stop();
    if (scheduler_) scheduler_(kRestartDelay, [this] { start(); });
}

void EventTap::setWanted(bool wanted) {
    std::lock_guard<std::mutex> guard(stateLock_);
    wanted_ = wanted;
    if (loop_) loop_->setEnabled(wanted);
}

bool EventTap::isRunning() {
    std::lock_guard<std::mutex> guard(stateLock_);
    return loop_ != nullptr;
}

std::optional<EventTap::Location> EventTap::location() {
    std::lock_guard<std::mutex> guard(stateLock_);
    if (!loop_) return std::nullopt;
    return location_;
}

void EventTap::waitUntilStopped() {
    std::unique_lock<std::mutex> guard(stateLock_);
    stopped_.wait(guard, [this] { return !thread_; });
}

Verdict EventTap::callback(EventType type, PlatformEvent* event, TapProxy* proxy) noexcept {
    try {
        // Vanto's own keystrokes are recognised before any other work.
        if (event && type != EventType::TapDisabledByTimeout &&
            type != EventType::TapDisabledByUserInput &&
            events_.integerField(event, EventField::SourceStateID) == ownSourceStateID_)
            return Verdict::Pass;
        return dispatch(type, event, proxy);
    } catch (...) {
        // The system calls through C frames that no exception may cross;
        // the event goes on as if Vanto were not there.
        return Verdict::Pass;
    }
}

Verdict EventTap::dispatch(EventType type, PlatformEvent* event, TapProxy* proxy) {
    switch (type) {
    case EventType::TapDisabledByTimeout:
    case EventType::TapDisabledByUserInput: {
        std::lock_guard<std::mutex> guard(stateLock_);
        if (wanted_ && loop_) loop_->setEnabled(true);
        return Verdict::Pass;
    }
    case EventType::LeftMouseDown:
    case EventType::RightMouseDown:
    case EventType::OtherMouseDown: {
        // A click may put the caret anywhere, even in another field: the
        // word on screen is no longer where the span says, and a mark that
        // no word starts here was about the old place.
        std::lock_guard<std::mutex> guard(typist_.lock);
        typist_.caretMoved = true;
        typist_.leaveField();
        return Verdict::Pass;
    }
    case EventType::KeyUp: {
        const auto code =
            static_cast<std::uint16_t>(events_.integerField(event, EventField::KeyCode));
        if (!swallowed_.test(code)) return Verdict::Pass;
        swallowed_.reset(code);
        return Verdict::Drop;
    }
    case EventType::KeyDown: {
        const auto key = decodeKeyEvent(events_, type, event);
        if (!key || key->keyCode == KeyCode::Globe) return Verdict::Pass;
        const bool swallow = typist_.process(*key, proxy);
        swallowed_.set(static_cast<std::uint16_t>(key->keyCode), swallow);
        return swallow ? Verdict::Drop : Verdict::Pass;
    }
    case EventType::FlagsChanged: {
        if (const auto key = decodeKeyEvent(events_, type, event)) typist_.process(*key, proxy);
        return Verdict::Pass;
    }
    }
    return Verdict::Pass;
}

} // namespace vanto
