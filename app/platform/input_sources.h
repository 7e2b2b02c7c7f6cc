// Port: the system's keyboard input sources — the layouts and input methods
// of the input menu.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vanto {

// What the system says about one input source at the time it was asked. A
// property the source does not have is left empty.
struct InputSource {
    std::optional<std::string> bundleID;      // of the bundle that provides it
    std::optional<std::string> inputSourceID; // unique among all sources
    std::optional<bool> enabled;              // listed in the input menu
    std::optional<bool> selectCapable;        // can become the current source
    std::optional<bool> selected;

    bool operator==(const InputSource&) const = default;
};

// Main thread only: the system's input-source calls may not be made from
// other threads.
class InputSources {
  public:
    // Observation lasts as long as this object; destroying it stops it.
    class Observation {
      public:
        virtual ~Observation() = default;
    };

    virtual ~InputSources() = default;
    // Every installed source of that bundle, enabled or not, in the system's
    // order.
    virtual std::vector<InputSource> installed(std::string_view bundleID) = 0;
    // Every enabled keyboard source (layouts and input methods, not the
    // character or keyboard viewers), in the system's order.
    virtual std::vector<InputSource> enabled() = 0;
    // The keyboard source in use; nothing when the system names none.
    virtual std::optional<InputSource> currentKeyboardSource() = 0;
    // Makes the source with source's input-source identifier the current
    // one. True when the system took it.
    virtual bool select(const InputSource& source) = 0;
    // Makes the sources of the bundle at that path known to the system (they
    // stay out of the input menu until the user adds them).
    virtual void registerBundle(const std::filesystem::path& bundle) = 0;
    // Calls handler on the main loop after every change of the current
    // keyboard source, whoever made it.
    virtual std::unique_ptr<Observation> onSelectionChange(std::function<void()> handler) = 0;
};

} // namespace vanto
