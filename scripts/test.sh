#!/usr/bin/env bash
# Installs what is missing, builds both architectures and runs every test
# under Wine. Extra arguments go to ctest (for example: -R unit.DelDirTree).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

"$here/scripts/setup.sh"

cmake --preset win64 >/dev/null
cmake --build --preset win64
cmake --preset win32 >/dev/null
cmake --build --preset win32

source "$here/scripts/wine-env.sh"
wine_env_start
trap wine_env_stop EXIT

# Both builds run every test: the 32-bit one under WoW64 in the same kind of
# prefix, as it runs on 64-bit Windows. Each test runs once.
status=0
ctest --preset win64 "$@" || status=$?
ctest --preset win32 "$@" || status=$?
exit $status
