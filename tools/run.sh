#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Vanto and shows what the engine's
# dictionaries say about the words given (a few examples by default).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
[ $# -gt 0 ] || set -- việt hòa hoà tiếng anh test television
build/release/tools/vanto-words/vanto-words --sizes
build/release/tools/vanto-words/vanto-words "$@"
