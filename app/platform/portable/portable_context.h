// Stand-ins for the macOS-only services the application shell watches:
// focus inside another application, secure input, browser scripting and the
// menu bar. Each starts in the quiet state of a system where nothing
// happens, and whoever plays the system (tests, the terminal tools) drives
// it. Observers and actions are called synchronously on the driving thread,
// which stands in for the main loop.
#pragma once

#include "platform/accessibility_client.h"
#include "platform/browser_scripting.h"
#include "platform/secure_input.h"
#include "platform/status_item.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vanto {

struct FocusObservers;
struct StatusItems;

class PortableAccessibilityClient final : public AccessibilityClient {
  public:
    PortableAccessibilityClient();
    ~PortableAccessibilityClient() override;
    std::unique_ptr<Observation> observeFocus(int processID, FocusHandlers handlers) override;
    void promptForTrust() override { ++trustPrompts_; }

    // While refusing, observeFocus gives nothing.
    void setRefusing(bool refusing) { refusing_ = refusing; }
    // Playing the system for the observed application with that process
    // identifier; nothing happens when it is not observed.
    void focus(int processID, bool isTextField);
    void hide(int processID);
    // The process identifiers observed now, one entry per observation.
    std::vector<int> observed();
    int trustPrompts() const { return trustPrompts_; }

  private:
    std::atomic<bool> refusing_{false};
    std::atomic<int> trustPrompts_{0};
    std::shared_ptr<FocusObservers> observers_;
};

class PortableSecureInput final : public SecureInput {
  public:
    int holderProcessID() override { return holder_; }
    void setHolder(int processID) { holder_ = processID; }

  private:
    std::atomic<int> holder_{0};
};

// Compiles every source; running a script gives the answer set for its
// source, nothing unless one was set.
class PortableBrowserScripting final : public BrowserScripting {
  public:
    std::unique_ptr<Script> compile(const std::string& source) override;

    void setAnswer(const std::string& source, std::optional<std::string> answer);
    // Sources that will not compile.
    void setUncompilable(const std::string& source);
    int compiled();
    int ran();

  private:
    friend class PortableScript;
    std::optional<std::string> answer(const std::string& source);

    std::mutex mutex_;
    std::map<std::string, std::optional<std::string>> answers_;
    std::vector<std::string> uncompilable_;
    int compiled_ = 0;
    int ran_ = 0;
};

class PortableStatusBar final : public StatusBar {
  public:
    PortableStatusBar();
    ~PortableStatusBar() override;
    std::unique_ptr<Item> add(const std::string& title, std::function<void()> action) override;

    // The titles shown, in the order added.
    std::vector<std::string> titles();
    // Clicks the first item with that title; false when none is shown.
    bool click(const std::string& title);

  private:
    std::shared_ptr<StatusItems> items_;
};

} // namespace vanto
