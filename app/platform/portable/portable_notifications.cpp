#include "portable_notifications.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace vanto {

struct NotificationObserver {
    using Callback = DistributedNotifications::Callback;
    std::string name;
    Callback callback;
    std::mutex mutex; // guards running and removed
    std::condition_variable idle;
    int running = 0;
    bool removed = false;
};

struct NotificationRegistry {
    std::mutex mutex;
    std::vector<std::shared_ptr<NotificationObserver>> observers;
};

namespace {

using Observer = NotificationObserver;
using Registry = NotificationRegistry;

// The observers whose callbacks this thread is inside, innermost last: a
// callback may destroy its own token, which must not wait for itself.
thread_local std::vector<const Observer*> callingNow;

class HubToken final : public DistributedNotifications::Token {
  public:
    HubToken(std::weak_ptr<Registry> registry, std::shared_ptr<Observer> observer)
        : registry_(std::move(registry)), observer_(std::move(observer)) {}

    ~HubToken() override {
        if (auto registry = registry_.lock()) {
            std::lock_guard lock(registry->mutex);
            std::erase(registry->observers, observer_);
        }
        const auto own = std::count(callingNow.begin(), callingNow.end(), observer_.get());
        std::unique_lock lock(observer_->mutex);
        observer_->removed = true;
        observer_->idle.wait(lock, [&] { return observer_->running == own; });
    }

  private:
    std::weak_ptr<Registry> registry_;
    std::shared_ptr<Observer> observer_;
};

// Marks one call of an observer's callback for as long as it runs.
class Call {
  public:
    explicit Call(Observer& observer) : observer_(observer) {
        std::lock_guard lock(observer_.mutex);
        admitted_ = !observer_.removed;
        if (!admitted_) return;
        ++observer_.running;
        callingNow.push_back(&observer_);
    }
    ~Call() {
        if (!admitted_) return;
        callingNow.pop_back();
        std::lock_guard lock(observer_.mutex);
        --observer_.running;
        observer_.idle.notify_all();
    }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;
    bool admitted() const { return admitted_; }

  private:
    Observer& observer_;
    bool admitted_ = false;
};

} // namespace

PortableNotificationHub::PortableNotificationHub() : registry_(std::make_shared<Registry>()) {}

void PortableNotificationHub::post(std::string_view name,
                                   const std::optional<std::string>& object) {
    std::vector<std::shared_ptr<Observer>> targets;
    {
        std::lock_guard lock(registry_->mutex);
        for (const auto& observer : registry_->observers)
            if (observer->name == name) targets.push_back(observer);
    }
    for (const auto& observer : targets) {
        const Call call(*observer);
        if (call.admitted()) observer->callback(object);
    }
}

std::unique_ptr<DistributedNotifications::Token>
PortableNotificationHub::observe(std::string_view name, Callback callback) {
    auto observer = std::make_shared<Observer>();
    observer->name = std::string(name);
    observer->callback = std::move(callback);
    {
        std::lock_guard lock(registry_->mutex);
        registry_->observers.push_back(observer);
    }
    return std::make_unique<HubToken>(registry_, std::move(observer));
}

} // namespace vanto
