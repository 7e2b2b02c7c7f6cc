// GNUstep's headers ask for this file when blocks are on; clang declares
// everything the adapters need of blocks itself.
#pragma once
