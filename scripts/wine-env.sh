# Sourced by the test and demo scripts: a fresh Wine prefix for this run and
# an X display for the windows the launcher shows.
#
# LAUNCHER_WINE_TEMPLATE is a freshly booted prefix that is never used
# directly: every end-to-end scenario runs in a hard-linked copy of it, and
# the unit tests run in a copy of their own (WINEPREFIX).
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEDEBUG=-all

wine_env_start() {
  LAUNCHER_RUN_DIR=$(mktemp -d /tmp/launcher-run.XXXXXX)
  export LAUNCHER_RUN_DIR
  export LAUNCHER_WINE_TEMPLATE=$LAUNCHER_RUN_DIR/template

  # The run's windows go to an X server of its own (Xvfb), never to a display
  # that happens to be set; LAUNCHER_DISPLAY names another one on purpose.
  if [ -n "${LAUNCHER_DISPLAY:-}" ]; then
    export DISPLAY=$LAUNCHER_DISPLAY
  else
    local n
    for n in $(seq 90 120); do
      [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break
    done
    Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    LAUNCHER_XVFB_PID=$!
    export DISPLAY=:$n
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  fi

  WINEPREFIX=$LAUNCHER_WINE_TEMPLATE "$WINE" wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX=$LAUNCHER_WINE_TEMPLATE "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  WINEPREFIX=$LAUNCHER_WINE_TEMPLATE "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  # A program that crashes ends at once instead of waiting for a debugger.
  WINEPREFIX=$LAUNCHER_WINE_TEMPLATE "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1
  WINEPREFIX=$LAUNCHER_WINE_TEMPLATE "$WINESERVER" -w
  export WINEPREFIX=$LAUNCHER_RUN_DIR/unit
  wine_prefix_copy "$LAUNCHER_WINE_TEMPLATE" "$WINEPREFIX"
  # A persistent server: a test program then starts in a fraction of a
  # second instead of booting the prefix's services each time.
  "$WINESERVER" -p
  "$WINE" cmd /c exit >/dev/null 2>&1 || true
}

# A cheap private copy of a prefix: the big system files are hard links, the
# registry files (which Wine rewrites) are real copies.
wine_prefix_copy() {
  cp -al "$1" "$2"
  rm -f "$2"/*.reg
  cp "$1"/*.reg "$2"/
}

wine_env_stop() {
  WINEPREFIX=$LAUNCHER_WINE_TEMPLATE "$WINESERVER" -k 2>/dev/null || true
  [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k 2>/dev/null || true
  [ -n "${LAUNCHER_XVFB_PID:-}" ] && kill "$LAUNCHER_XVFB_PID" 2>/dev/null || true
  [ -n "${LAUNCHER_RUN_DIR:-}" ] && rm -rf "$LAUNCHER_RUN_DIR"
}
