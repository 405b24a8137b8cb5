#!/usr/bin/env bash
# Sets up, builds and runs Quillon under Wine against the loopback conference server.
#   run.sh [alice|bob|carol|dave]   one program logged in to the lobby as that user (alice by default)
#   run.sh room                     two programs, alice and bob, meet in one room and chat
# Environment: QUILLON_PORT (default 7700) is the server's port; the room's programs take the
# next two for their control panels. QUILLON_RUN_DIR (default build/run) holds the screenshots,
# the programs' copies and logs, and the Wine sessions.
# With a display set the programs' windows open there and the command ends when one is
# closed. Without one it runs on virtual displays, saves screenshots under build/run/,
# logs the programs out and stops.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-alice}
port=${QUILLON_PORT:-7700}
run=${QUILLON_RUN_DIR:-$top/build/run}
started=$(date +%s)
mkdir -p "$run"

"$top/scripts/setup.sh"
"$top/scripts/build.sh" native windows

headless=0
[ -n "${DISPLAY:-}" ] || headless=1
app=$top/build/windows/confclient/app
native=$top/build/native
probe=$top/build/windows/tests/app/quillon_probe.exe
server_pid=
sessions=()
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    for s in "${sessions[@]}"; do "$top/scripts/wine-session.sh" stop "$s"; done
}
trap cleanup EXIT

fail() {
    echo "run.sh: $*" >&2
    exit 1
}

start_server() {
    "$native/loopserver/quillon-loopserver" --port "$port" --quiet >"$run/loopserver.log" 2>&1 &
    server_pid=$!
    sleep 0.5
    kill -0 "$server_pid" 2>/dev/null || fail "the loopback server did not start (see $run/loopserver.log)"
}

# A Wine session of its own, apart from the one the tests share.
start_session() {
    "$top/scripts/wine-session.sh" start "$1" win64
    sessions+=("$1")
}

launch_string() { echo "127.0.0.1,$port,$1,,0,0,,0,RoriVuz_Eng.dll"; }

# The bounding box, as WxH+X+Y, of the room's windows shown on a display: every window
# with a title but the lobby's, titled "Quillon"; empty when there is none.
room_windows_box() {
    local display=$1 id
    DISPLAY=$display xwininfo -root -children | awk '/^ +0x/ && /"[^"]+":/ && !/"Quillon":/ {print $1}' |
        while read -r id; do
            DISPLAY=$display xwininfo -id "$id" | awk '
                /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
                /Width:/ {w = $NF} /Height:/ {h = $NF} /Map State: IsViewable/ {shown = 1}
                END { if (shown && w > 1 && h > 1) print w, h, x, y }'
        done |
        awk 'NR == 1 { l = $3; t = $4; r = $3 + $1; b = $4 + $2 }
             { if ($3 < l) l = $3; if ($4 < t) t = $4; if ($3 + $1 > r) r = $3 + $1; if ($4 + $2 > b) b = $4 + $2 }
             END { if (NR) { if (l < 0) l = 0; if (t < 0) t = 0; printf "%dx%d+%d+%d\n", r - l, b - t, l, t } }'
}

lobby() {
    local user=$mode
    start_session "$run/wine"
    export QUILLON_WINE_DIR=$run/wine
    start_server
    local exe=$app/Quillon.exe launch
    launch=$(launch_string "$user")
    echo "run.sh: Quillon.exe $launch"
    if [ "$headless" = 0 ]; then
        "$top/scripts/wine-exec.sh" "$exe" "$launch"
        return
    fi
    logins() { cat "$app/Log/"Quillon_*.log 2>/dev/null | grep -c ACK_LOBY_LOGIN || true; }
    local before quillon_pid win
    before=$(logins)
    "$top/scripts/wine-exec.sh" "$exe" "$launch" &
    quillon_pid=$!
    # The lobby is shown once the login answer and the lists are in.
    for _ in $(seq 60); do
        sleep 0.5
        [ "$(logins)" -gt "$before" ] && break
    done
    sleep 2
    win=$(DISPLAY=$(cat "$run/wine/display") xwininfo -root -tree | awk '/"Quillon": \(/ {print $1; exit}')
    DISPLAY=$(cat "$run/wine/display") import -window "${win:-root}" "$run/lobby.png"
    echo "run.sh: screenshot of the lobby window: $run/lobby.png"
    echo "run.sh: the program's log: $app/Log/"
    # Closing the window logs out and ends the program.
    "$top/scripts/wine-exec.sh" taskkill /im Quillon.exe >/dev/null 2>&1 || true
    wait "$quillon_pid" 2>/dev/null || true
}

# --- two programs in one room -------------------------------------------------------------

. "$top/scripts/room-programs.sh"

# Runs the probe on a program's windows: settext, click, lines (tests/app/probe).
probe() {
    local name=$1
    shift
    QUILLON_WINE_DIR=$run/wine-$name "$top/scripts/wine-exec.sh" "$probe" "$@"
}

resource_id() { sed -nE "s/^#define $1 ([0-9]+).*/\1/p" "$top/resources/ResourceIds.h"; }

say_in_chat() {
    local name=$1 text=$2
    probe "$name" settext "$(resource_id IDC_ROOMCHAT_EDIT)" "$text" >/dev/null
    probe "$name" enter "$(resource_id IDC_ROOMCHAT_EDIT)" >/dev/null
}

# Waits until a program's chat list holds a line with the text.
wait_chat_line() {
    local name=$1 text=$2
    for _ in $(seq 40); do
        probe "$name" lines "$(resource_id IDC_ROOMCHAT_LIST)" 2>/dev/null | grep -qF "$text" && return 0
        sleep 0.5
    done
    fail "chat: \"$text\" did not reach $name's chat (see $run/$name/Log/)"
}

screenshot() {
    local name=$1 display box
    display=$(cat "$run/wine-$name/display")
    box=$(room_windows_box "$display")
    [ -n "$box" ] || fail "screenshot: $name shows no window"
    DISPLAY=$display import -window root -crop "$box" +repage "$run/room-$name.png"
}

room() {
    local alice_port=$((port + 1)) bob_port=$((port + 2)) index
    [ -x "$probe" ] || "$top/scripts/build.sh" windows
    install_copy alice
    install_copy bob
    sessions=("$run/wine-alice" "$run/wine-bob")
    "$top/scripts/wine-session.sh" start "$run/wine-alice" win64 &
    "$top/scripts/wine-session.sh" start "$run/wine-bob" win64
    wait $! || fail "the Wine session of alice did not start"
    start_server
    start_program alice "$alice_port"
    start_program bob "$bob_port"
    open_panel alice "$alice_port"
    open_panel bob "$bob_port"

    send alice CONNECT "$(launch_string alice)"
    send bob CONNECT "$(launch_string bob)"
    [ "$(expect alice CONNECT 60 login)" = 1 ] || fail "login: alice was refused (see $run/alice/Log/)"
    [ "$(expect bob CONNECT 60 login)" = 1 ] || fail "login: bob was refused (see $run/bob/Log/)"
    echo "run.sh: alice and bob are in the lobby"

    send alice CREATE "Meeting room"
    index=$(expect alice CREATE 30 "opening the room")
    [ "$index" != 0 ] || fail "opening the room: refused (see $run/alice/Log/)"
    send bob JOIN "$index"
    [ "$(expect bob JOIN 30 "joining the room")" = 1 ] || fail "joining the room: refused (see $run/bob/Log/)"
    echo "run.sh: alice opened room $index and bob joined it"

    say_in_chat alice "Hello Bob, welcome to the room."
    wait_chat_line bob "Hello Bob"
    say_in_chat bob "Hi Alice, I can read you."
    wait_chat_line alice "Hi Alice"
    echo "run.sh: alice and bob chatted"

    if [ "$headless" = 0 ]; then
        echo "run.sh: close either program to end"
        wait -n "$alice_pid" "$bob_pid" || true
    else
        sleep 1
        screenshot alice
        screenshot bob
        echo "run.sh: screenshots: $run/room-alice.png $run/room-bob.png"
    fi
    send alice LOGOUT
    send bob LOGOUT
    local alice_code=0 bob_code=0
    wait "$alice_pid" || alice_code=$?
    wait "$bob_pid" || bob_code=$?
    echo "run.sh: alice ended with code $alice_code, bob with code $bob_code"
    echo "run.sh: logs: $run/alice/Log/ $run/bob/Log/"
    echo "run.sh: took $(($(date +%s) - started)) s"
    [ "$alice_code" = 0 ] && [ "$bob_code" = 0 ]
}

case $mode in
room) room ;;
alice | bob | carol | dave) lobby ;;
*) fail "unknown mode '$mode': alice, bob, carol, dave or room" ;;
esac
