# Sourced by the scripts that run Windows programs: points Wine at the build tree's
# private prefix, creates it if needed, and keeps one wineserver alive until the
# calling script exits, so each program start does not pay for a server start.
NODMARK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export NODMARK_WINEPREFIX=${NODMARK_WINEPREFIX:-$NODMARK_ROOT/build/windows/wineprefix}
export WINEPREFIX=$NODMARK_WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

nodmark_wine_start() {
  "$NODMARK_ROOT/scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true
  # The server that program started lingers for a few seconds; a persistent one can
  # only take over once it has gone.
  wineserver -w
  wineserver -p
  trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
  # The first program of a server session starts Wine's background services, which
  # live as long as the server and keep whatever output they inherited open. Start
  # them here, on /dev/null, or a test runner reading a test's output waits forever.
  "$NODMARK_ROOT/scripts/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1 || true
}
