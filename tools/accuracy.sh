#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds the release preset and prints the
# typing-accuracy tables of bench/README.md for the four configurations (tone
# style on/off x spell check on/off). Options are passed to each run of the
# benchmark (--top N, --vi FILE, --en FILE).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target accuracy >/dev/null

for std in on off; do
  for spell in on off; do
    build/release/bench/accuracy --std-tone "$std" --spell-check "$spell" "$@"
    echo
  done
done

# Attested syllables by source, and English taken by invented syllables.
cmake --build --preset release --target syllable_coverage >/dev/null
build/release/bench/syllable_coverage

# Every syllable of the word lists in each order of tone and mark keys.
cmake --build --preset release --target key_orders >/dev/null
build/release/bench/key_orders "$@"

# Whole sentences typed through the keystroke pipeline, English in context
# off and on. The options above name word lists, so they are not passed on.
cmake --build --preset release --target sentences >/dev/null
echo
build/release/bench/sentences
