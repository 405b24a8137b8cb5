#!/usr/bin/env bash
# The test command: installs what is missing, builds every tree and runs every test:
# native tests under ASan/UBSan, the threaded ones again under ThreadSanitizer, fuzz targets for a
# short while, Windows tests under Wine: the 64-bit tree always, the 32-bit tree where the host
# runs 32-bit programs (scripts/win32-probe.sh; elsewhere it is built and its tests are skipped).
# The Windows tests spend most of their time waiting on the programs they drive, so they run
# while the 32-bit tree builds and the native trees' tests run, and the two Windows trees' tests
# run side by side.
# Ends with one summary line: "tests: N passed, N failed, N skipped".
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$top/scripts/setup.sh" || exit 1
"$top/scripts/build.sh" native tsan fuzz windows || { echo "tests: 0 passed, 1 failed"; exit 1; }

# Runs one tree's tests into build/<tree>/ctest.log, at a lower priority when a niceness is given.
# Tests labelled "realtime" hear sound in real time: they wait for run_realtime.
#   run_tree TREE [NICENESS]
run_tree() {
    (cd "$top/build/$1" && nice -n "${2:-0}" ctest --output-on-failure -j "$jobs" --timeout 600 -LE realtime) \
        >"$top/build/$1/ctest.log" 2>&1
}
# Runs one tree's realtime tests alone, into build/<tree>/ctest-realtime.log.
run_realtime() {
    (cd "$top/build/$1" && ctest --output-on-failure --timeout 600 -L realtime) >"$top/build/$1/ctest-realtime.log" 2>&1
}

# What runs beside the Windows tests runs at a lower priority, so that the programs they
# drive answer within their tests' bounds even on two cores.
run_tree windows &
background=($!)
nice -n 10 "$top/scripts/build.sh" windows32
built32=$?
trees=(native tsan fuzz windows)
skipped=0
if [ "$built32" -ne 0 ]; then
    echo "== windows32 did not build"
elif why=$("$top/scripts/win32-probe.sh"); then
    # Its own Wine prefixes and display: it runs beside the 64-bit tree's tests.
    run_tree windows32 &
    background+=($!)
    trees+=(windows32)
else
    skipped=$(cd "$top/build/windows32" && ctest -N | sed -nE 's/^Total Tests: ([0-9]+)/\1/p')
    echo "== windows32 tests skipped ($skipped): $why"
fi
for tree in native tsan fuzz; do run_tree "$tree" 10; done
wait "${background[@]}"
logs=()
for tree in "${trees[@]}"; do logs+=("$top/build/$tree/ctest.log"); done
for tree in "${trees[@]}"; do
    case $tree in windows*) run_realtime "$tree"; logs+=("$top/build/$tree/ctest-realtime.log") ;; esac
done

passed=0
failed=$built32
[ "$failed" -eq 0 ] || failed=1
for log in "${logs[@]}"; do
    echo "== ${log#"$top/build/"}"
    cat "$log"
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        if grep -q 'No tests were found' "$log"; then continue; fi
        failed=$((failed + 1))
        continue
    fi
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
done

echo "tests: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
