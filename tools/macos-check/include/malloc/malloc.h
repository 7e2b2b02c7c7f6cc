// Stand-in for malloc/malloc.h of the macOS SDK: the zone calls that hand
// free memory back to the system.
#pragma once

#include <stddef.h>

typedef struct _malloc_zone_t malloc_zone_t;

extern "C" {
malloc_zone_t* malloc_default_zone(void);
// A null zone asks every zone; goal 0 frees as much as possible. Returns
// the number of bytes released.
size_t malloc_zone_pressure_relief(malloc_zone_t* zone, size_t goal);
}
