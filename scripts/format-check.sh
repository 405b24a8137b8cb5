#!/usr/bin/env bash
# Checks that every C++ file of the project is laid out as .clang-format says;
# names the files that are not. `scripts/format-check.sh --fix` lays them out.
set -euo pipefail
command -v clang-format >/dev/null || { echo "format: clang-format is not installed"; exit 1; }
top=$(cd "$(dirname "$0")/.." && pwd)
mapfile -t files < <(git -C "$top" ls-files -- '*.cpp' '*.h' ':!third_party')
cd "$top"
if [ "${1:-}" = --fix ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
# One clang-format for all files; its complaints name the file first.
mapfile -t bad < <(clang-format --dry-run "${files[@]}" 2>&1 | sed -nE 's/^([^:]+):[0-9]+:[0-9]+: (warning|error):.*/\1/p' | sort -u)
if ((${#bad[@]})); then
    printf 'not formatted (scripts/format-check.sh --fix): %s\n' "${bad[@]}"
    exit 1
fi
echo "format: ${#files[@]} files checked"
