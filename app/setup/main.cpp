// The Vanto executable: one program for the resident agent, the UI helper
// and the terminal commands, on the portable services.
#include "platform/portable/portable_platform.h"
#include "setup/command_line.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    vanto::PortablePlatform platform;
    vanto::CommandLine commandLine(platform.platform(), platform.workspace, stdout, stderr);
    return commandLine.start(std::vector<std::string>(argv + 1, argv + argc));
}
