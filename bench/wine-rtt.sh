#!/usr/bin/env bash
# The keep-alive round trip between the program under Wine (64-bit) and the loopback
# conference server, as the program logs it ("[ACK_KEEP_ALIVE] RTT:<ms>", a DEBUG line).
# Two programs, alice and bob, log in, alice opens a room and bob joins it, as
# scripts/run.sh room does; both stay for SECONDS (default 215: a keep-alive goes out
# every 30 s, so each program logs about seven), then log out. Prints each program's
# samples and the minimum, median and maximum of all of them.
#   bench/wine-rtt.sh BUILD_DIR [SECONDS]
# BUILD_DIR: a 64-bit Windows build tree (build/windows); it is only read. The loopback
# server and the control panel come from the native tree beside it (build/native), or
# from QUILLON_NATIVE_DIR.
# QUILLON_PORT (default 18800) is the server's port, the programs' panels take the next
# two. QUILLON_RUN_DIR (default /tmp/quillon-wine-rtt) holds the programs' copies, their
# logs and the Wine sessions; a later run reuses the sessions' prefixes.
# GetTickCount counts whole milliseconds, so each sample is rounded to 1 ms.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: wine-rtt.sh BUILD_DIR [SECONDS]}" && pwd)
seconds=${2:-215}
native=${QUILLON_NATIVE_DIR:-$(dirname "$build")/native}
port=${QUILLON_PORT:-18800}
run=${QUILLON_RUN_DIR:-/tmp/quillon-wine-rtt}
app=$build/confclient/app
server=$native/loopserver/quillon-loopserver
names=(alice bob)

fail() {
    echo "wine-rtt: $*" >&2
    exit 1
}
[ -f "$app/Quillon.exe" ] || fail "no $app/Quillon.exe"
[ -x "$server" ] && [ -x "$native/tools/panel/quillon-panel" ] || fail "no loopback server or panel under $native (QUILLON_NATIVE_DIR)"
mkdir -p "$run"

. "$top/scripts/room-programs.sh"

server_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    for name in "${names[@]}"; do "$top/scripts/wine-session.sh" stop "$run/wine-$name"; done
}
trap cleanup EXIT

# Each program in a prefix of its own (one instance per prefix), where the program's Log
# setting asks for DEBUG lines.
for name in "${names[@]}"; do
    install_copy "$name"
    "$top/scripts/wine-session.sh" start "$run/wine-$name" win64
    QUILLON_WINE_DIR=$run/wine-$name "$top/scripts/wine-exec.sh" \
        reg add 'HKCU\Software\LumoraSoft\Quillon' /v Log /t REG_SZ /d DEBUG /f >/dev/null 2>&1 ||
        fail "could not set the Log setting in $run/wine-$name"
done

"$server" --port "$port" --quiet >"$run/loopserver.log" 2>&1 &
server_pid=$!
sleep 0.5
kill -0 "$server_pid" 2>/dev/null || fail "the loopback server did not start (see $run/loopserver.log)"

index=0
for name in "${names[@]}"; do
    index=$((index + 1))
    start_program "$name" "$((port + index))"
    open_panel "$name" "$((port + index))"
done

for name in "${names[@]}"; do send "$name" "CONNECT 127.0.0.1,$port,$name,,0,0,,0,RoriVuz_Eng.dll"; done
for name in "${names[@]}"; do [ "$(expect "$name" CONNECT 60 login)" = 1 ] || fail "$name was refused"; done
send alice "CREATE Round trip"
room=$(expect alice CREATE 60 "opening the room")
[ "$room" != 0 ] || fail "alice could not open a room"
send bob "JOIN $room"
[ "$(expect bob JOIN 60 "joining the room")" = 1 ] || fail "bob could not join room $room"
echo "wine-rtt: alice and bob in room $room for $seconds s ($app)"
sleep "$seconds"
for name in "${names[@]}"; do send "$name" LOGOUT; done
# A program that has not ended within 30 s ends with its session.
for name in "${names[@]}"; do
    eval "pid=\$${name}_pid"
    timeout 30 tail --pid="$pid" -f /dev/null || true
done

all=()
for name in "${names[@]}"; do
    mapfile -t samples < <(cat "$run/$name/Log/"*.log | tr -d '\r' | sed -n 's/.*\[ACK_KEEP_ALIVE\] RTT:\([0-9]*\).*/\1/p')
    echo "$name: ${samples[*]:-none} (ms)"
    all+=("${samples[@]}")
done
((${#all[@]})) || fail "no keep-alive round trip was logged"
printf '%s\n' "${all[@]}" | sort -n | awk '
    { v[NR] = $1 }
    END {
        median = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "round trip: %d samples, min %d ms, median %s ms, max %d ms\n", NR, v[1], median, v[NR]
    }'
