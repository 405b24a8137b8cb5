#!/usr/bin/env bash
# The test command: installs what is missing, builds every tree and runs every test:
# native tests under ASan/UBSan, the threaded ones again under ThreadSanitizer, fuzz targets for a
# short while, Windows tests under Wine: the 64-bit tree always, the 32-bit tree where the host
# runs 32-bit programs (scripts/win32-probe.sh; elsewhere it is built and its tests are skipped).
# Ends with one summary line: "tests: N passed, N failed, N skipped".
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$top/scripts/setup.sh" || exit 1
"$top/scripts/build.sh" native tsan fuzz windows windows32 || { echo "tests: 0 passed, 1 failed"; exit 1; }

trees=(native tsan fuzz windows)
skipped=0
if why=$("$top/scripts/win32-probe.sh"); then
    trees+=(windows32)
else
    skipped=$(cd "$top/build/windows32" && ctest -N | sed -nE 's/^Total Tests: ([0-9]+)/\1/p')
    echo "== windows32 tests skipped ($skipped): $why"
fi

passed=0
failed=0
for tree in "${trees[@]}"; do
    log=$top/build/$tree/ctest.log
    echo "== $tree tests"
    (cd "$top/build/$tree" && ctest --output-on-failure -j "$jobs" --timeout 600) 2>&1 | tee "$log"
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
