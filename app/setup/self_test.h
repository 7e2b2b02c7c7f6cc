// The self-test: the whole keystroke pipeline typing into an in-memory
// screen, the exclusion matcher, the application profiles, the inline
// suggestion handling, the tap's key decoding and its memory use.
#pragma once

#include "platform/platform.h"

#include <cstdio>

namespace vanto::SelfTest {

// The scratch settings domain, removed at the end of every run.
inline constexpr const char* kScratchDomain = "norbel.inputmethod.Vanto.selftest";

// Prints one line per failure and a summary to out; 0 when all passed.
int run(Platform& platform, std::FILE* out);

} // namespace vanto::SelfTest
