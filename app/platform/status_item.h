// Port: items in the menu bar's status area.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace vanto {

class StatusBar {
  public:
    // Shown for as long as this object lives.
    class Item {
      public:
        virtual ~Item() = default;
    };

    virtual ~StatusBar() = default;
    // A variable-width item showing title; clicking it calls action on the
    // main loop. Call on the main loop.
    virtual std::unique_ptr<Item> add(const std::string& title, std::function<void()> action) = 0;
};

} // namespace vanto
