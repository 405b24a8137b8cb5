#!/usr/bin/env bash
# The run command's room, headless, as a newcomer first sees it: both programs log in,
# meet and chat, both screenshots show something (more than a few colours), and both
# programs end with exit code 0.
#   run-room-test.sh REPO_DIR WORK_DIR
set -uo pipefail
top=$1
export QUILLON_RUN_DIR=$2
unset DISPLAY

# Three free ports in a row: the server's and the two control panels'.
listening() {
    local hex
    awk 'NR > 1 && $4 == "0A" { split($2, a, ":"); print a[2] }' /proc/net/tcp /proc/net/tcp6 2>/dev/null |
        while read -r hex; do echo $((16#$hex)); done
}
taken=" $(listening | tr '\n' ' ') "
port=17700
while [[ $taken == *" $port "* || $taken == *" $((port + 1)) "* || $taken == *" $((port + 2)) "* ]]; do
    port=$((port + 3))
done
export QUILLON_PORT=$port

failures=0
check() {
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
colours() { convert "$1" -format %k info: 2>/dev/null || echo 0; }

rm -f "$QUILLON_RUN_DIR"/room-*.png
output=$("$top/scripts/run.sh" room 2>&1)
code=$?
echo "$output" | grep '^run.sh:'
check "the run command ends with code 0" test $code -eq 0
check "both programs logged out with exit code 0" grep -q "alice ended with code 0, bob with code 0" <<<"$output"
for name in alice bob; do
    shot=$QUILLON_RUN_DIR/room-$name.png
    check "$name's screenshot exists" test -s "$shot"
    check "$name's screenshot is not blank ($(colours "$shot") colours)" test "$(colours "$shot")" -gt 8
done
# The two Wine prefixes take gigabytes: they are kept only when something failed, to look into.
[ "$failures" -eq 0 ] && rm -rf "$QUILLON_RUN_DIR/wine-alice" "$QUILLON_RUN_DIR/wine-bob"
[ "$failures" -eq 0 ]
