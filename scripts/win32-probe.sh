#!/usr/bin/env bash
# Finds out whether this host runs 32-bit Windows programs under Wine, by running the
# 32-bit loader: exit 0 when it can; otherwise exit 1 and one line saying why.
# Some kernels run 64-bit user code only: there the loader fails with "Exec format error".
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
loader=$(wine_loader_for win32)
if [ ! -x "$loader" ]; then
    echo "the 32-bit Wine loader $loader is not installed"
    exit 1
fi
if ! out=$("$loader" --version 2>&1 </dev/null); then
    first=$(head -n 1 <<<"$out")
    echo "this host cannot run 32-bit programs ($loader --version: ${first##*: })"
    exit 1
fi
