# Sourced by the Wine scripts: the environment of one Wine session's prefix.
#   wine_env DIR [peer]
# DIR is a session made by wine-session.sh; its file "arch" says win64 or win32.
# Wine's loader for that architecture is called directly: /usr/bin/wine picks the
# 32-bit loader whenever it is installed, even on a host that cannot run it.
# QUILLON_WINE32_LOADER and QUILLON_WINE64_LOADER replace the loaders (tests of the
# scripts use them to stand in for a host without 32-bit support).
# Sound comes from the session's own PulseAudio server (scripts/sound-session.sh), never from
# one the machine happens to run; with QUILLON_SOUND=none, or where the session has none,
# Wine finds no sound devices.

wine_loader_for() {
    case $1 in
    win64) echo "${QUILLON_WINE64_LOADER:-/usr/lib/wine/wine64}" ;;
    win32) echo "${QUILLON_WINE32_LOADER:-/usr/lib/wine/wine}" ;;
    *) echo "wine-env: unknown architecture '$1'" >&2; return 2 ;;
    esac
}

wine_env() {
    local dir=$1 arch
    arch=$(cat "$dir/arch" 2>/dev/null || echo win64)
    export WINEARCH=$arch WINEDEBUG=-all
    WINELOADER=$(wine_loader_for "$arch") || return
    export WINELOADER
    if [ "${2:-}" = peer ]; then
        export WINEPREFIX=$dir/peer/prefix
    else
        export WINEPREFIX=$dir/prefix
    fi
    if [ "${QUILLON_SOUND:-}" = none ]; then
        export PULSE_SERVER=unix:$dir/pulse/none
    else
        export PULSE_SERVER=unix:$dir/pulse/native
    fi
    if [ -z "${DISPLAY:-}" ] && [ -f "$dir/display" ]; then
        DISPLAY=$(cat "$dir/display")
        export DISPLAY
    fi
}
