#!/usr/bin/env bash
# Mouth-to-ear latency of the room's voice under Wine (64-bit), on the test session's own sound
# server (scripts/sound-session.sh): a click a second for SECONDS (default 100) goes into
# Alice's microphone and is found on Bob's speaker by one native probe on one clock
# (quillon-voice-latency-probe, bench tree). Measured twice in one run:
#   raw     raw_voice_path.exe moves Alice's microphone straight to Bob's speaker through the
#           engine's own device layer and buffering (no codec, network or jitter buffer);
#   engine  Alice and Bob in a room of the loopback server, Alice talking.
# Prints both paths' median and 95th percentile and what the engine adds.
#   bench/wine-voice-latency.sh BUILD_DIR [SECONDS]
# BUILD_DIR: a 64-bit Windows build tree (build/windows); its program, probe and raw path are
# built if needed. The loopback server and control panel come from build/native (or
# QUILLON_NATIVE_DIR), the latency probe from build/bench (or QUILLON_BENCH_DIR).
# QUILLON_PORT (default 18900) is the server's port, the panels take the next two.
# QUILLON_RUN_DIR (default /tmp/quillon-voice-latency) holds the Wine session and the figures.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: wine-voice-latency.sh BUILD_DIR [SECONDS]}" && pwd)
seconds=${2:-100}
native=${QUILLON_NATIVE_DIR:-$(dirname "$build")/native}
bench=${QUILLON_BENCH_DIR:-$(dirname "$build")/bench}
port=${QUILLON_PORT:-18900}
run=${QUILLON_RUN_DIR:-/tmp/quillon-voice-latency}
app=$build/confclient/app
server=$native/loopserver/quillon-loopserver
probe=$bench/bench/voice/quillon-voice-latency-probe
session=$run/wine
names=(alice bob)

fail() {
    echo "wine-voice-latency: $*" >&2
    exit 1
}
if [ ! -x "$server" ] || [ ! -x "$native/tools/panel/quillon-panel" ]; then
    fail "no loopback server or panel under $native"
fi
[ -x "$probe" ] || fail "no $probe (scripts/build.sh bench)"
cmake --build "$build" --target Quillon raw_voice_path quillon_probe >/dev/null || fail "the Windows tree did not build"
mkdir -p "$run"
. "$top/scripts/room-programs.sh"
pulse=unix:$session/pulse/native
resource_id() { sed -n "s/^#define $1 \\([0-9]*\\).*/\\1/p" "$top/resources/ResourceIds.h"; }
talk_id=$(resource_id IDC_ROOMCTRL_TALK)
chat_id=$(resource_id IDC_ROOMCHAT_EDIT)

server_pid=
cleanup() {
    if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; fi
    "$top/scripts/wine-session.sh" stop "$session"
}
trap cleanup EXIT
"$top/scripts/wine-session.sh" start "$session" win64
[ -f "$session/pulse/session.pa" ] || fail "the session has no sound server (is pulseaudio installed?)"
# Alice in the session's prefix, Bob in its peer prefix: one sound server, one clock.
in_prefix() {
    if [ "$1" = alice ]; then
        QUILLON_WINE_DIR=$session "$top/scripts/wine-exec.sh" "${@:2}"
    else
        "$top/scripts/wine-peer.sh" "$session" "${@:2}"
    fi
}

# The raw path.
in_prefix alice "$build/bench/voice/raw_voice_path.exe" alice-mic bob-spk $((seconds + 6)) &
raw_pid=$!
sleep 3
"$probe" "$pulse" alice_mic_in bob_spk.monitor "$seconds" >"$run/raw.txt" || fail "raw path: no click heard"
wait "$raw_pid" || true

# The engine's path: each program opens its own user's devices.
for name in "${names[@]}"; do
    for value in "DeviceMicName /d $name-mic" "DeviceSpkName /d $name-spk"; do
        # shellcheck disable=SC2086
        in_prefix "$name" reg add 'HKCU\Software\LumoraSoft\Common' /f /v $value >/dev/null 2>&1
    done
done
"$server" --port "$port" --quiet >"$run/loopserver.log" 2>&1 &
server_pid=$!
sleep 0.5
index=0
for name in "${names[@]}"; do
    index=$((index + 1))
    in_prefix "$name" "$app/Quillon.exe" "QuillonPort $((port + index))" >/dev/null 2>&1 &
    eval "${name}_pid=$!"
    open_panel "$name" "$((port + index))"
done
for name in "${names[@]}"; do send "$name" "CONNECT 127.0.0.1,$port,$name,,0,0,,0,RoriVuz_Eng.dll"; done
for name in "${names[@]}"; do [ "$(expect "$name" CONNECT 60 login)" = 1 ] || fail "$name was refused"; done
send alice "CREATE Latency"
room=$(expect alice CREATE 60 "opening the room")
[ "$room" != 0 ] || fail "alice could not open a room"
send bob "JOIN $room"
[ "$(expect bob JOIN 60 "joining the room")" = 1 ] || fail "bob could not join room $room"
sleep 2
in_prefix alice "$build/tests/app/quillon_probe.exe" click "$talk_id" >/dev/null || fail "alice's Talk button is not there"
sleep 2
"$probe" "$pulse" alice_mic_in bob_spk.monitor "$seconds" >"$run/engine.txt" || fail "engine path: no click heard"
# Bob's engine log ("/voice" in his chat): the jitter buffer's part of the delay.
probe_bob() { in_prefix bob "$build/tests/app/quillon_probe.exe" "$@"; }
probe_bob settext "$chat_id" /voice >/dev/null && probe_bob enter "$chat_id" >/dev/null
buffer=
for _ in 1 2 3 4 5 6 7 8 9 10; do
    sleep 1
    buffer=$(probe_bob content "Voice log" 2>/dev/null | tr -d '\r' | grep -o 'delay .*' | head -n 1) && [ -n "$buffer" ] && break
done
for name in "${names[@]}"; do send "$name" LOGOUT; done
pid=
for name in "${names[@]}"; do
    eval "pid=\$${name}_pid"
    timeout 30 tail --pid="$pid" -f /dev/null || true
done

summary() { tail -n 1 "$run/$1.txt" | sed -n 's/.*median \([0-9.]*\) ms, p95 \([0-9.]*\) ms/\1 \2/p'; }
read -r raw_median raw_p95 <<<"$(summary raw)"
read -r engine_median engine_p95 <<<"$(summary engine)"
echo "raw path:    $(tail -n 1 "$run/raw.txt")"
echo "engine path: $(tail -n 1 "$run/engine.txt")"
echo "Bob's jitter buffer: ${buffer:-not read}"
awk -v a="$engine_median" -v b="$raw_median" -v c="$engine_p95" -v d="$raw_p95" \
    'BEGIN { printf "the engine adds: median %.1f ms, p95 %.1f ms\n", a - b, c - d }'
