#!/usr/bin/env bash
# Builds both presets and runs the benchmark: the launcher's own cost against
# a floor program that makes the same JVM runs, file copy, append and tree
# deletion against the system's own, exe sizes and peak working set.
# Arguments go to bench/run.sh (--quick, --markdown).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
for preset in win64 win32; do
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset >/dev/null
done
exec bash bench/run.sh "$@"
