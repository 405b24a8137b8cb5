#!/usr/bin/env bash
# Receiving 16 speakers inside VOLumora.dll under Wine (64-bit), beside a bare libopus decode of
# the same packets in the same run (bench/voice/VoiceDllBench.cpp).
#   bench/wine-voice-dll.sh BUILD_DIR
# BUILD_DIR: a 64-bit Windows build tree (build/windows); the program is built if needed.
# QUILLON_RUN_DIR (default /tmp/quillon-voice-dll) holds the Wine session.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: wine-voice-dll.sh BUILD_DIR}" && pwd)
run=${QUILLON_RUN_DIR:-/tmp/quillon-voice-dll}
cmake --build "$build" --target bench_voice_dll >/dev/null
trap '"$top/scripts/wine-session.sh" stop "$run/wine"' EXIT
QUILLON_SOUND=none "$top/scripts/wine-session.sh" start "$run/wine" win64
QUILLON_WINE_DIR=$run/wine "$top/scripts/wine-exec.sh" "$build/bench/voice/bench_voice_dll.exe"
