#!/usr/bin/env bash
# Sets up, builds and runs Quillon under Wine against the loopback conference
# server, logged in to the lobby as a default user.
#   run.sh [user]      user: alice (default), bob, carol or dave
# Environment: QUILLON_PORT (default 7700) is the server's port.
# With no display set it runs on a virtual display, saves a screenshot of the
# lobby window to build/run/lobby.png, logs out and stops.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
user=${1:-alice}
port=${QUILLON_PORT:-7700}
run=$top/build/run
mkdir -p "$run"

"$top/scripts/setup.sh"
"$top/scripts/build.sh" native windows

headless=0
[ -n "${DISPLAY:-}" ] || headless=1
# A Wine session of its own, apart from the one the tests share.
"$top/scripts/wine-session.sh" start "$run/wine" win64
export QUILLON_WINE_DIR=$run/wine
export DISPLAY=$(cat "$run/wine/display")

server_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    "$top/scripts/wine-session.sh" stop "$run/wine"
}
trap cleanup EXIT

"$top/build/native/loopserver/quillon-loopserver" --port "$port" --quiet 2>"$run/loopserver.log" &
server_pid=$!
sleep 0.5
kill -0 "$server_pid" 2>/dev/null || { echo "run.sh: the loopback server did not start (see $run/loopserver.log)" >&2; exit 1; }

exe=$top/build/windows/confclient/app/Quillon.exe
launch="127.0.0.1,$port,$user,,0,0,,0,RoriVuz_Eng.dll"
echo "run.sh: Quillon.exe $launch"
if [ "$headless" = 0 ]; then
    "$top/scripts/wine-exec.sh" "$exe" "$launch"
    exit 0
fi

logins() { cat "$top/build/windows/confclient/app/Log/"Quillon_*.log 2>/dev/null | grep -c ACK_LOBY_LOGIN || true; }
before=$(logins)
"$top/scripts/wine-exec.sh" "$exe" "$launch" &
quillon_pid=$!
# The lobby is shown once the login answer and the lists are in.
for _ in $(seq 60); do
    sleep 0.5
    [ "$(logins)" -gt "$before" ] && break
done
sleep 2
win=$(xwininfo -root -tree | awk '/"Quillon": \(/ {print $1; exit}')
if [ -n "$win" ]; then
    import -window "$win" "$run/lobby.png"
else
    import -window root "$run/lobby.png"
fi
echo "run.sh: screenshot of the lobby window: $run/lobby.png"
echo "run.sh: the program's log: $top/build/windows/confclient/app/Log/"
# Closing the window logs out and ends the program.
"$top/scripts/wine-exec.sh" taskkill /im Quillon.exe >/dev/null 2>&1 || true
wait "$quillon_pid" 2>/dev/null || true
