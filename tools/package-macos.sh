#!/usr/bin/env bash
# Builds Vanto.app for release and packs it for users:
#
#   tools/package-macos.sh
#
# writes build/package/Vanto-<VERSION>-macos.zip and prints its SHA-256.
# The zip is made by ditto, which keeps the code signature and the bundle's
# extended attributes (a plain zip would break the signature). Set
# VANTO_CODESIGN_IDENTITY to the name of your code-signing certificate to
# sign with it instead of ad hoc (see the README).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ "$(uname -s)" != Darwin ]; then
  echo "package-macos.sh: building and signing Vanto.app needs a Mac (macOS with Xcode's" \
       "command-line tools); this system is $(uname -s). On a Mac: tools/setup.sh, then" \
       "tools/package-macos.sh." >&2
  exit 2
fi

version=$(head -n 1 "$root/VERSION")
cd "$root"
cmake --preset macos ${VANTO_CODESIGN_IDENTITY:+"-DVANTO_CODESIGN_IDENTITY=$VANTO_CODESIGN_IDENTITY"}
cmake --build --preset macos

app="$root/build/macos/app/Vanto.app"
codesign --verify --deep --strict "$app"

out="$root/build/package"
zip="$out/Vanto-$version-macos.zip"
mkdir -p "$out"
rm -f "$zip"
ditto -c -k --keepParent "$app" "$zip"
echo "$zip"
shasum -a 256 "$zip"
