#!/usr/bin/env bash
# Runs every fuzz target of the fuzz build for the given number of seconds
# each. Seeds and kept reproducers are read from fuzz/corpus/<target>; what the
# run discovers goes to the build tree, never into the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

for target in build/fuzz/fuzz/*_fuzz; do
  name=$(basename "$target" _fuzz)
  work="build/fuzz/corpus/$name"
  mkdir -p "$work" "build/fuzz/crashes"
  echo "fuzz: $name for ${seconds}s"
  seeds=("fuzz/corpus/$name")
  # The differential target reads the engine target's input format.
  [ "$name" = differential ] && seeds+=(fuzz/corpus/engine)
  "$target" -max_total_time="$seconds" -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="build/fuzz/crashes/${name}-" "$work" "${seeds[@]}"
done
