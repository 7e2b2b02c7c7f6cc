#include "portable_process_info.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vanto {

int PortableProcessInfo::processID() {
    return static_cast<int>(::getpid());
}

std::uint64_t PortableProcessInfo::physicalFootprint() {
    if (std::FILE* f = std::fopen("/proc/self/smaps_rollup", "r")) {
        char line[256];
        std::uint64_t kb = 0, total = 0;
        bool found = false;
        while (std::fgets(line, sizeof line, f)) {
            if (std::sscanf(line, "Private_Dirty: %lu kB", &kb) == 1) {
                total += kb;
                found = true;
            }
        }
        std::fclose(f);
        if (found) return total * 1024;
    }
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        unsigned long size = 0, resident = 0;
        const int read = std::fscanf(f, "%lu %lu", &size, &resident);
        std::fclose(f);
        if (read == 2) return static_cast<std::uint64_t>(resident) * ::sysconf(_SC_PAGESIZE);
    }
    return 0;
}

void PortableProcessInfo::relieveMemoryPressure() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

} // namespace vanto
