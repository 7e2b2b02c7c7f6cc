#include "home_folder.h"

#include <cstdlib>

namespace vanto {

std::filesystem::path homeFolder() {
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') return {};
    return home;
}

} // namespace vanto
