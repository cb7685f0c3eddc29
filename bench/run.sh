#!/usr/bin/env bash
# Runs filebench.exe under Wine, times the host's plain cp of the same file,
# and prints one table: each figure, its peer and the ratio (peer time over
# figure time: above 1 the figure is faster, below 1 slower).
#
# Usage: bench/run.sh [--quick] [--variants] [filebench options...]
#   --quick      small sizes, one tree run: a smoke test of the whole chain.
#   --variants   also the private stream-copy variants (copyvariants.cpp).
# Uses LAUNCHER_BUILD (default build/win64) and the Wine prefix already set
# up by wine_env_start when there is one, else a fresh one of its own.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${LAUNCHER_BUILD:-$here/build/win64}
exe=$build/bench/filebench.exe
[ -f "$exe" ] || { echo "run.sh: $exe not built" >&2; exit 1; }

source "$here/scripts/wine-env.sh"
own_env=0
if [ -z "${LAUNCHER_RUN_DIR:-}" ] || [ -z "${WINEPREFIX:-}" ] || [ ! -d "$WINEPREFIX/drive_c" ]; then
  own_env=1
  wine_env_start >/dev/null 2>&1
fi

quick=0
for arg in "$@"; do [ "$arg" = --quick ] && quick=1; done
cp_runs=5
[ $quick = 1 ] && cp_runs=3

name=filebench-$$
windir="C:\\$name"
hostdir=$WINEPREFIX/drive_c/$name
rm -rf "$hostdir"
cleanup_dir() { rm -rf "$hostdir"; }
trap 'cleanup_dir; if [ $own_env = 1 ]; then wine_env_stop; fi' EXIT

output=$("$WINE" "$exe" "$windir" --keep "$@" | tr -d '\r') || {
  echo "$output"
  echo "run.sh: filebench failed" >&2
  exit 1
}
echo "$output" | grep -v '^RESULT' || true

declare -A seconds amount
while read -r word figure value count; do
  [ "$word" = RESULT ] || continue
  seconds[$figure]=$value
  amount[$figure]=$count
done <<<"$output"

# The host's own copy of the same file, hot in the page cache as it was
# for the copies inside Wine.
src=$hostdir/bench.src
[ -f "$src" ] || { echo "run.sh: $src missing" >&2; exit 1; }
times=()
for _ in $(seq "$cp_runs"); do
  rm -f "$hostdir/bench.cp"
  start=$(date +%s.%N)
  cp "$src" "$hostdir/bench.cp"
  end=$(date +%s.%N)
  times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }')")
done
cmp -s "$src" "$hostdir/bench.cp" || { echo "run.sh: host cp differs" >&2; exit 1; }
seconds[hostCp]=$(printf '%s\n' "${times[@]}" | sort -g | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}')
amount[hostCp]=${amount[copyFile]:-0}
cleanup_dir

for figure in copyFile CopyFileA appendFile plainAppend cmdStartup delDirTree rmdir hostCp; do
  [ -n "${seconds[$figure]:-}" ] || { echo "run.sh: no figure for $figure" >&2; exit 1; }
done
seconds[rmdirNoStartup]=$(awk -v a="${seconds[rmdir]}" -v b="${seconds[cmdStartup]}" 'BEGIN { printf "%.6f", a - b }')
amount[rmdirNoStartup]=${amount[rmdir]}

rate() {  # MB/s for byte amounts, files/s for trees
  local figure=$1
  awk -v s="${seconds[$figure]}" -v n="${amount[$figure]}" -v tree="$2" 'BEGIN {
    if (s <= 0) { print "-"; exit }
    if (tree) printf "%.0f files/s", n / s; else printf "%.0f MB/s", n / 1048576 / s }'
}

row() {  # figure peer [tree]
  local tree=${3:-}
  awk -v f="$1" -v p="$2" -v fs="${seconds[$1]}" -v ps="${seconds[$2]}" \
      -v fr="$(rate "$1" "$tree")" -v pr="$(rate "$2" "$tree")" 'BEGIN {
    ratio = (fs > 0) ? sprintf("%.2f", ps / fs) : "-"
    printf "%-28s %9.3f s %15s   %-32s %9.3f s %15s   %6s\n", f, fs, fr, p, ps, pr, ratio }'
}

echo
printf '%-28s %11s %15s   %-32s %11s %15s   %6s\n' figure time rate peer time rate ratio
row copyFile CopyFileA
row copyFile hostCp
row CopyFileA hostCp
row appendFile plainAppend
row delDirTree rmdir tree
row delDirTree rmdirNoStartup tree
printf '(cmd /c exit alone: %.3f s; rmdirNoStartup is rmdir less that start-up)\n' "${seconds[cmdStartup]}"

# With --variants: the private stream-copy variants, each against CopyFileA
# timed in the same rounds.
variants=$(echo "$output" | awk '$1 == "RESULT" && $2 ~ /^variant:/ { sub("variant:", "", $2); print $2 }')
if [ -n "$variants" ]; then
  echo
  echo "stream-copy variants (copyvariants.cpp) against CopyFileA:"
  for v in $variants; do
    amount[variantPeer:$v]=${amount[variant:$v]}
    row "variant:$v" "variantPeer:$v"
  done
  echo
  echo "the same variants appending, against the plain ReadFile/WriteFile append:"
  for v in $variants; do
    amount[appendVariantPeer:$v]=${amount[appendVariant:$v]}
    row "appendVariant:$v" "appendVariantPeer:$v"
  done
fi
