#include "portable_events.h"

#include <chrono>
#include <thread>
#include <utility>

namespace vanto {

PlatformEvent* PortableKeyboardEvents::createKeyEvent(std::uint16_t keyCode, bool keyDown) {
    auto* e = new PlatformEvent;
    e->type = keyDown ? EventType::KeyDown : EventType::KeyUp;
    e->keyCode = keyCode;
    e->sourceStateID = kPrivateSourceStateID;
    return e;
}

std::int64_t PortableKeyboardEvents::integerField(PlatformEvent* event, EventField field) {
    switch (field) {
    case EventField::KeyCode:
        return event->keyCode;
    case EventField::KeyboardType:
        return event->keyboardType;
    case EventField::SourceStateID:
        return event->sourceStateID;
    }
    return 0;
}

void PortableKeyboardEvents::setIntegerField(PlatformEvent* event, EventField field,
                                             std::int64_t value) {
    switch (field) {
    case EventField::KeyCode:
        event->keyCode = static_cast<std::uint16_t>(value);
        break;
    case EventField::KeyboardType:
        event->keyboardType = value;
        break;
    case EventField::SourceStateID:
        event->sourceStateID = value;
        break;
    }
}

void PortableKeyboardEvents::post(PlatformEvent* event, TapProxy* proxy) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (recording_) posted_.push_back({*event, proxy != nullptr});
}

std::vector<PortableKeyboardEvents::Posted> PortableKeyboardEvents::takePosted() {
    std::lock_guard<std::mutex> guard(mutex_);
    return std::exchange(posted_, {});
}

void PortableKeyboardEvents::setRecording(bool on) {
    std::lock_guard<std::mutex> guard(mutex_);
    recording_ = on;
    if (!on) posted_.clear();
}

PlatformEvent PortableKeyboardEvents::userKey(EventType type, std::uint16_t keyCode,
                                              std::u16string text, std::uint64_t flags) {
    PlatformEvent e;
    e.type = type;
    e.keyCode = keyCode;
    e.text = std::move(text);
    e.flags = flags;
    return e;
}

// One tap's loop: runs delivered events on its thread until stopped.
class PortableEventTapHost::PortableLoop final : public EventTapHost::Loop {
  public:
    explicit PortableLoop(PortableEventTapHost& host) : host_(host) {}
    std::weak_ptr<PortableLoop> self;

    bool createTap(std::uint64_t mask, Callback callback) override {
        mask_ = mask;
        callback_ = std::move(callback);
        return true;
    }

    void run() override {
        {
            std::lock_guard<std::mutex> guard(host_.mutex_);
            host_.current_ = self.lock();
        }
        host_.changed_.notify_all();
        std::unique_lock<std::mutex> guard(mutex_);
        while (!stopped_) {
            wake_.wait(guard, [this] { return stopped_ || !queue_.empty(); });
            while (!queue_.empty()) {
                Request* r = queue_.front();
                queue_.pop_front();
                guard.unlock();
                r->verdict = callback_(r->type, r->event, reinterpret_cast<TapProxy*>(this));
                guard.lock();
                r->done = true;
                done_.notify_all();
            }
        }
    }

    void tearDown() override {
        {
            // Unregistered before the tap's owner hears that its thread ended.
            std::lock_guard<std::mutex> guard(host_.mutex_);
            if (host_.current_.get() == this) host_.current_.reset();
        }
        std::lock_guard<std::mutex> guard(mutex_);
        enabled_ = false;
        stopped_ = true;
        // Whatever is still waiting goes on unfiltered.
        for (Request* r : queue_) r->done = true;
        queue_.clear();
        done_.notify_all();
    }

    void setEnabled(bool enabled) override {
        std::lock_guard<std::mutex> guard(mutex_);
        enabled_ = enabled;
    }

    void stop() override {
        std::lock_guard<std::mutex> guard(mutex_);
        stopped_ = true;
        wake_.notify_all();
    }

    Verdict deliver(EventType type, PlatformEvent* event) {
        Request r{type, event};
        std::unique_lock<std::mutex> guard(mutex_);
        const bool special =
            type == EventType::TapDisabledByTimeout || type == EventType::TapDisabledByUserInput;
        if (stopped_ ||
            (!special && (!enabled_ || !(mask_ & (1ull << static_cast<unsigned>(type))))))
            return Verdict::Pass;
        queue_.push_back(&r);
        wake_.notify_all();
        done_.wait(guard, [&] { return r.done; });
        return r.verdict;
    }

    bool enabled() {
        std::lock_guard<std::mutex> guard(mutex_);
        return enabled_;
    }

  private:
    struct Request {
        EventType type;
        PlatformEvent* event;
        Verdict verdict = Verdict::Pass;
        bool done = false;
    };
    PortableEventTapHost& host_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::deque<Request*> queue_;
    std::uint64_t mask_ = 0;
    Callback callback_;
    bool enabled_ = false;
    bool stopped_ = false;
};

PortableEventTapHost::~PortableEventTapHost() {
    for (auto& t : threads_)
        if (t.joinable()) t.join();
}

void PortableEventTapHost::startThread(const char*, std::function<void(Loop&)> body) {
    std::lock_guard<std::mutex> guard(mutex_);
    threads_.emplace_back([this, body = std::move(body)] {
        auto loop = std::make_shared<PortableLoop>(*this);
        loop->self = loop;
        body(*loop);
        loop->tearDown(); // answers anything still queued
        changed_.notify_all();
    });
}

EventTapHost::Verdict PortableEventTapHost::deliver(EventType type, PlatformEvent* event) {
    std::unique_lock<std::mutex> guard(mutex_);
    std::shared_ptr<PortableLoop> loop = current_;
    guard.unlock();
    return loop ? loop->deliver(type, event) : Verdict::Pass;
}

void PortableEventTapHost::disableByTimeout() {
    std::unique_lock<std::mutex> guard(mutex_);
    std::shared_ptr<PortableLoop> loop = current_;
    guard.unlock();
    if (!loop) return;
    loop->setEnabled(false);
    loop->deliver(EventType::TapDisabledByTimeout, nullptr);
}

bool PortableEventTapHost::tapEnabled() {
    std::unique_lock<std::mutex> guard(mutex_);
    std::shared_ptr<PortableLoop> loop = current_;
    guard.unlock();
    return loop && loop->enabled();
}

bool PortableEventTapHost::waitForTap(double seconds) {
    std::unique_lock<std::mutex> guard(mutex_);
    return changed_.wait_for(guard, std::chrono::duration<double>(seconds),
                             [this] { return current_ != nullptr; });
}

} // namespace vanto
