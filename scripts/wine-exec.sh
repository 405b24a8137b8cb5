#!/usr/bin/env bash
# Runs one Windows program inside the Wine session of its build tree
# (scripts/wine-session.sh); the session's directory comes from QUILLON_WINE_DIR.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
wine_env "${QUILLON_WINE_DIR:?QUILLON_WINE_DIR names the Wine session directory}"
exec "$WINELOADER" "$@"
