#!/usr/bin/env bash
# libspeex (BSD), static, floating point as Debian builds it for x86.
source "$(dirname "$0")/common.sh"

configure_options() {
    printf '%s\n' --disable-shared --enable-static --disable-binaries --disable-dependency-tracking
}

build() {
    ./configure --prefix="$prefix" --host="$triple" CC="$cc" "${options[@]}"
    make -j"$jobs" -C libspeex install
    make -C include install
}

third_party_main speex "$@"
