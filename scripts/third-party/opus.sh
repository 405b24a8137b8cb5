#!/usr/bin/env bash
# libopus (BSD), static, with its run-time choice of SSE/AVX code paths.
source "$(dirname "$0")/common.sh"

configure_options() {
    # The stack protector would need libssp beside every program that links it.
    printf '%s\n' --disable-shared --enable-static --disable-doc --disable-extra-programs \
        --enable-intrinsics --enable-rtcd --disable-stack-protector
}

build() {
    ./configure --prefix="$prefix" --host="$triple" CC="$cc" "${options[@]}"
    # Configure adds fortified string calls, whose checks live in libssp as well.
    sed -i 's/-D_FORTIFY_SOURCE=2//g' Makefile
    make -j"$jobs" install
}

third_party_main opus "$@"
