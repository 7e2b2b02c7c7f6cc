// The installer's view of Vanto's keyboard layout, as the application shell
// and the helper's dialogs need it.
#pragma once

#include "platform/input_sources.h"
#include "setup/installer.h"
#include "ui/shell_links.h"

namespace vanto {

class InstalledLayout final : public LayoutControl {
  public:
    InstalledLayout(Installer& installer, InputSources& sources)
        : installer_(installer), sources_(sources) {}

    bool isLayoutSelected() override { return installer_.isLayoutSelected(); }
    bool layoutEnabled() override {
        const auto source = installer_.findLayoutSource();
        return source && source->enabled.value_or(false);
    }
    bool selectLayout() override {
        const auto source = installer_.findLayoutSource();
        return source && sources_.select(*source);
    }
    bool needsLogin() override { return installer_.needsLogin(); }
    std::unique_ptr<Subscription>
    onSelectedInputSourceChange(std::function<void()> handler) override {
        struct Held final : Subscription {
            std::unique_ptr<InputSources::Observation> observation;
        };
        auto held = std::make_unique<Held>();
        held->observation = sources_.onSelectionChange(std::move(handler));
        return held;
    }

  private:
    Installer& installer_;
    InputSources& sources_;
};

} // namespace vanto
