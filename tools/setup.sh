#!/usr/bin/env bash
# Installs what building and testing Vanto needs on a Debian machine, skipping
# packages that are already there. Safe to run again.
set -euo pipefail

if [ "$(uname -s)" = Darwin ]; then
  # On a Mac: Xcode's command-line tools (the compiler, codesign) and Homebrew.
  command -v brew >/dev/null || { echo "setup: Homebrew is needed (https://brew.sh)" >&2; exit 1; }
  xcode-select -p >/dev/null 2>&1 || { echo "setup: run xcode-select --install first" >&2; exit 1; }
  for p in cmake ninja pkg-config utf8proc libplist googletest; do
    brew list --versions "$p" >/dev/null || brew install "$p"
  done
  exit 0
fi

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev binutils
  libgtest-dev libgmock-dev libbenchmark-dev pkg-config
  libutf8proc-dev libplist-dev
  libgnustep-base-dev libgnustep-gui-dev libobjc-12-dev
  python3 python3-yaml valgrind
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
