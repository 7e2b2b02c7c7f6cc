#include "secure_input_watch.h"

#include <algorithm>
#include <string>

namespace vanto {

SecureInputWatch::SecureInputWatch(SecureInput& secureInput, StatusBar& statusBar,
                                   std::function<void()> explain)
    : secureInput_(secureInput), statusBar_(statusBar), explain_(std::move(explain)) {}

bool SecureInputWatch::tick(bool active) {
    if (!active && securePID_ == 0) return false;
    const int pid = std::max(0, secureInput_.holderProcessID());
    if (pid == securePID_) return false;
    securePID_ = pid;
    if (pid == 0) {
        lockItem_.reset();
    } else if (!lockItem_) {
        lockItem_ = statusBar_.add(std::string(kLockItemTitle), [this] {
            if (explain_) explain_();
        });
    }
    return true;
}

} // namespace vanto
