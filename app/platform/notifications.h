// Port: distributed notifications, the messages all processes of the user
// can post and observe.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vanto {

class DistributedNotifications {
  public:
    using Callback = std::function<void(const std::optional<std::string>& object)>;

    // Observation lasts as long as its token; destroying the token (on the
    // main thread) stops it.
    class Token {
      public:
        virtual ~Token() = default;
    };

    virtual ~DistributedNotifications() = default;
    // Delivered at once, not coalesced or held back while the receiver is in
    // the background.
    virtual void post(std::string_view name, const std::optional<std::string>& object) = 0;
    // Every notification of that name, from any process, on the main thread.
    virtual std::unique_ptr<Token> observe(std::string_view name, Callback callback) = 0;
};

} // namespace vanto
