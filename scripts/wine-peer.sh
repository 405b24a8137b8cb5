#!/usr/bin/env bash
# Runs a Windows program in the peer prefix of a test session's Wine session
# (scripts/wine-session.sh): a second machine, for tests that need a second
# instance of the single-instance program.
#   wine-peer.sh DIR program [args...]
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
dir=$1
shift
unset DISPLAY
wine_env "$dir" peer
exec "$WINELOADER" "$@"
