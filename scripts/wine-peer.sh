#!/usr/bin/env bash
# Runs a Windows program in the peer prefix of a test session's Wine session
# (scripts/wine-session.sh): a second machine, for tests that need a second
# instance of the single-instance program.
#   wine-peer.sh DIR program [args...]
set -euo pipefail
dir=$1
shift
export WINEPREFIX=$dir/peer/prefix WINEARCH=win32 WINEDEBUG=-all DISPLAY=$(cat "$dir/display")
exec wine "$@"
