// While some process holds secure input the system hands no keystroke to
// the tap, and Vanto seems broken. A lock in the menu bar tells the user
// why, and clicking it explains.
#pragma once

#include "platform/secure_input.h"
#include "platform/status_item.h"

#include <functional>
#include <memory>
#include <string_view>

namespace vanto {

// The lock character U+1F512, then the product name.
inline constexpr std::string_view kLockItemTitle = "\xF0\x9F\x94\x92Vanto";

// Main loop only.
class SecureInputWatch {
  public:
    SecureInputWatch(SecureInput& secureInput, StatusBar& statusBar, std::function<void()> explain);

    // One poll. While Vanto is inactive and no lock is shown it asks
    // nothing: the user does not miss what is switched off. True when secure
    // input started, ended or passed to another process since the last poll.
    bool tick(bool active);
    // The process holding secure input at the last poll, 0 for none.
    int securePID() const { return securePID_; }
    bool lockShown() const { return lockItem_ != nullptr; }

  private:
    SecureInput& secureInput_;
    StatusBar& statusBar_;
    std::function<void()> explain_;
    int securePID_ = 0;
    std::unique_ptr<StatusBar::Item> lockItem_;
};

} // namespace vanto
