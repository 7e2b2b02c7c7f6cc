#!/usr/bin/env bash
# Compile-checks Objective-C++ files of the macOS adapters on a system
# without the macOS SDK: clang parses and type-checks each file (ARC, blocks,
# C++20) against GNUstep's Foundation and AppKit and the stand-in headers of
# include/. Nothing is linked or run.
#
#   tools/macos-check/check.sh [--verify] [--work DIR] FILE.mm...
#
# --verify: the files hold deliberate mistakes marked with the errors clang
#           must report (clang -verify); the check fails if any is missing.
# --work:   where the prepared runtime headers are kept
#           (default: build/macos-check).
# With no FILE, every .mm of app/platform/macos is checked.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work="$root/build/macos-check"
verify=()
while [ $# -gt 0 ]; do
  case "$1" in
    --verify) verify=(-ferror-limit=0 -Xclang -verify -Xclang -verify-ignore-unexpected=note); shift ;;
    --work) work="$2"; shift 2 ;;
    -*) echo "check.sh: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
if [ $# -eq 0 ]; then
  set -- "$root"/app/platform/macos/*.mm
fi

need() { echo "check.sh: $1 (tools/setup.sh installs what is missing)" >&2; exit 2; }
clang=$(command -v clang++ || command -v clang++-14 || true)
[ -n "$clang" ] || need "clang++ not found"
gnustep=""
for d in /usr/include/GNUstep /usr/local/include/GNUstep /usr/GNUstep/System/Library/Headers; do
  if [ -f "$d/Foundation/Foundation.h" ] && [ -f "$d/AppKit/AppKit.h" ]; then gnustep=$d; break; fi
done
[ -n "$gnustep" ] || need "GNUstep's Foundation and AppKit headers not found (libgnustep-gui-dev)"

# GCC's Objective-C runtime headers, made usable by clang once (see
# prepare_objc_headers.cmake); a concurrent run may win the race, which is fine.
runtime="$work/objc-runtime"
if [ ! -f "$runtime/objc/runtime.h" ]; then
  gcc_include=$(gcc -print-file-name=include 2>/dev/null || true)
  [ -f "$gcc_include/objc/runtime.h" ] || need "GCC's Objective-C runtime headers not found (libobjc-12-dev)"
  mkdir -p "$work"
  tmp=$(mktemp -d "$work/objc-runtime.XXXXXX")
  cmake -DSOURCE="$gcc_include/objc" -DDEST="$tmp" -P "$here/prepare_objc_headers.cmake"
  mv -T "$tmp" "$runtime" 2>/dev/null || rm -rf "$tmp"
fi

status=0
for file in "$@"; do
  if ! "$clang" -x objective-c++ -std=c++20 -fsyntax-only \
      -fobjc-arc -fblocks -fobjc-runtime=gnustep-2.0 \
      -Wall -Wextra -Werror -Wno-unused-parameter \
      -I"$root/app" -I"$root/engine/include" \
      -isystem "$here/include" -isystem "$runtime" -isystem "$gnustep" \
      "${verify[@]}" "$file"; then
    echo "check.sh: $file FAILED" >&2
    status=1
  fi
done
exit $status
