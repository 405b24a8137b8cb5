#!/usr/bin/env bash
# Checks the Wine scripts with stand-in loaders and wineserver that record their calls:
#  - the probe says yes when the 32-bit loader runs, and no with one line when it cannot;
#  - a 64-bit session (start, a program, a peer program, stop) calls the 64-bit loader only,
#    so a host without 32-bit support never meets the 32-bit loader; a 32-bit session the
#    32-bit one only.
#   wine-scripts-test.sh SCRIPTS_DIR
set -uo pipefail
scripts=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

check() {
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# Stand-ins: a loader that records its architecture and arguments, one that fails as an
# i386 program does on a 64-bit-only kernel, and a wineserver that records and succeeds.
mkdir -p "$work/bin"
for arch in 32 64; do
    printf '#!/bin/sh\necho "win%s $*" >>"%s/calls"\n' "$arch" "$work" >"$work/bin/loader$arch"
done
printf '#!/bin/sh\necho "cannot execute binary file: Exec format error" >&2\nexit 126\n' >"$work/bin/noexec"
printf '#!/bin/sh\necho "wineserver $WINEPREFIX $*" >>"%s/calls"\n' "$work" >"$work/bin/wineserver"
chmod +x "$work/bin/"*
export PATH=$work/bin:$PATH DISPLAY=:fake QUILLON_SOUND=none

# The probe.
out=$(QUILLON_WINE32_LOADER=$work/bin/noexec "$scripts/win32-probe.sh")
check "the probe refuses a host whose 32-bit loader cannot run" test $? -eq 1
check "the refusal is one line that says why" \
    bash -c '[ "$(wc -l <<<"$1")" -eq 1 ] && grep -q "cannot run 32-bit programs (.*Exec format error)" <<<"$1"' _ "$out"
out=$(QUILLON_WINE32_LOADER=$work/missing "$scripts/win32-probe.sh")
check "the probe refuses when the 32-bit loader is not installed" \
    bash -c '[ $1 -eq 1 ] && grep -q "not installed" <<<"$2"' _ $? "$out"
QUILLON_WINE32_LOADER=$work/bin/loader32 "$scripts/win32-probe.sh" >/dev/null
check "the probe accepts a host whose 32-bit loader runs" test $? -eq 0

# A session of each architecture calls its own loader and never the other.
session() {
    local arch=$1 dir=$work/session-$1
    : >"$work/calls"
    export QUILLON_WINE32_LOADER=$work/bin/loader32 QUILLON_WINE64_LOADER=$work/bin/loader64
    "$scripts/wine-session.sh" start "$dir" "$arch" &&
        QUILLON_WINE_DIR=$dir "$scripts/wine-exec.sh" program.exe one &&
        "$scripts/wine-peer.sh" "$dir" peer.exe two &&
        "$scripts/wine-session.sh" stop "$dir"
}
other() { [ "$1" = win64 ] && echo win32 || echo win64; }
for arch in win64 win32; do
    check "a $arch session starts, runs and stops" session $arch
    # Each new prefix: its first boot, a boot on a restarted server, its window-manager setting;
    # then the two programs.
    check "a $arch session boots both prefixes and runs both programs with the $arch loader" \
        bash -c '[ "$(grep -c "^$1 " "$2")" -eq 8 ] && [ "$(grep -c "^$1 wineboot.exe" "$2")" -eq 4 ] &&
                 [ "$(grep -c "^$1 reg.exe" "$2")" -eq 2 ] && grep -q "^$1 program.exe one" "$2" &&
                 grep -q "^$1 peer.exe two" "$2"' _ $arch "$work/calls"
    check "a $arch session never calls the $(other $arch) loader" \
        bash -c '! grep -q "^$1 " "$2"' _ "$(other $arch)" "$work/calls"
    check "a $arch session serves both prefixes, each again after its first boot" \
        bash -c '[ "$(grep -c "^wineserver .* -p" "$1")" -eq 4 ]' _ "$work/calls"
done

# A prefix made for the other architecture is made anew rather than booted with the wrong loader.
dir=$work/session-win32
mkdir -p "$dir/prefix" && echo "#arch=win32" >"$dir/prefix/system.reg"
"$scripts/wine-session.sh" start "$dir" win64 >/dev/null
check "a prefix of the other architecture is removed" test ! -f "$dir/prefix/system.reg"

echo "wine scripts: $failures failed"
[ "$failures" -eq 0 ]
