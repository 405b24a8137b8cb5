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
  dpkg-dev nasm pkg-config ffmpeg libavcodec-dev libswscale-dev libspeex-dev libopenh264-dev
  libavformat-dev libswresample-dev libavutil-dev
  libopus-dev pulseaudio pulseaudio-utils sox espeak-ng libpulse-dev
  osslsigncode
)

# The codec libraries are cross-built from Debian's source packages (scripts/third-party/):
# `apt-get source` needs deb-src lines beside the binary ones.
sources_changed=0
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -E 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      >/etc/apt/sources.list.d/quillon-src.sources
  else
    sed -nE 's/^deb (.*)/deb-src \1/p' /etc/apt/sources.list >/etc/apt/sources.list.d/quillon-src.list
  fi
  sources_changed=1
fi

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
elif ((sources_changed)); then
  apt-get update -qq
fi
echo "setup: toolchain ready"
