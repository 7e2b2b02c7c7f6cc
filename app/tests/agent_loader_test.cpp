// Loading the login agent against a scripted launchd that is slow to let go
// of a booted-out job and refuses bootstraps for a while.
#include "setup/agent_loader.h"

#include "setup_fakes.h"

#include <gtest/gtest.h>

#include <numeric>

namespace vanto::testing {
namespace {

constexpr const char* kService = "gui/501/norbel.inputmethod.Vanto.agent";
constexpr const char* kPlist =
    "/Users/lan/Library/LaunchAgents/norbel.inputmethod.Vanto.agent.plist";

// launchd as launchctl sees it.
struct Launchd {
    bool loaded = true;
    int printsUntilGone = 0;   // after a bootout, prints that still find the job
    int refusedBootstraps = 0; // bootstraps answered 5 before one works
    bool listsAfterBootstrap = true;
    bool missing = false; // no launchctl on this system
    bool leaving = false;

    std::optional<int> answer(const FakeProcesses::Call& call) {
        if (missing) return std::nullopt;
        const std::string& verb = call.arguments.at(0);
        if (verb == "bootout") {
            if (!loaded) return 3; // no such process
            leaving = true;
            return 0;
        }
        if (verb == "print") {
            if (leaving && printsUntilGone-- <= 0) loaded = leaving = false;
            return loaded ? 0 : 113;
        }
        if (verb == "bootstrap") {
            if (refusedBootstraps > 0) {
                --refusedBootstraps;
                return 5;
            }
            loaded = listsAfterBootstrap;
            return 0;
        }
        return 64;
    }
};

struct LoaderRig {
    explicit LoaderRig(Launchd state) : launchd(state) {
        processes.answer = [this](const FakeProcesses::Call& call) { return launchd.answer(call); };
    }
    std::variant<AgentLoader::Outcome, StepError> load() {
        AgentLoader loader(processes, 501, [this](double s) { sleeps.push_back(s); });
        return loader.load(kPlist);
    }
    std::vector<std::string> verbs() const {
        std::vector<std::string> result;
        for (const auto& call : processes.ran) result.push_back(call.arguments.at(0));
        return result;
    }
    double slept() const { return std::accumulate(sleeps.begin(), sleeps.end(), 0.0); }

    Launchd launchd;
    FakeProcesses processes;
    std::vector<double> sleeps;
};

std::string errorOf(const std::variant<AgentLoader::Outcome, StepError>& result) {
    const auto* error = std::get_if<StepError>(&result);
    return error ? error->errorDescription.value_or("") : "";
}

TEST(AgentLoader, WaitsForTheOldJobAndRetriesTheBootstrapUntilLoaded) {
    LoaderRig rig({.printsUntilGone = 2, .refusedBootstraps = 2});
    const auto result = rig.load();
    ASSERT_EQ(errorOf(result), "");
    EXPECT_EQ(std::get<AgentLoader::Outcome>(result), AgentLoader::Outcome::loaded);
    EXPECT_EQ(rig.verbs(),
              (std::vector<std::string>{"bootout", "print", "print", "print", "bootstrap",
                                        "bootstrap", "bootstrap", "print"}));
    // Polls that grow while the job leaves, then pauses that double.
    EXPECT_EQ(rig.sleeps, (std::vector<double>{0.1, 0.2, 0.5, 1.0}));
    EXPECT_EQ(rig.processes.ran[0],
              (FakeProcesses::Call{"/bin/launchctl", {"bootout", kService}, true, true}));
    EXPECT_EQ(
        rig.processes.ran[4],
        (FakeProcesses::Call{"/bin/launchctl", {"bootstrap", "gui/501", kPlist}, true, true}));
}

TEST(AgentLoader, AJobNotLoadedIsBootstrappedAtOnce) {
    LoaderRig rig({.loaded = false});
    EXPECT_EQ(errorOf(rig.load()), "");
    EXPECT_EQ(rig.verbs(), (std::vector<std::string>{"bootout", "print", "bootstrap", "print"}));
    EXPECT_TRUE(rig.sleeps.empty());
}

// Every failure is bounded in time and names its step and what to do.
TEST(AgentLoader, FailuresNameTheStep) {
    const struct {
        const char* name;
        Launchd launchd;
        const char* starts;
        const char* mentions;
        double maxSlept;
    } cases[] = {
        {"old job never leaves",
         {.printsUntilGone = 1000},
         "stopping the running agent gui/501/norbel.inputmethod.Vanto.agent: launchctl still "
         "lists it after 10 seconds",
         "log out and in",
         11},
        {"background items switched off",
         {.refusedBootstraps = 1000},
         "loading the login agent /Users/lan/Library/LaunchAgents/"
         "norbel.inputmethod.Vanto.agent.plist: launchctl bootstrap answered 5: Input/output "
         "error 5 times",
         "Login Items > Allow in the Background",
         10},
        {"loaded but not listed",
         {.listsAfterBootstrap = false},
         "checking the login agent gui/501/norbel.inputmethod.Vanto.agent: launchctl does not "
         "list it after loading",
         "Login Items > Allow in the Background",
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LoaderRig rig(c.launchd);
        const std::string error = errorOf(rig.load());
        EXPECT_EQ(error.rfind(c.starts, 0), 0u) << error;
        EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
        EXPECT_LE(rig.slept(), c.maxSlept);
    }
}

TEST(AgentLoader, NoLaunchctlLoadsNothing) {
    LoaderRig rig({.missing = true});
    const auto result = rig.load();
    ASSERT_EQ(errorOf(result), "");
    EXPECT_EQ(std::get<AgentLoader::Outcome>(result), AgentLoader::Outcome::unavailable);
    EXPECT_EQ(rig.verbs(), std::vector<std::string>{"bootout"});
}

} // namespace
} // namespace vanto::testing
