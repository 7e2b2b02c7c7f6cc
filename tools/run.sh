#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Vanto and types through its real
# keystroke pipeline into an in-memory text field. On a terminal the field is
# shown live as you type; with input piped in, each line is typed into a
# fresh field and the field's text is printed. Options go to vanto-type
# (--vni, --no-spell, --alt-tone, --quick-w, --z, --bs-char, --english-context,
# --no-english-context, --app ID, --raw).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
exec build/release/tools/vanto-type/vanto-type "$@"
