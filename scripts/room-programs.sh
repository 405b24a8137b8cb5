# Two or more programs, each in a Wine session and folder of its own, driven through their
# control panels: sourced by run.sh and bench/wine-rtt.sh. The caller sets top, run (the
# run folder), app (the folder of Quillon.exe), native (the native build tree) and fail.

# Each program runs from a folder of its own, so that each keeps its own log.
install_copy() {
    rm -rf "${run:?}/$1"
    mkdir -p "$run/$1"
    cp "$app/Quillon.exe" "$app/"*.dll "$run/$1/"
    cp "$app/"*.ocx "$run/$1/" 2>/dev/null || true
}

# Starts a program in panel mode in its session (run/wine-NAME); its pid is NAME_pid.
#   start_program NAME PANEL_PORT
start_program() {
    local name=$1 panel_port=$2
    # The whiteboard control is registered from the program's folder in its session.
    if [ -f "$run/$name/LMBoardU.ocx" ]; then
        QUILLON_WINE_DIR=$run/wine-$name "$top/scripts/wine-exec.sh" regsvr32 /s "Z:$run/$name/LMBoardU.ocx" || true
    fi
    QUILLON_WINE_DIR=$run/wine-$name "$top/scripts/wine-exec.sh" "$run/$name/Quillon.exe" "QuillonPort $panel_port" &
    eval "${name}_pid=$!"
}

# Opens a program's control panel: quillon-panel between two pipes, whose ends the
# caller holds as NAME_in (commands) and NAME_out (answers).
open_panel() {
    local name=$1 panel_port=$2
    rm -f "$run/$name.in" "$run/$name.out"
    mkfifo "$run/$name.in" "$run/$name.out"
    "$native/tools/panel/quillon-panel" "$panel_port" 60 <"$run/$name.in" >"$run/$name.out" &
    exec {fd}>"$run/$name.in"
    eval "${name}_in=$fd"
    exec {fd}<"$run/$name.out"
    eval "${name}_out=$fd"
}

# Waits for the panel of a program to say "KEYWORD value..." within SECONDS; prints the value.
#   expect NAME KEYWORD SECONDS STEP
expect() {
    local name=$1 keyword=$2 seconds=$3 step=$4 fd line partial=
    eval "fd=\$${name}_out"
    local deadline=$(($(date +%s) + seconds))
    while [ "$(date +%s)" -lt "$deadline" ]; do
        # A read that times out mid-line has taken those bytes: they start the next line.
        if IFS= read -r -t 1 line <&"$fd"; then
            line=$partial$line
            partial=
            case $line in
            "$keyword "*) echo "${line#* }"; return 0 ;;
            esac
        else
            partial+=$line
        fi
    done
    fail "$step: no $keyword answer from $name within $seconds s (see $run/$name/Log/)"
}

# Sends a command line to a program's panel; nothing when the program has closed it.
trap '' PIPE
send() {
    local name=$1 fd
    shift
    eval "fd=\$${name}_in"
    echo "$*" 2>/dev/null >&"$fd" || true
}
