// Counts every heap allocation made through operator new in the process.
#pragma once

#include <cstddef>

namespace vanto::bench {
std::size_t allocations();
}
