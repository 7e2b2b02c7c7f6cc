// Web-site exclusions: which rules are in force, which browsers are asked,
// and when an answer may still change the profile.
#include "context/browser_address.h"
#include "context/serial_queue.h"
#include "pipeline_rig.h"
#include "platform/portable/portable_context.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <stdexcept>

namespace vanto {
namespace {

using testing::PipelineRig;

TEST(BrowserAddress, ScriptsForTheKnownBrowsers) {
    const struct {
        const char* bundleID;
        std::optional<std::string> script;
    } cases[] = {
        {"com.apple.Safari",
         "tell application id \"com.apple.Safari\" to return URL of current tab of front window"},
        {"com.google.Chrome",
         "tell application id \"com.google.Chrome\" to return URL of active tab of front window"},
        {"com.coccoc.Coccoc",
         "tell application id \"com.coccoc.Coccoc\" to return URL of active tab of front window"},
        {"com.brave.Browser",
         "tell application id \"com.brave.Browser\" to return URL of active tab of front window"},
        {"com.apple.safari", std::nullopt}, // identifiers compare exactly
        {"org.mozilla.firefox", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(addressScript(c.bundleID), c.script) << c.bundleID;
}

TEST(BrowserAddress, OnlyEnabledRulesUnderTheSwitchAreActive) {
    PipelineRig rig;
    const std::vector<Exclusion> list = {
        {"https://*.bank.vn/*", true}, {"http://intra/*", false}, {"com.apple.Notes", true}};
    rig.settings.setExclusions(list);
    EXPECT_TRUE(activeExclusions(rig.settings).empty());
    rig.settings.setExclusionsOn(true);
    const std::vector<Exclusion> active = {list[0], list[2]};
    EXPECT_EQ(activeExclusions(rig.settings), active);
    EXPECT_EQ(addressPatterns(active), std::vector<std::string>{"https://*.bank.vn/*"});
}

// Scripts whose answers wait until the test lets them go.
class HeldScripting final : public BrowserScripting {
  public:
    class Held final : public Script {
      public:
        explicit Held(HeldScripting& owner) : owner_(owner) {}
        std::optional<std::string> run() override {
            std::unique_lock lock(owner_.mutex_);
            owner_.asked_ = true;
            owner_.changed_.notify_all();
            owner_.changed_.wait(lock, [&] { return owner_.released_; });
            return owner_.answer_;
        }

      private:
        HeldScripting& owner_;
    };
    std::unique_ptr<Script> compile(const std::string&) override {
        return std::make_unique<Held>(*this);
    }

    void waitUntilAsked() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return asked_; });
    }
    void release(std::optional<std::string> answer) {
        std::lock_guard lock(mutex_);
        answer_ = std::move(answer);
        released_ = true;
        changed_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool asked_ = false;
    bool released_ = false;
    std::optional<std::string> answer_;
};

const std::vector<Exclusion> kBankRule = {{"https://*.bank.vn/*", true}};

TEST(AddressRules, AnswerForAReplacedProfileChangesNothing) {
    const struct {
        const char* name;
        // What happens while the browser is answering.
        std::function<void(PipelineRig&, AddressRules&)> meanwhile;
        const char* inFront;
    } cases[] = {
        {"another application in front",
         [](PipelineRig& rig, AddressRules&) { rig.focus("com.apple.TextEdit"); },
         "com.apple.TextEdit"},
        // The same browser gets a new profile, with no address rule left.
        {"the rule removed",
         [](PipelineRig& rig, AddressRules& rules) {
             rules.supersede();
             rig.focus("com.google.Chrome");
             rules.apply("com.google.Chrome", {});
         },
         "com.google.Chrome"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PipelineRig rig({.app = "com.google.Chrome"});
        HeldScripting scripting;
        AddressRules rules(scripting, rig.typist);
        rules.apply("com.google.Chrome", kBankRule);
        scripting.waitUntilAsked();
        c.meanwhile(rig, rules);
        scripting.release("https://ib.bank.vn/home");
        rules.waitUntilIdle();
        std::lock_guard<std::mutex> guard(rig.typist.lock);
        EXPECT_FALSE(rig.typist.app().ignored);
        EXPECT_EQ(rig.typist.app().bundleID, c.inFront);
    }
}

TEST(AddressRules, MatchingPageIgnoresTheBrowser) {
    const struct {
        const char* name;
        const char* browser;
        std::optional<std::string> page;
        bool ignored;
    } cases[] = {
        {"page under the rule", "com.google.Chrome", "https://ib.bank.vn/home", true},
        {"another page", "com.google.Chrome", "https://bank.vn", false},
        {"no window, no answer", "com.apple.Safari", std::nullopt, false},
        {"browser that cannot be asked", "org.mozilla.firefox", "https://ib.bank.vn/home", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PipelineRig rig({.app = c.browser});
        PortableBrowserScripting scripting;
        if (const auto script = addressScript(c.browser)) scripting.setAnswer(*script, c.page);
        AddressRules rules(scripting, rig.typist);
        rules.apply(c.browser, kBankRule);
        rules.waitUntilIdle();
        std::lock_guard<std::mutex> guard(rig.typist.lock);
        EXPECT_EQ(rig.typist.app().ignored, c.ignored);
    }
}

TEST(AddressRules, ScriptsAreCompiledOnceAndAnUncompilableOneNeverRuns) {
    PipelineRig rig({.app = "com.apple.Safari"});
    PortableBrowserScripting scripting;
    AddressRules rules(scripting, rig.typist);
    scripting.setUncompilable(std::string(kSafariAddressScript));
    rules.apply("com.apple.Safari", kBankRule);
    rules.apply("com.apple.Safari", kBankRule);
    rules.waitUntilIdle();
    EXPECT_EQ(scripting.ran(), 0);

    PortableBrowserScripting working;
    AddressRules cached(working, rig.typist);
    for (int i = 0; i < 3; ++i) cached.apply("com.apple.Safari", kBankRule);
    cached.waitUntilIdle();
    EXPECT_EQ(working.compiled(), 1);
    EXPECT_EQ(working.ran(), 3);
}

TEST(SerialQueue, RunsInOrderAndSurvivesAThrowingTask) {
    std::vector<int> order; // touched only by the queue's worker until idle
    SerialQueue queue("vanto.test");
    queue.async([&] { order.push_back(1); });
    queue.async([] { throw std::runtime_error("lost"); });
    queue.async([&] { order.push_back(2); });
    queue.waitUntilIdle();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

} // namespace
} // namespace vanto
