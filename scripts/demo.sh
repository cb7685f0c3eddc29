#!/usr/bin/env bash
# Demo: installer.exe under Wine finds this machine's JDK in the Windows
# registry, proves it with the test class, writes native.properties and
# starts the sample wizard (install.jar) on it.
#
# The JDK is registered in a fresh Wine prefix with the hostjava bridge as
# its bin\javaw.exe: a Windows program that runs the host's java and waits
# for it. The run is quiet (no boxes) and traced (an empty jinstall.log).
#
# --keep: the work directory and the Wine prefix stay for inspection (their
# places and how to run wine on them are printed at the end); without it
# everything the demo made goes.
#
# On a fresh machine the first run takes a few minutes: the Debian packages,
# the build (minutes on two cores) and a Wine prefix; each step
# says when it starts and how long it took. Later runs take seconds.
set -euo pipefail
KEEP=0
for arg in "$@"; do
  case $arg in
    --keep) KEEP=1 ;;
    *) echo "usage: $0 [--keep]" >&2; exit 2 ;;
  esac
done
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=$ROOT/build/win64
HOST_JAVA=${HOST_JAVA:-/usr/lib/jvm/default-java/bin/java}

# A step's line before it starts, and the seconds it took after it.
step_started=$SECONDS
step() {
  echo "== $*"
  step_started=$SECONDS
}
step_done() {
  echo "   done in $((SECONDS - step_started)) s"
}

if [ ! -f "$BUILD/installer.exe" ]; then
  echo "== first run on this machine: a few minutes (packages, build, Wine prefix); later runs take seconds"
fi
step "checking the Debian packages (scripts/setup.sh; a fresh machine installs them, which takes minutes)"
bash scripts/setup.sh
step_done
step "configuring the build (cmake --preset win64)"
cmake --preset win64 >/dev/null
step_done
step "building installer.exe, its tests and the Java pieces (the first build takes minutes)"
cmake --build --preset win64 >/dev/null
step_done
echo "== built $BUILD/installer.exe"

step "starting Wine: a fresh prefix and a display of its own (under a minute)"
source scripts/wine-env.sh
wine_env_start
step_done

# The end of the demo, whatever its result: Wine's servers and the display
# stop; with --keep the run's directory stays and is named.
demo_exit() {
  if [ "$KEEP" = 1 ]; then
    local run=$LAUNCHER_RUN_DIR
    LAUNCHER_RUN_DIR=  # wine_env_stop leaves it
    wine_env_stop || true
    echo
    echo "== kept (--keep): the Wine prefix $WINEPREFIX"
    echo "   the work directory C:\\demo: $WINEPREFIX/drive_c/demo"
    echo "   the JDK's bridge C:\\jvms\\hostjdk: $WINEPREFIX/drive_c/jvms/hostjdk"
    echo "   wine on them, e.g.:"
    echo "     export WINEPREFIX=$WINEPREFIX WINEDEBUG=-all"
    echo "     $WINE reg query 'HKLM\\SOFTWARE\\JavaSoft\\JDK' /s"
    echo "     cd \"\$WINEPREFIX/drive_c/demo\" && $WINE cmd /c dir"
    echo "   (programs with windows need a DISPLAY of yours); remove it all with"
    echo "     rm -rf $run"
  else
    wine_env_stop
  fi
}
trap demo_exit EXIT

# The run's own prefix (fresh for this run) and a fresh work directory in it.
DRIVE_C=$WINEPREFIX/drive_c
WORK=$DRIVE_C/demo
JDK=$DRIVE_C/jvms/hostjdk
rm -rf "$WORK" "$JDK"
mkdir -p "$WORK" "$JDK/bin"

# The machine's JDK, with the bridge as its programs, registered as a JDK 17
# installer of today registers it: SOFTWARE\JavaSoft\JDK\<version> with
# JavaHome (no MicroVersion), and the current version on the key above.
version=$("$HOST_JAVA" -XshowSettings:properties -version 2>&1 |
          sed -n 's/^ *java\.version = //p' | head -n 1)
major=${version%%[.+-]*}
[ "$major" = 1 ] && major=$(echo "$version" | cut -d. -f2)
for program in javaw.exe java.exe; do
  cp "$BUILD/stubs/hostjava.exe" "$JDK/bin/$program"
done
echo "java=$HOST_JAVA" >"$JDK/bin/hostjava.ini"
"$WINE" reg add 'HKLM\SOFTWARE\JavaSoft\JDK' /v CurrentVersion /d "$version" /f >/dev/null
key="HKLM\\SOFTWARE\\JavaSoft\\JDK\\$version"
"$WINE" reg add "$key" /v JavaHome /d 'C:\jvms\hostjdk' /f >/dev/null
"$WINE" reg add "$key" /v RuntimeLib /d 'C:\jvms\hostjdk\bin\server\jvm.dll' /f >/dev/null
echo "== registered the host JDK $version as $key (JavaHome C:\\jvms\\hostjdk)"

# The sample package.
cp "$BUILD/installer.exe" "$WORK/"
cp "$BUILD/java/TestJvm.class" "$BUILD/java/install.jar" "$WORK/"
printf '%s\n' "jvmRequiredVersion=$major" "jvmCommandName=javaw.exe" \
  "jvmClasspathSwitch=-classpath" "loaderClasspath=.;install.jar" \
  "loaderJavaCommand=SampleWizard" >"$WORK/kiv.control"
: >"$WORK/jinstall.log"
echo "== work directory C:\\demo:"
ls -l "$WORK"
echo "== kiv.control:"
cat "$WORK/kiv.control"

echo "== running: wine installer.exe -q demo"
set +e
(cd "$WORK" && "$WINE" installer.exe -q demo)
code=$?
set -e

echo
echo "== trace (jinstall.log):"
tr -d '\r' <"$WORK/jinstall.log"
echo
echo "== the source that found the JVM:"
tr -d '\r' <"$WORK/jinstall.log" | sed -n 's/^.\{24\} JVM found under /   /p'
echo
echo "== native.properties as the wizard saw it:"
if [ -f "$WORK/wizard-received.txt" ]; then
  sed -n 's/^PROPERTY //p' "$WORK/wizard-received.txt"
fi
echo
echo "== what the sample wizard received (wizard-received.txt):"
cat "$WORK/wizard-received.txt" 2>/dev/null || echo "(nothing: the wizard did not run)"
echo
echo "== launcher exit code: $code"

if [ "$code" -ne 0 ] || [ ! -f "$WORK/wizard-received.txt" ] ||
   ! grep -q "Java wizard launched successfully" "$WORK/jinstall.log"; then
  echo "== demo FAILED" >&2
  exit 1
fi
echo "== demo OK: the wizard was started and the launcher exited with 0"
