#!/usr/bin/env bash
# Configures and builds the build trees named on the command line (default: every tree
# the tests use).
#   build.sh [windows] [windows32] [native] [tsan] [fuzz] [bench]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
trees=("$@")
((${#trees[@]})) || trees=(windows windows32 native tsan fuzz)

# Sanitizer trees compile at -O1 with line tables only: the sanitizers' advice,
# and half the compile time of -O2 -g.
sanitized=("-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1")
# The Windows deliverables at -O2, as Windows programs ship: CMake's -O3 costs a fifth more
# compile time for code that waits on windows and the network.
release=("-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG")

for tree in "${trees[@]}"; do
    dir=$top/build/$tree
    case $tree in
    windows) args=(-DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-mingw64.cmake" -DCMAKE_BUILD_TYPE=Release "${release[@]}") ;;
    windows32) args=(-DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-mingw32.cmake" -DCMAKE_BUILD_TYPE=Release "${release[@]}") ;;
    native) args=(-DQUILLON_TREE=native -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc "${sanitized[@]}") ;;
    tsan) args=(-DQUILLON_TREE=native -DQUILLON_SANITIZE=thread -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc "${sanitized[@]}") ;;
    fuzz) args=(-DQUILLON_TREE=fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang) ;;
    bench) args=(-DQUILLON_TREE=native -DQUILLON_SANITIZE=none -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc) ;;
    *) echo "build.sh: unknown tree '$tree'" >&2; exit 2 ;;
    esac
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$top" -B "$dir" -G Ninja "${args[@]}" >/dev/null
    fi
    echo "build: $tree"
    cmake --build "$dir"
done
