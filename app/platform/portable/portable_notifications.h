// Distributed notifications within one process.
#pragma once

#include "platform/notifications.h"

#include <memory>

namespace vanto {

struct NotificationRegistry;

// Reaches only the observers of this process. Unlike the system's center,
// which calls observers on the main thread, the hub calls them synchronously
// on the posting thread, before post() returns, without holding its lock (an
// observer may post or observe in turn). Destroying a token waits for a call
// of its callback running on another thread, so after that the callback's
// captures may go.
class PortableNotificationHub final : public DistributedNotifications {
  public:
    PortableNotificationHub();
    void post(std::string_view name, const std::optional<std::string>& object) override;
    std::unique_ptr<Token> observe(std::string_view name, Callback callback) override;

  private:
    // Tokens share it, so one may outlive the hub.
    std::shared_ptr<NotificationRegistry> registry_;
};

} // namespace vanto
