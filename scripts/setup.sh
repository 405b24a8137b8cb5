#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build and the tests need.
# Idempotent: when every package is already there it only checks and returns.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
  wine wine32:i386 wine64
  xvfb x11-utils imagemagick giflib-tools
  cmake ninja-build googletest
  clang clang-format libclang-rt-14-dev libbenchmark-dev libssl-dev
  libopus-dev
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  missing=("${packages[@]}")
else
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed || missing+=("$p")
  done
fi

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
echo "setup: toolchain ready"
