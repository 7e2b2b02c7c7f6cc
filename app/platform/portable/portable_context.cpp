#include "portable_context.h"

#include <algorithm>

namespace vanto {

struct FocusObservers {
    struct Entry {
        int processID;
        AccessibilityClient::FocusHandlers handlers;
        bool removed = false;
    };
    std::mutex mutex;
    std::vector<std::shared_ptr<Entry>> entries;

    std::vector<std::shared_ptr<Entry>> of(int processID) {
        std::lock_guard lock(mutex);
        std::vector<std::shared_ptr<Entry>> found;
        for (const auto& entry : entries)
            if (entry->processID == processID) found.push_back(entry);
        return found;
    }
};

struct StatusItems {
    struct Entry {
        std::string title;
        std::function<void()> action;
        bool removed = false;
    };
    std::mutex mutex;
    std::vector<std::shared_ptr<Entry>> entries;
};

namespace {

// Removes its entry from a shared list when destroyed, and marks it removed
// for a caller already holding a copy of the list.
template <class List, class Base> class ListedEntry final : public Base {
  public:
    ListedEntry(std::weak_ptr<List> list, std::shared_ptr<typename List::Entry> entry)
        : list_(std::move(list)), entry_(std::move(entry)) {}
    ~ListedEntry() override {
        entry_->removed = true;
        if (auto list = list_.lock()) {
            std::lock_guard lock(list->mutex);
            std::erase(list->entries, entry_);
        }
    }

  private:
    std::weak_ptr<List> list_;
    std::shared_ptr<typename List::Entry> entry_;
};

} // namespace

PortableAccessibilityClient::PortableAccessibilityClient()
    : observers_(std::make_shared<FocusObservers>()) {}

PortableAccessibilityClient::~PortableAccessibilityClient() = default;

std::unique_ptr<AccessibilityClient::Observation>
PortableAccessibilityClient::observeFocus(int processID, FocusHandlers handlers) {
    if (refusing_ || processID < 1) return nullptr;
    auto entry = std::make_shared<FocusObservers::Entry>();
    entry->processID = processID;
    entry->handlers = std::move(handlers);
    {
        std::lock_guard lock(observers_->mutex);
        observers_->entries.push_back(entry);
    }
    return std::make_unique<ListedEntry<FocusObservers, Observation>>(observers_, std::move(entry));
}

void PortableAccessibilityClient::focus(int processID, bool isTextField) {
    for (const auto& entry : observers_->of(processID))
        if (!entry->removed && entry->handlers.focusChanged)
            entry->handlers.focusChanged(isTextField);
}

void PortableAccessibilityClient::hide(int processID) {
    for (const auto& entry : observers_->of(processID))
        if (!entry->removed && entry->handlers.hidden) entry->handlers.hidden();
}

std::vector<int> PortableAccessibilityClient::observed() {
    std::lock_guard lock(observers_->mutex);
    std::vector<int> ids;
    for (const auto& entry : observers_->entries) ids.push_back(entry->processID);
    return ids;
}

class PortableScript final : public BrowserScripting::Script {
  public:
    PortableScript(PortableBrowserScripting& owner, std::string source)
        : owner_(owner), source_(std::move(source)) {}
    std::optional<std::string> run() override { return owner_.answer(source_); }

  private:
    PortableBrowserScripting& owner_;
    std::string source_;
};

std::unique_ptr<BrowserScripting::Script>
PortableBrowserScripting::compile(const std::string& source) {
    std::lock_guard lock(mutex_);
    if (std::find(uncompilable_.begin(), uncompilable_.end(), source) != uncompilable_.end())
        return nullptr;
    ++compiled_;
    return std::make_unique<PortableScript>(*this, source);
}

void PortableBrowserScripting::setAnswer(const std::string& source,
                                         std::optional<std::string> answer) {
    std::lock_guard lock(mutex_);
    answers_[source] = std::move(answer);
}

void PortableBrowserScripting::setUncompilable(const std::string& source) {
    std::lock_guard lock(mutex_);
    uncompilable_.push_back(source);
}

int PortableBrowserScripting::compiled() {
    std::lock_guard lock(mutex_);
    return compiled_;
}

int PortableBrowserScripting::ran() {
    std::lock_guard lock(mutex_);
    return ran_;
}

std::optional<std::string> PortableBrowserScripting::answer(const std::string& source) {
    std::lock_guard lock(mutex_);
    ++ran_;
    const auto it = answers_.find(source);
    return it == answers_.end() ? std::nullopt : it->second;
}

PortableStatusBar::PortableStatusBar() : items_(std::make_shared<StatusItems>()) {}

PortableStatusBar::~PortableStatusBar() = default;

std::unique_ptr<StatusBar::Item> PortableStatusBar::add(const std::string& title,
                                                        std::function<void()> action) {
    auto entry =
        std::make_shared<StatusItems::Entry>(StatusItems::Entry{title, std::move(action), false});
    {
        std::lock_guard lock(items_->mutex);
        items_->entries.push_back(entry);
    }
    return std::make_unique<ListedEntry<StatusItems, StatusBar::Item>>(items_, std::move(entry));
}

std::vector<std::string> PortableStatusBar::titles() {
    std::lock_guard lock(items_->mutex);
    std::vector<std::string> titles;
    for (const auto& entry : items_->entries) titles.push_back(entry->title);
    return titles;
}

bool PortableStatusBar::click(const std::string& title) {
    std::shared_ptr<StatusItems::Entry> target;
    {
        std::lock_guard lock(items_->mutex);
        for (const auto& entry : items_->entries)
            if (entry->title == title) {
                target = entry;
                break;
            }
    }
    if (!target) return false;
    if (target->action) target->action();
    return true;
}

} // namespace vanto
