#!/usr/bin/env bash
# Sets up a fresh Debian machine and runs every test: each fuzz target for a
# bounded time (VANTO_FUZZ_SECONDS, default 45), then the unit and scenario
# tests, all under AddressSanitizer and UndefinedBehaviorSanitizer, then the
# typist's two-thread stress test under ThreadSanitizer (only it is built).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh

cmake --preset fuzz
cmake --build --preset fuzz
tools/fuzz.sh "${VANTO_FUZZ_SECONDS:-45}"

cmake --preset dev
cmake --build --preset dev
ctest --preset dev -j "$(nproc)"

cmake --preset tsan
cmake --build --preset tsan
ctest --preset tsan
