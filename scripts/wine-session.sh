# Sourced by the scripts that run Windows programs: points Wine at the build tree's
# private prefix, creates it if needed, and keeps one wineserver alive per prefix until
# the calling script exits, so each program start does not pay for a server start.
NODMARK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export NODMARK_WINEPREFIX=${NODMARK_WINEPREFIX:-$NODMARK_ROOT/build/windows/wineprefix}
export WINEPREFIX=$NODMARK_WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
NODMARK_WINE_PREFIXES=()

# nodmark_wine_start [PREFIX...]: a persistent server for each prefix (by default
# NODMARK_WINEPREFIX), created first where it does not exist yet; all are stopped when
# the calling script exits.
nodmark_wine_start() {
  local prefix
  [ $# -gt 0 ] || set -- "$NODMARK_WINEPREFIX"
  for prefix in "$@"; do
    NODMARK_WINE_PREFIXES+=("$prefix")
    (
      export NODMARK_WINEPREFIX=$prefix WINEPREFIX=$prefix
      "$NODMARK_ROOT/scripts/wine-run.sh" --64 cmd /c exit >/dev/null 2>&1 || true
      # The server that program started lingers for a few seconds; a persistent one can
      # only take over once it has gone.
      wineserver -w
      wineserver -p
      # The first program of a server session starts Wine's background services, which
      # live as long as the server and keep whatever output they inherited open. Start
      # them here, on /dev/null, or a test runner reading a test's output waits forever.
      "$NODMARK_ROOT/scripts/wine-run.sh" --64 cmd /c exit </dev/null >/dev/null 2>&1 || true
    ) &
  done
  wait
  trap nodmark_wine_stop EXIT
}

nodmark_wine_stop() {
  local prefix
  for prefix in "${NODMARK_WINE_PREFIXES[@]}"; do
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  done
}
