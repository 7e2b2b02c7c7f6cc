// How long the agent takes to load a long exclusion list.
//
//   build/release/bench/exclusions_bench
//
// Saves lists of 1,000 to 100,000 exclusions through Settings into a scratch
// domain on disk, then times what the agent does when another process
// announces a change: Settings::load, which reads the domain file and
// decodes the list. Prints the best of three loads per size.
#include "platform/portable/portable_platform.h"
#include "settings/settings.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace vanto;

int main() {
    char pattern[] = "/tmp/vanto-exclusions-bench-XXXXXX";
    if (!::mkdtemp(pattern)) return 1;
    const std::filesystem::path folder = pattern;
    PortableUserDefaultsProvider store(folder);
    PortableNotificationHub hub;
    PortablePropertyLists plists;
    auto domain = store.suite("bench");
    Settings settings(*domain, hub, plists, 1);

    std::printf("| entries | list data | load (best of 3) |\n|---|---|---|\n");
    for (const std::size_t n : {1000u, 10000u, 40000u, 100000u}) {
        std::vector<Exclusion> list;
        list.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            list.push_back({"com.example.app" + std::to_string(i), i % 3 != 0});
        settings.setExclusions(list);
        if (settings.saveFailed()) {
            std::fprintf(stderr, "could not save %zu entries\n", n);
            return 1;
        }
        double best = 1e9;
        for (int run = 0; run < 3; ++run) {
            const auto start = std::chrono::steady_clock::now();
            settings.load();
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            best = std::min(best, took.count());
        }
        if (settings.exclusions().size() != n) {
            std::fprintf(stderr, "loaded %zu of %zu entries\n", settings.exclusions().size(), n);
            return 1;
        }
        std::printf("| %zu | %zu KB | %.3f s |\n", n, domain->data(kExclusionsKey)->size() / 1024,
                    best);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
