#!/usr/bin/env bash
# Starts or stops the sound server of a Wine session (scripts/wine-session.sh): one
# PulseAudio server, private to the session, that gives each test user a microphone and a
# speaker Wine's PulseAudio driver shows by name ("alice-mic", "alice-spk", ...).
#   sound-session.sh start DIR
#   sound-session.sh stop DIR
#
# A user's speaker is a null sink whose monitor a recorder reads (parec -d USER_spk.monitor).
# A user's microphone is the monitor of a second null sink (USER_mic_in), renamed, so that a
# feeder playing into that sink (pacat -d USER_mic_in) is paced in real time by the server's
# clock, as a real microphone would be.
# QUILLON_SOUND=none starts nothing: Wine then finds no sound devices.
set -euo pipefail
action=$1
dir=$(mkdir -p "$2" && cd "$2" && pwd)
pulse=$dir/pulse
users=(alice bob carol dave)

start() {
    if [ "${QUILLON_SOUND:-}" = none ] || ! command -v pulseaudio >/dev/null; then
        rm -rf "$pulse"
        return 0
    fi
    stop
    mkdir -p "$pulse/runtime" "$pulse/home"
    chmod 700 "$pulse/runtime"
    {
        echo "load-module module-native-protocol-unix auth-anonymous=1 socket=$pulse/native"
        for u in "${users[@]}"; do
            echo "load-module module-null-sink sink_name=${u}_spk rate=16000 channels=1" \
                "sink_properties=device.description=$u-spk"
            echo "load-module module-null-sink sink_name=${u}_mic_in rate=16000 channels=1" \
                "sink_properties=device.description=$u-mic-feed"
            echo "load-module module-remap-source source_name=${u}_mic master=${u}_mic_in.monitor" \
                "source_properties=device.description=$u-mic"
        done
    } >"$pulse/session.pa"
    echo "autospawn = no" >"$pulse/client.conf"
    # The server forks itself away and writes its pid; the session's processes find it
    # through PULSE_SERVER (scripts/wine-env.sh).
    HOME=$pulse/home XDG_RUNTIME_DIR=$pulse/runtime pulseaudio -n -F "$pulse/session.pa" \
        --daemonize=yes --use-pid-file=yes --exit-idle-time=-1 --disallow-exit \
        --disable-shm=yes --log-target=file:"$pulse/server.log" </dev/null >/dev/null 2>&1 || {
        echo "sound-session: PulseAudio did not start (see $pulse/server.log)" >&2
        return 1
    }
    for _ in $(seq 100); do [ -S "$pulse/native" ] && return 0; sleep 0.05; done
    echo "sound-session: PulseAudio did not open $pulse/native" >&2
    return 1
}

stop() {
    local pid
    pid=$(cat "$pulse/runtime/pulse/pid" 2>/dev/null) || return 0
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    rm -f "$pulse/runtime/pulse/pid" "$pulse/native"
}

case $action in
start) start ;;
stop) stop ;;
*)
    echo "usage: $0 start DIR | stop DIR" >&2
    exit 2
    ;;
esac
