// Distributed notifications between the processes of the user.
#pragma once

#include "platform/notifications.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace vanto {

struct NotificationRegistry;
class NotificationSocket;

// The hub calls the observers of its own process synchronously on the
// posting thread, before post() returns, without holding its lock (an
// observer may post or observe in turn). Destroying a token waits for a call
// of its callback running on another thread, so after that the callback's
// captures may go.
//
// Given a folder, the hub also reaches the hubs of other processes that use
// the same folder: each hub that observes anything has a datagram socket
// there, and a post is sent to every socket but its own (one whose process
// is gone is removed). What arrives from another process is handed to
// deliver, which runs it where observers expect to be called (the main
// loop), as the system's center calls them on the main thread.
class PortableNotificationHub final : public DistributedNotifications {
  public:
    using Deliver = std::function<void(std::function<void()>)>;

    // Within this process only.
    PortableNotificationHub();
    PortableNotificationHub(std::filesystem::path folder, Deliver deliver);
    ~PortableNotificationHub() override;
    PortableNotificationHub(const PortableNotificationHub&) = delete;
    PortableNotificationHub& operator=(const PortableNotificationHub&) = delete;

    void post(std::string_view name, const std::optional<std::string>& object) override;
    std::unique_ptr<Token> observe(std::string_view name, Callback callback) override;

    // $XDG_RUNTIME_DIR/vanto when that is an absolute path, else a folder in
    // the application's user caches; empty without a home folder.
    static std::filesystem::path defaultFolder();

  private:
    // Tokens share it, so one may outlive the hub.
    std::shared_ptr<NotificationRegistry> registry_;
    const std::filesystem::path folder_;
    const Deliver deliver_;
    std::unique_ptr<NotificationSocket> socket_; // made at the first observe()
};

} // namespace vanto
