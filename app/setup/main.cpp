// The Vanto executable: one program for the resident agent, the UI helper
// and the terminal commands, on the macOS services or, elsewhere, on the
// portable ones.
#include "setup/command_line.h"

#ifdef __APPLE__
#include "platform/macos/mac_platform.h"
using PlatformServices = vanto::mac::MacPlatform;
#else
#include "platform/portable/portable_platform.h"
using PlatformServices = vanto::PortablePlatform;
#endif

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    PlatformServices services;
    vanto::Platform& platform = services.platform();
    vanto::CommandLine commandLine(platform, platform.workspace, stdout, stderr);
    return commandLine.start(std::vector<std::string>(argv + 1, argv + argc));
}
