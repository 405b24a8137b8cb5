#!/usr/bin/env bash
# Runs one Windows program inside the Wine session of its build tree
# (scripts/wine-session.sh); the session's directory comes from QUILLON_WINE_DIR.
set -euo pipefail
dir=${QUILLON_WINE_DIR:?QUILLON_WINE_DIR names the Wine session directory}
export WINEPREFIX=$dir/prefix WINEARCH=win32 WINEDEBUG=-all
if [ -z "${DISPLAY:-}" ] && [ -f "$dir/display" ]; then
    export DISPLAY=$(cat "$dir/display")
fi
exec wine "$@"
