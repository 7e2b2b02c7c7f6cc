#include "portable_notifications.h"

#include "pipeline/app_profile.h"
#include "portable_bundle.h"
#include "portable_files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
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

namespace fs = std::filesystem;

namespace {

using Observer = NotificationObserver;
using Registry = NotificationRegistry;

// One datagram: the name, a NUL, and for an object a 1 byte and the object.
std::string encodeMessage(std::string_view name, const std::optional<std::string>& object) {
    std::string message(name);
    message.push_back('\0');
    if (object) message += '\1' + *object;
    return message;
}

bool decodeMessage(std::string_view message, std::string& name,
                   std::optional<std::string>& object) {
    const std::size_t end = message.find('\0');
    if (end == std::string_view::npos) return false;
    name = message.substr(0, end);
    const std::string_view rest = message.substr(end + 1);
    if (rest.empty())
        object.reset();
    else if (rest.front() == '\1')
        object = std::string(rest.substr(1));
    else
        return false;
    return true;
}

bool socketAddress(const fs::path& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    const std::string& text = path.native();
    if (text.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return true;
}

// Sends message to every socket in folder but own. A socket nobody
// receives on any more belongs to a process that is gone.
void sendToOthers(const fs::path& folder, const fs::path& own, const std::string& message) {
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->path() == own) continue;
        std::error_code kind;
        if (!it->is_socket(kind)) continue;
        sockaddr_un address;
        if (!socketAddress(it->path(), address)) continue;
        // Never waits: a process that does not read its messages loses them
        // rather than holding up the one that posts.
        if (::sendto(fd, message.data(), message.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                     reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0 &&
            errno == ECONNREFUSED)
            ::unlink(it->path().c_str());
    }
    ::close(fd);
}

// Observers of the name, called outside every lock.
void deliverLocally(Registry& registry, std::string_view name,
                    const std::optional<std::string>& object);

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

namespace {

void deliverLocally(Registry& registry, std::string_view name,
                    const std::optional<std::string>& object) {
    std::vector<std::shared_ptr<Observer>> targets;
    {
        std::lock_guard lock(registry.mutex);
        for (const auto& observer : registry.observers)
            if (observer->name == name) targets.push_back(observer);
    }
    for (const auto& observer : targets) {
        const Call call(*observer);
        if (call.admitted()) observer->callback(object);
    }
}

} // namespace

// This process's socket and the thread that receives on it.
class NotificationSocket {
  public:
    using Received = std::function<void(std::string, std::optional<std::string>)>;

    NotificationSocket(const fs::path& folder, Received received) : received_(std::move(received)) {
        static std::atomic<unsigned> next{0};
        if (makeFolders(folder, 0700)) return;
        path_ = folder / (std::to_string(::getpid()) + "-" + std::to_string(next++));
        sockaddr_un address;
        if (!socketAddress(path_, address)) return;
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd_ < 0) return;
        ::unlink(path_.c_str()); // left by an earlier process of the same id
        // The receiving thread looks at stop_ this often.
        const timeval wake{0, 200 * 1000};
        if (::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &wake, sizeof wake) != 0) {
            ::close(fd_);
            fd_ = -1;
            return;
        }
        thread_ = std::thread([this] { receive(); });
    }
    ~NotificationSocket() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (fd_ >= 0) {
            ::close(fd_);
            ::unlink(path_.c_str());
        }
    }
    NotificationSocket(const NotificationSocket&) = delete;
    NotificationSocket& operator=(const NotificationSocket&) = delete;

    const fs::path& path() const { return path_; }

  private:
    void receive() {
        std::string buffer(64 * 1024, '\0');
        while (!stop_) {
            const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
            if (n < 0) continue; // the wake-up, or an interruption
            std::string name;
            std::optional<std::string> object;
            if (decodeMessage(std::string_view(buffer.data(), static_cast<std::size_t>(n)), name,
                              object))
                received_(std::move(name), std::move(object));
        }
    }

    const Received received_;
    fs::path path_;
    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

PortableNotificationHub::PortableNotificationHub() : registry_(std::make_shared<Registry>()) {}

PortableNotificationHub::PortableNotificationHub(fs::path folder, Deliver deliver)
    : registry_(std::make_shared<Registry>()), folder_(std::move(folder)),
      deliver_(std::move(deliver)) {}

PortableNotificationHub::~PortableNotificationHub() = default;

void PortableNotificationHub::post(std::string_view name,
                                   const std::optional<std::string>& object) {
    deliverLocally(*registry_, name, object);
    if (folder_.empty()) return;
    fs::path own;
    {
        std::lock_guard lock(registry_->mutex);
        if (socket_) own = socket_->path();
    }
    sendToOthers(folder_, own, encodeMessage(name, object));
}

std::unique_ptr<DistributedNotifications::Token>
PortableNotificationHub::observe(std::string_view name, Callback callback) {
    auto observer = std::make_shared<Observer>();
    observer->name = std::string(name);
    observer->callback = std::move(callback);
    {
        std::lock_guard lock(registry_->mutex);
        registry_->observers.push_back(observer);
        if (!socket_ && !folder_.empty() && deliver_) {
            // The registry outlives the hub's socket, whose thread ends
            // before the hub does; deliver may run a message later.
            std::weak_ptr<Registry> registry = registry_;
            socket_ = std::make_unique<NotificationSocket>(
                folder_, [registry, deliver = deliver_](std::string name,
                                                        std::optional<std::string> object) {
                    deliver([registry, name = std::move(name), object = std::move(object)] {
                        if (const auto alive = registry.lock())
                            deliverLocally(*alive, name, object);
                    });
                });
        }
    }
    return std::make_unique<HubToken>(registry_, std::move(observer));
}

fs::path PortableNotificationHub::defaultFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/')
        return fs::path(runtime) / "vanto";
    const fs::path caches = PortableInstanceLock::cachesFolder();
    if (caches.empty()) return {};
    return caches / std::string(kOwnBundleID) / "notifications";
}

} // namespace vanto
