#!/usr/bin/env bash
# Starts or stops the Wine session that the Windows tests share: a virtual display
# (when none is set), the build's own Wine prefix of the tree's architecture and a
# persistent wineserver, and a second prefix with a server of its own under DIR/peer,
# where tests run a second instance of the program (scripts/wine-peer.sh), and the session's
# sound server (scripts/sound-session.sh).
#   wine-session.sh start DIR win64|win32
#   wine-session.sh stop DIR
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
action=$1
dir=$(mkdir -p "$2" && cd "$2" && pwd)

start_display() {
    if [ -n "${DISPLAY:-}" ]; then
        echo "$DISPLAY" >"$dir/display"
        return
    fi
    # Xvfb picks a free display number itself and writes it to the file, so that
    # sessions started at the same moment never share a display.
    rm -f "$dir/display.number"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display.number" >/dev/null 2>&1 &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 200); do [ -s "$dir/display.number" ] && break; sleep 0.05; done
    [ -s "$dir/display.number" ] || { echo "wine-session: Xvfb did not start" >&2; exit 1; }
    echo ":$(cat "$dir/display.number")" >"$dir/display"
}

start_prefix() {
    wine_env "$dir" "${1:-}"
    # A prefix made for the other architecture (a tree that changed) is made anew.
    if [ -f "$WINEPREFIX/system.reg" ] && ! grep -qx "#arch=$WINEARCH" "$WINEPREFIX/system.reg"; then
        wineserver -k 2>/dev/null || true
        rm -rf "$WINEPREFIX"
    fi
    # A persistent server for the whole run; its daemon must not hold our output
    # open. Exit status 2 means one already serves this prefix.
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >/dev/null 2>&1 || [ $? -eq 2 ]
    # Boot the prefix here, so that its service processes, which live as long
    # as the server, hold no test's output open. No browser or .NET add-on
    # installers: they would ask for downloads.
    local init=
    [ -f "$WINEPREFIX/system.reg" ] || init=-i
    WINEDLLOVERRIDES="mscoree,mshtml=" "$WINELOADER" wineboot.exe $init </dev/null >/dev/null 2>&1
    if [ -n "$init" ]; then
        # The services a prefix's first boot starts leave the running object table unanswered
        # (each registration waits 30 s): the run starts on services booted afresh.
        wineserver -k 2>/dev/null || true
        wineserver -p </dev/null >/dev/null 2>&1 || [ $? -eq 2 ]
        "$WINELOADER" wineboot.exe </dev/null >/dev/null 2>&1
    fi
    # Our own virtual display has no window manager: Wine would wait two seconds for one to take
    # back each window it hides or destroys. On a display the user gave, the manager manages.
    local key='HKCU\Software\Wine\X11 Driver'
    if [ -f "$dir/xvfb.pid" ]; then
        "$WINELOADER" reg.exe add "$key" /v Managed /d N /f </dev/null >/dev/null 2>&1
    else
        "$WINELOADER" reg.exe delete "$key" /v Managed /f </dev/null >/dev/null 2>&1 || true
    fi
    # The tree's whiteboard control, registered as the program's start-up expects it.
    local ocx
    ocx=$(dirname "$dir")/confclient/app/LMBoardU.ocx
    if [ -f "$ocx" ]; then "$WINELOADER" regsvr32.exe /s "Z:$ocx" </dev/null >/dev/null 2>&1 || true; fi
}

case $action in
start)
    echo "${3:?the architecture, win64 or win32}" >"$dir/arch"
    wine_loader_for "$3" >/dev/null
    start_display
    export DISPLAY=$(cat "$dir/display")
    "$(dirname "$0")/sound-session.sh" start "$dir"
    start_prefix peer &
    peer=$!
    start_prefix
    wait $peer
    ;;
stop)
    WINEPREFIX=$dir/peer/prefix wineserver -k 2>/dev/null || true
    WINEPREFIX=$dir/prefix wineserver -k 2>/dev/null || true
    "$(dirname "$0")/sound-session.sh" stop "$dir"
    if [ -f "$dir/xvfb.pid" ]; then
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
        rm -f "$dir/xvfb.pid"
    fi
    rm -f "$dir/display"
    ;;
*)
    echo "usage: $0 start DIR win64|win32 | stop DIR" >&2
    exit 2
    ;;
esac
