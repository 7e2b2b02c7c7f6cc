// A stand-in for the system's input sources.
//
// Linux has no input menu that could list Vanto's keyboard layout, so this
// plays one: a fixed system layout that is always there, plus the one
// layout bundle registered last. Which bundle that is, and whether the user
// has put it into the "input menu" and selected it, is kept in a small
// property list (see stateFile()), so that what one process registers or
// selects is seen by the next, as it is on a Mac. The keys are "bundle" (its
// path), "enabled" and "selected"; setting "enabled" to true by hand plays
// the user adding the layout to the menu.
//
// A registered bundle provides a source while its folder exists: its bundle
// identifier is Contents/Info.plist's CFBundleIdentifier, its input-source
// identifier that followed by "." and the name of its first
// Contents/Resources/*.keylayout in lower case.
//
// Only changes of the selection made through this object reach its
// observers, synchronously on the thread that made them: there is no
// system to announce those of other processes.
#pragma once

#include "platform/input_sources.h"
#include "portable_property_lists.h"

#include <mutex>
#include <vector>

namespace vanto {

struct SelectionObservers;

class PortableInputSources final : public InputSources {
  public:
    // The layout every system has, current whenever the bundle's is not.
    static constexpr const char* kSystemLayoutID = "com.apple.keylayout.US";

    explicit PortableInputSources(std::filesystem::path stateFile = defaultStateFile());
    ~PortableInputSources() override;

    std::vector<InputSource> installed(std::string_view bundleID) override;
    std::vector<InputSource> enabled() override;
    std::optional<InputSource> currentKeyboardSource() override;
    bool select(const InputSource& source) override;
    // Replaces the bundle registered before; registering the same path again
    // keeps its place in the menu.
    void registerBundle(const std::filesystem::path& bundle) override;
    std::unique_ptr<Observation> onSelectionChange(std::function<void()> handler) override;

    // Plays the user adding the registered layout to the input menu or
    // removing it (which also switches away from it).
    void setEnabled(bool enabled);

    const std::filesystem::path& stateFile() const { return stateFile_; }
    // input-sources.plist in the application's folder of the user caches;
    // empty without a home folder.
    static std::filesystem::path defaultStateFile();

  private:
    struct State {
        std::filesystem::path bundle;
        bool enabled = false;
        bool selected = false;
    };
    State load() const;
    bool save(const State& state) const;
    std::optional<InputSource> bundleSource(const State& state) const;
    std::vector<InputSource> all();
    void notify();

    const std::filesystem::path stateFile_;
    const PortablePropertyLists plists_;
    std::mutex mutex_; // serialises this object's read-modify-write of the file
    std::shared_ptr<SelectionObservers> observers_;
};

} // namespace vanto
