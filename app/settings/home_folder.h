// Where the user's files live. Every file the program keeps for the user
// (settings, the instance lock, the launch agent, the installed layout)
// follows from this one rule.
#pragma once

#include <filesystem>
#include <string_view>

namespace vanto {

inline constexpr std::string_view kNoHomeError =
    "the home folder is unknown: HOME is not an absolute path";

// $HOME when it is an absolute path, else empty. A relative HOME would put
// the user's files under whatever folder the program was started from, so
// that two agents started from two folders would each take a lock of their
// own and both run.
std::filesystem::path homeFolder();

} // namespace vanto
