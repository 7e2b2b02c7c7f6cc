// The system's pthread.h with the macOS form of pthread_setname_np added:
// on macOS it names only the calling thread and takes the name alone, while
// glibc's takes a thread as well.
#pragma once

#include_next <pthread.h>

#include <vanto_check/pthread_darwin.h>
