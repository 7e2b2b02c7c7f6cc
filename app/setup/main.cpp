// The Vanto executable. On this platform it offers the one-shot self-test;
// the resident agent and the other commands need the system's services.
#include "platform/portable/portable_platform.h"
#include "setup/self_test.h"

#include <cstdio>
#include <string_view>

namespace {
constexpr const char* kUsage = "usage: Vanto [install|select|deselect|status|selftest|settings]";
}

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "selftest") {
        vanto::PortablePlatform platform;
        return vanto::SelfTest::run(platform.platform(), stdout);
    }
    std::fprintf(stderr, "%s\n", kUsage);
    return 2;
}
