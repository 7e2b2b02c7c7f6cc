// The one-argument pthread_setname_np of macOS. glibc already declares a
// two-argument function of that name with C linkage, and a second C-linkage
// declaration would clash; as a C++ overload beside it the macOS call
// type-checks exactly as it does against the SDK. (A call in glibc's form
// also still compiles here, though macOS would reject it.)
#pragma once

#ifdef __cplusplus
extern "C++" int pthread_setname_np(const char* name);
#endif
