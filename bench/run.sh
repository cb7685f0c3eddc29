#!/usr/bin/env bash
# Runs filebench.exe and launchbench.exe under Wine, times the host's plain
# cp of the same file, times the JVM download (tests/tools/fetchjvm.exe)
# against curl, sha256sum and unzip of the same archive from the same local
# server, reads the sizes and imports of installer.exe, and
# prints one table: each figure, its peer and the ratio (peer over figure:
# above 1 the figure is faster or smaller, below 1 slower or larger), and
# the goal where there is one. It fails when the launcher did not make the
# floor's JVM runs (a launcher that fails does less and would look fast) or
# when installer.exe imports anything but Windows system DLLs.
#
# Usage: bench/run.sh [--quick] [--markdown] [filebench options...]
#   --quick      small sizes, one run of each: a smoke test of the whole chain.
#   --markdown   the table as Markdown (for the README).
# Uses HOST_JAVA (default /usr/lib/jvm/default-java/bin/java: the real-JVM
# rows, left out when it is missing), LAUNCHER_BUILD (default build/win64), LAUNCHER_BUILD32 (default
# build/win32, for the 32-bit exe's size; left out when not built),
# LAUNCHBENCH_RUNS (default 11), LAUNCHBENCH_VARIANT (another build of
# installer.exe, timed in the same rounds against the launcher) and the
# Wine prefix already set up by wine_env_start when there is one, else a
# fresh one of its own.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${LAUNCHER_BUILD:-$here/build/win64}
build32=${LAUNCHER_BUILD32:-$here/build/win32}
exe=$build/bench/filebench.exe
for program in "$exe" "$build/bench/launchbench.exe" "$build/bench/floor.exe" \
               "$build/installer.exe" "$build/stubs/stubjvm.exe" "$build/java/TestJvm.class" \
               "$build/bench/installer_timeline.exe" "$build/stubs/hostjava.exe" \
               "$build/tools/fetchjvm.exe"; do
  [ -f "$program" ] || { echo "run.sh: $program not built" >&2; exit 1; }
done

source "$here/scripts/wine-env.sh"
own_env=0
own_prefix=0
if [ -z "${LAUNCHER_RUN_DIR:-}" ] || [ -z "${LAUNCHER_WINE_TEMPLATE:-}" ] ||
   [ ! -d "$LAUNCHER_WINE_TEMPLATE/drive_c" ]; then
  own_env=1
  wine_env_start >/dev/null 2>&1
else
  # Inside a test run: a private copy of the run's prefix, so that the
  # registry keys the bench writes and clears never meet a parallel test's.
  own_prefix=1
  export WINEPREFIX=$LAUNCHER_RUN_DIR/bench-$$
  wine_prefix_copy "$LAUNCHER_WINE_TEMPLATE" "$WINEPREFIX"
  "$WINESERVER" -p
fi

quick=0
markdown=0
args=()
for arg in "$@"; do
  case $arg in
    --quick) quick=1; args+=("$arg") ;;
    --markdown) markdown=1 ;;
    *) args+=("$arg") ;;
  esac
done
set -- ${args[@]+"${args[@]}"}
cp_runs=5
[ $quick = 1 ] && cp_runs=3

name=filebench-$$
windir="C:\\$name"
hostdir=$WINEPREFIX/drive_c/$name
launchdir=$WINEPREFIX/drive_c/launchbench-$$
rm -rf "$hostdir" "$launchdir"
cleanup_dir() { rm -rf "$hostdir"; }
trap 'cleanup_dir; rm -rf "$launchdir"; if [ $own_env = 1 ]; then wine_env_stop; fi
      if [ $own_prefix = 1 ]; then "$WINESERVER" -k 2>/dev/null; rm -rf "$WINEPREFIX"; fi' EXIT

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

# The median seconds of cp_runs host copies of $1 to $2.
host_cp_median() {
  local times=() start end
  for _ in $(seq "$cp_runs"); do
    rm -f "$2"
    start=$(date +%s.%N)
    cp "$1" "$2"
    end=$(date +%s.%N)
    times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }')")
  done
  printf '%s\n' "${times[@]}" | sort -g |
    awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'
}

# The host's own copy of the same file, hot in the page cache as it was
# for the copies inside Wine.
src=$hostdir/bench.src
[ -f "$src" ] || { echo "run.sh: $src missing" >&2; exit 1; }
seconds[hostCp]=$(host_cp_median "$src" "$hostdir/bench.cp")
cmp -s "$src" "$hostdir/bench.cp" || { echo "run.sh: host cp differs" >&2; exit 1; }
amount[hostCp]=${amount[copyFile]:-0}
cleanup_dir

# The download of a JVM (tests/tools/fetchjvm.exe, the launcher's own code):
# a vendor-like zip of 50 MB (2 MB with --quick; half its blocks random, half
# zeros) from the test server on 127.0.0.1, fetched into a temporary file,
# hashed and expanded, against the same work by the host's own tools on the
# same archive and server: curl into a file, sha256sum, unzip into a fresh
# folder, timed as one. Rounds alternate which side goes first; each side's
# figure is its median round, whose parts are printed after the table.
dl_mb=50
dl_runs=5
[ $quick = 1 ] && { dl_mb=2; dl_runs=1; }
for tool in curl sha256sum unzip; do
  command -v $tool >/dev/null || { echo "run.sh: $tool missing (scripts/setup.sh installs it)" >&2; exit 1; }
done
dldir=$WINEPREFIX/drive_c/dlbench-$$
mkdir -p "$dldir/www"
python3 - "$dldir/www/jdk.zip" "$dl_mb" <<'PY'
import random, sys, zipfile
target, rnd = int(sys.argv[2]) << 20, random.Random(0)
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
    i = 0
    while z.fp.tell() < target:
        z.writestr(f"jdk-bench/lib/part{i}.bin", b"".join(
            rnd.randbytes(4096) + bytes(4096) for _ in range(128)))
        i += 1
PY
dl_bytes=$(stat -c %s "$dldir/www/jdk.zip")
dl_sha=$(sha256sum "$dldir/www/jdk.zip" | cut -d' ' -f1)
python3 "$here/tests/e2e/http_server.py" "$dldir/www" >"$dldir/port" &
server=$!
for _ in $(seq 100); do [ -s "$dldir/port" ] && break; sleep 0.1; done
dl_url="http://127.0.0.1:$(cat "$dldir/port")/jdk.zip"
dl_stop() {
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
}
dl_fail() {  # output why
  [ -n "$1" ] && echo "$1"
  dl_stop
  rm -rf "$dldir"
  echo "run.sh: $2" >&2
  exit 1
}
# One launcher round, into round: "total transfer rest" in seconds (the
# transfer with the hash taken as the bytes arrive; the rest is nearly all
# the expansion).
dl_ours() {
  local out
  rm -rf "$dldir/target"
  mkdir "$dldir/target"
  out=$("$WINE" "$build/tools/fetchjvm.exe" "$dl_url" "$dl_sha" "C:\\dlbench-$$\\target" | tr -d '\r') || true
  [ "$(echo "$out" | head -n 1)" = ok ] || dl_fail "$out" "fetchjvm failed"
  round=$(echo "$out" | awk '$1 == "seconds" { s = $2 } $1 == "transfer" { t = $2 }
    END { printf "%.6f %.6f %.6f", s, t, s - t }')
}
# One host round, into round: "total curl sha256sum unzip" in seconds. The
# fresh folder is made, and the last round's files removed, before the clock
# starts.
dl_host() {
  local t0 t1 t2 t3 sum
  rm -rf "$dldir/host"
  mkdir -p "$dldir/host/jdk"
  t0=${EPOCHREALTIME/,/.}
  curl -sSf --noproxy '*' -o "$dldir/host/jdk.zip" "$dl_url" || dl_fail "" "curl failed"
  t1=${EPOCHREALTIME/,/.}
  sum=$(sha256sum "$dldir/host/jdk.zip") || dl_fail "" "sha256sum failed"
  [ "${sum%% *}" = "$dl_sha" ] || dl_fail "" "curl's archive has another SHA-256"
  t2=${EPOCHREALTIME/,/.}
  unzip -q "$dldir/host/jdk.zip" -d "$dldir/host/jdk" || dl_fail "" "unzip failed"
  t3=${EPOCHREALTIME/,/.}
  round=$(awk -v a="$t0" -v b="$t1" -v c="$t2" -v d="$t3" \
          'BEGIN { printf "%.6f %.6f %.6f %.6f", d - a, b - a, c - b, d - c }')
}
median_round() { printf '%s\n' "$@" | sort -g -k1,1 | awk '{ l[NR] = $0 } END { print l[int((NR + 1) / 2)] }'; }
ours_rounds=()
host_rounds=()
for n_round in $(seq "$dl_runs"); do
  for side in $([ $((n_round % 2)) = 1 ] && echo ours host || echo host ours); do
    "dl_$side"
    if [ $side = ours ]; then ours_rounds+=("$round"); else host_rounds+=("$round"); fi
  done
done
dl_stop
# Both sides did the same work: the same tree came out.
diff -rq "$dldir/target" "$dldir/host/jdk" >/dev/null ||
  dl_fail "" "the launcher and unzip expanded different trees"
read -r dl_total dl_transfer dl_expand <<<"$(median_round "${ours_rounds[@]}")"
read -r host_total host_curl host_sha host_unzip <<<"$(median_round "${host_rounds[@]}")"
seconds[jvmDownload]=$dl_total
amount[jvmDownload]=$dl_bytes
seconds[curl+sha256sum+unzip]=$host_total
amount[curl+sha256sum+unzip]=$dl_bytes
rm -rf "$dldir"

# The launcher's happy path against the floor (launchbench.cpp), with the
# programs copied into the prefix's drive C as a package would bring them.
mkdir -p "$launchdir/programs"
cp "$build/installer.exe" "$build/bench/floor.exe" "$build/stubs/stubjvm.exe" \
   "$build/java/TestJvm.class" "$build/bench/installer_timeline.exe" "$build/stubs/hostjava.exe" \
   "$launchdir/programs/"
if [ -f "$build/java/install.jar" ]; then
  cp "$build/java/install.jar" "$launchdir/programs/"
else
  printf 'wizard' >"$launchdir/programs/install.jar"
fi
lwin="C:\\launchbench-$$"
lprog="$lwin\\programs"
launch_options=(--runs "${LAUNCHBENCH_RUNS:-11}")
[ $quick = 1 ] && launch_options=(--quick)
launch_options+=(--timeline "$lprog\\installer_timeline.exe")
# The real JVM: the host's, through the bridge, registered as the demo does.
host_java=${HOST_JAVA:-/usr/lib/jvm/default-java/bin/java}
real=0
if [ -x "$host_java" ] && [ -f "$build/java/install.jar" ]; then
  real=1
  real_version=$("$host_java" -XshowSettings:properties -version 2>&1 |
                 sed -n 's/^ *java\.version = //p' | head -n 1)
  case "$real_version" in
    *.*.*) real_subkey=${real_version%.*}; real_micro=${real_version##*.} ;;
    *) real_subkey=$real_version; real_micro=0 ;;
  esac
  launch_options+=(--real "$lprog\\hostjava.exe" "$host_java" "$real_subkey" "$real_micro")
fi
variant=${LAUNCHBENCH_VARIANT:-}
if [ -n "$variant" ]; then
  cp "$variant" "$launchdir/programs/variant.exe"
  launch_options+=(--variant "$lprog\\variant.exe")
fi
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
launch_output=$("$WINE" "$build/bench/launchbench.exe" "$lwin\\scratch" "$lprog\\installer.exe" \
    "$lprog\\floor.exe" "$lprog\\stubjvm.exe" "$lprog\\TestJvm.class" "$lprog\\install.jar" \
    "${launch_options[@]}" | tr -d '\r') || {
  echo "$launch_output"
  echo "run.sh: launchbench failed" >&2
  exit 1
}
rm -rf "$launchdir"

declare -A runs_test runs_wizard runs_marker memory private spread
timeline_lines=()
candidates=1
while read -r word figure value count extra; do
  case $word in
    RESULT) seconds[$figure]=$value; amount[$figure]=$count
            [ "$count" -gt "$candidates" ] && candidates=$count ;;
    RUNS) runs_test[$figure]=$value; runs_wizard[$figure]=$count; runs_marker[$figure]=$extra ;;
    MEMORY) memory[$figure]=$value ;;
    PRIVATE) private[$figure]=$value ;;
    TIMELINE) timeline_lines+=("$figure $value $count $extra") ;;
    SPREAD) spread[$figure]="$value-$count" ;;
  esac
done <<<"$launch_output"
memory_mode=$(echo "$launch_output" | awk '$1 == "MEMORYMODE" { print $2 }')
n=$candidates
for figure in launcher:1 launcherdlg:1 floor:1 floorwin:1 launcher:$n floor:$n floorwin:$n stub:1; do
  [ -n "${seconds[$figure]:-}" ] || { echo "run.sh: no figure for $figure" >&2; exit 1; }
done

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
      -v fr="$(rate "$1" "$tree")" -v pr="$(rate "$2" "$tree")" -v md="$markdown" 'BEGIN {
    ratio = (fs > 0) ? sprintf("%.2f", ps / fs) : "-"
    if (md) printf "| %s | %.3f s, %s | %s | %.3f s, %s | %s | |\n", f, fs, fr, p, ps, pr, ratio
    else printf "%-28s %9.3f s %15s   %-32s %9.3f s %15s   %6s\n", f, fs, fr, p, ps, pr, ratio }'
}

echo
if [ $markdown = 1 ]; then
  echo "| figure | value | peer | value | ratio | goal |"
  echo "|---|---|---|---|---|---|"
else
  printf '%-28s %11s %15s   %-32s %11s %15s   %6s   %s\n' figure time rate peer time rate ratio goal
fi
row copyFile CopyFileA
row copyFile hostCp
row CopyFileA hostCp
row appendFile plainAppend
row delDirTree rmdir tree
row delDirTree rmdirNoStartup tree
row jvmDownload curl+sha256sum+unzip

# Faults that make the figures meaningless or break a hard rule: the run
# fails on them (after the table), so that the smoke test catches them.
faults=()

# The launcher. Its ratio counts only when it made the floor's JVM runs and
# took the wizard's marker (the happy path); a launcher that failed did less.
happy() {  # launcher:N floor:N -> "" when comparable, else why not
  local l=$1 f=$2
  if [ "${runs_test[$l]}" != "${runs_test[$f]}" ] || [ "${runs_wizard[$l]}" != 1 ] ||
     [ "${runs_marker[$l]}" != 0 ]; then
    echo "NOT COMPARABLE: launcher made ${runs_test[$l]} test and ${runs_wizard[$l]} wizard runs (floor ${runs_test[$f]}+${runs_wizard[$f]})$([ "${runs_marker[$l]}" = 1 ] && echo ', marker left')"
  fi
}
goal() {  # ratio minimum [why-not] -> verdict text
  if [ -n "${3:-}" ]; then echo "$3"; return; fi
  awk -v r="$1" -v m="$2" 'BEGIN { if (r == "-") print "-"; else printf "goal >= %.2f: %s", m, (r + 0 >= m) ? "met" : "MISSED" }'
}
line() {  # figure value peer peerValue ratio goalText
  if [ $markdown = 1 ]; then
    printf '| %s | %s | %s | %s | %s | %s |\n' "$1" "$2" "$3" "$4" "$5" "$6"
    return
  fi
  printf '%-28s %27s   %-32s %27s   %6s   %s\n' "$1" "$2" "$3" "$4" "$5" "$6"
}
ratio() { awk -v p="$1" -v f="$2" 'BEGIN { if (f > 0) printf "%.2f", p / f; else print "-" }'; }
secs() { awk -v s="$1" -v w="${2:-}" 'BEGIN { printf "%.3f s%s", s, w }'; }
kb() { awk -v b="$1" 'BEGIN { printf "%.1f KB", b / 1024 }'; }
mb() { awk -v b="$1" 'BEGIN { printf "%.1f MB", b / 1048576 }'; }
within=$(awk 'BEGIN { printf "%.4f", 1 / 1.10 }')  # launcher within 1.10 of the floor

# The reference is the floor with one window: a launcher with a status
# dialog cannot spend less. The bare floor stays for context.
for k in 1 "$n"; do
  why=$(happy "launcher:$k" "floorwin:$k")
  [ -n "$why" ] && faults+=("happy path with $k JVMs: $why")
  r=$(ratio "${seconds[floorwin:$k]}" "${seconds[launcher:$k]}")
  line "happyPath, $k JVM$([ "$k" = 1 ] || echo s)" "$(secs "${seconds[launcher:$k]}")" \
       "floor + one window ($k test + 1 wizard run)" "$(secs "${seconds[floorwin:$k]}")" "$r" "$(goal "$r" "$within" "$why")"
  if [ "$k" = 1 ]; then
    why=$(happy "launcherdlg:1" "floorwin:1")
    [ -n "$why" ] && faults+=("happy path with its dialog: $why")
    r=$(ratio "${seconds[floorwin:1]}" "${seconds[launcherdlg:1]}")
    line "happyPath with dialog, 1 JVM" "$(secs "${seconds[launcherdlg:1]}")" \
         "floor + one window (1 test + 1 wizard run)" "$(secs "${seconds[floorwin:1]}")" "$r" "$(goal "$r" "$within" "$why")"
  fi
done
if [ -n "$variant" ]; then
  for k in 1 "$n"; do
    why=$(happy "variant:$k" "floor:$k")
    r=$(ratio "${seconds[launcher:$k]}" "${seconds[variant:$k]}")
    line "variant, $k JVM$([ "$k" = 1 ] || echo s)" "$(secs "${seconds[variant:$k]}")" \
         "happyPath, $k JVM$([ "$k" = 1 ] || echo s)" "$(secs "${seconds[launcher:$k]}")" "$r" "${why:-($(basename "$variant"))}"
  done
fi
for k in 1 "$n"; do
  r=$(ratio "${seconds[floor:$k]}" "${seconds[floorwin:$k]}")
  line "floor + one window, $k JVM$([ "$k" = 1 ] || echo s)" "$(secs "${seconds[floorwin:$k]}")" \
       "floor ($k test + 1 wizard run)" "$(secs "${seconds[floor:$k]}")" "$r" "(what having a window costs)"
done
per() { awk -v a="${seconds[$1:1]}" -v b="${seconds[$1:$n]}" -v n="$n" 'BEGIN { printf "%.6f", (b - a) / (n - 1) }'; }
per_launcher=$(per launcher)
per_floor=$(per floorwin)
why=$(happy "launcher:$n" "floorwin:$n")
r=$(ratio "$per_floor" "$per_launcher")
line "perCandidate (launcher)" "$(secs "$per_launcher")" "perCandidate (floor + one window)" "$(secs "$per_floor")" \
     "$r" "$(goal "$r" "$within" "$why")"
r=$(ratio "${seconds[stub:1]}" "$per_launcher")
line "perCandidate (launcher)" "$(secs "$per_launcher")" "stub test run (from a console)" \
     "$(secs "${seconds[stub:1]}")" "$r" "(the stub's own start cost)"
# The search's own costs: candidates refused on the way (five too old ahead
# of the one that fits, against a package whose first candidate fits), and
# registered homes by the number (300 against 30; within ten times).
for figure in many:needs17 many:firstfits homes:30 homes:300; do
  [ -n "${seconds[$figure]:-}" ] || { echo "run.sh: no figure for $figure" >&2; exit 1; }
done
once() {  # figure -> "" when it made one test and one wizard run, else why not
  if [ "${runs_test[$1]}" != 1 ] || [ "${runs_wizard[$1]}" != 1 ] || [ "${runs_marker[$1]}" != 0 ]; then
    echo "NOT COMPARABLE: $1 made ${runs_test[$1]} test and ${runs_wizard[$1]} wizard runs"
  fi
}
why=$(once many:needs17)$(once many:firstfits)
[ -n "$why" ] && faults+=("many JVMs: $why")
r=$(ratio "${seconds[many:firstfits]}" "${seconds[many:needs17]}")
line "manyJvms, 5 too old + 1 fits" "$(secs "${seconds[many:needs17]}")" \
     "first candidate fits (400 ms runs)" "$(secs "${seconds[many:firstfits]}")" "$r" "$(goal "$r" 0.8 "$why")"
why=$(once homes:30)$(once homes:300)
[ -n "$why" ] && faults+=("registered homes: $why")
r=$(ratio "${seconds[homes:30]}" "${seconds[homes:300]}")
line "300 registered homes" "$(secs "${seconds[homes:300]}")" \
     "30 registered homes" "$(secs "${seconds[homes:30]}")" "$r" "$(goal "$r" 0.10 "$why")"
if [ $real = 1 ]; then
  for figure in real:launcher real:floorwin; do
    [ -n "${seconds[$figure]:-}" ] || { echo "run.sh: no figure for $figure" >&2; exit 1; }
  done
  r=$(ratio "${seconds[real:floorwin]}" "${seconds[real:launcher]}")
  share=$(awk -v l="${seconds[real:launcher]}" -v f="${seconds[real:floorwin]}" 'BEGIN {
    if (l >= f) printf "(the launcher'"'"'s own share: %.0f%%)", (l - f) / l * 100
    else printf "(%.0f ms under the floor: a quiet run makes no window)", (f - l) * 1000 }')
  line "happyPath, real JDK $real_version" "$(secs "${seconds[real:launcher]}")" \
       "floor + one window (same 2 real runs)" "$(secs "${seconds[real:floorwin]}")" "$r" "$share"
fi

# Sizes and imports of both exes (the goal is the peer).
size_goal=$((200 * 1024))
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|msvcrt|comctl32|comdlg32|ole32|oleaut32|shlwapi|version|ws2_32|psapi)\.dll$'
imports_of() {
  local objdump=$1 file=$2
  "$objdump" -p "$file" | awk '/DLL Name:/ { print tolower($3) }' | sort -u | tr '\n' ' '
}
size_rows=()
for preset in win64 win32; do
  if [ $preset = win64 ]; then file=$build/installer.exe; objdump=x86_64-w64-mingw32-objdump
  else file=$build32/installer.exe; objdump=i686-w64-mingw32-objdump; fi
  if [ ! -f "$file" ]; then
    line "installer.exe ($preset)" "not built" "goal" "$(kb $size_goal)" "-" "(build the $preset preset)"
    continue
  fi
  bytes=$(stat -c %s "$file")
  dlls=$(imports_of "$objdump" "$file")
  foreign=$(for d in $dlls; do echo "$d"; done | grep -Eiv "$system_dlls" | tr '\n' ' ' || true)
  r=$(ratio "$size_goal" "$bytes")
  verdict=$(goal "$r" 1)
  if [ -n "$foreign" ]; then
    verdict="$verdict; NOT SYSTEM DLLS: $foreign"
    faults+=("installer.exe ($preset) imports $foreign")
  fi
  line "installer.exe ($preset)" "$(kb "$bytes")" "goal" "$(kb $size_goal)" "$r" "$verdict"
  size_rows+=("installer.exe ($preset) imports: $dlls")
done

mem_goal=$((8 * 1024 * 1024))
r=$(ratio "$mem_goal" "${memory[launcher:1]}")
line "peakWorkingSet (launcher)" "$(mb "${memory[launcher:1]}")" "goal" "$(mb $mem_goal)" "$r" "$(goal "$r" 1 "$(happy launcher:1 floor:1)")"
for side in launcher launcherdlg; do
  extra=$(awk -v a="${private[$side:1]}" -v b="${private[floorwin:1]}" 'BEGIN { d = (a - b) / 1048576; printf "goal within 1.0 MB: %+.2f MB, %s", d, (d <= 1.0) ? "met" : "MISSED" }')
  r=$(ratio "${private[floorwin:1]}" "${private[$side:1]}")
  line "privateBytes ($side)" "$(mb "${private[$side:1]}")" "floor + one window" "$(mb "${private[floorwin:1]}")" "$r" "$extra"
done
r=$(ratio "${memory[floorwin:1]}" "${memory[launcher:1]}")
line "peakWorkingSet (launcher)" "$(mb "${memory[launcher:1]}")" "floor + one window" "$(mb "${memory[floorwin:1]}")" "$r" ""
r=$(ratio "${memory[floor:1]}" "${memory[launcher:1]}")
line "peakWorkingSet (launcher)" "$(mb "${memory[launcher:1]}")" "floor" "$(mb "${memory[floor:1]}")" "$r" "(stub JVM alone: $(mb "${memory[stub:1]}"))"

echo
printf '(cmd /c exit alone: %.3f s; rmdirNoStartup is rmdir less that start-up)\n' "${seconds[cmdStartup]}"
# Where each side's download goes: the parts of its median round.
awk -v runs="$dl_runs" -v t="$dl_total" -v a="$dl_transfer" -v b="$dl_expand" \
    -v h="$host_total" -v c="$host_curl" -v s="$host_sha" -v u="$host_unzip" 'BEGIN {
  part = "%s %.3f s (%.0f%%)"
  share = (t > 0) ? 100 / t : 0
  printf "(jvmDownload, the median of %d round%s, sides alternating: launcher %.3f s = " \
         part " + " part ")\n", runs, (runs == 1) ? "" : "s", t,
         "transfer with its hash", a, a * share, "expansion and the rest", b, b * share
  share = (h > 0) ? 100 / h : 0
  printf "(jvmDownload peer: curl+sha256sum+unzip %.3f s = " part " + " part " + " part ")\n",
         h, "curl", c, c * share, "sha256sum", s, s * share, "unzip", u, u * share }'
printf '(launcher runs: %s; medians of %s runs each, sides alternating; peak working sets %s)\n' \
  "\"installer.exe -q x\" (and \"installer.exe\" with its dialog), 1 and $n registered JVMs of which only the oldest is acceptable" \
  "$([ $quick = 1 ] && echo 1 || echo "${LAUNCHBENCH_RUNS:-11}")" \
  "$([ "$memory_mode" = sampled ] && echo 'sampled every 1 ms while running' || echo 'read after exit')"
for row in "${size_rows[@]}"; do echo "($row)"; done
if [ $quick = 0 ]; then
  printf '(fastest-slowest run, s:'
  for figure in launcher:1 launcherdlg:1 floor:1 floorwin:1 launcher:$n floor:$n floorwin:$n; do
    printf ' %s %s' "$figure" "$(echo "${spread[$figure]}" | awk -F- '{ printf "%.3f-%.3f", $1, $2 }')"
  done
  printf '; load average before the runs: %s)\n' "$load_before"
fi

if [ ${#timeline_lines[@]} -gt 0 ]; then
  echo
  echo "Timeline of one launcher run (installer_timeline.exe, 1 registered JVM; ms after CreateProcess, medians):"
  for entry in "${timeline_lines[@]}"; do
    read -r mode ms thread name <<<"$entry"
    if [ $markdown = 1 ]; then printf -- '- %s %8s ms  %-6s %s\n' "$mode" "$ms" "$thread" "$name"
    else printf '  %-6s %8s ms  %-6s %s\n' "$mode" "$ms" "$thread" "$name"; fi
  done
fi

if [ ${#faults[@]} -gt 0 ]; then
  for fault in "${faults[@]}"; do echo "run.sh: $fault" >&2; done
  exit 1
fi
