#!/usr/bin/env bash
# Runs a Windows program under Wine, in the build tree's own prefix, made on
# first use: wine.sh PREFIX PROGRAM [ARGS...]. The program's exit status is
# the script's. Without Wine this fails (scripts/deps.sh test installs it):
# the Windows tests never pass unrun.
# With SFX_WINE_DISPLAY_TEST=1 the prefix belongs to one test on a display of
# its own (xvfb-run): its Wine server is ended afterwards, so nothing of Wine
# outlives that display.
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all
shift
if ! command -v wine >/dev/null 2>&1; then
  echo "FAIL: no wine: scripts/deps.sh test installs it" >&2
  exit 1
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  # Tests start in parallel: one of them makes the prefix, the others wait.
  flock "$WINEPREFIX/.init.lock" sh -c '[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1'
fi
if [ "${SFX_WINE_DISPLAY_TEST:-}" != 1 ]; then
  exec wine "$@"
fi
status=0
wine "$@" || status=$?
wineserver -k 2>/dev/null || true
exit $status
