#!/usr/bin/env bash
# openh264 (BSD), the encoder only, as one static library: decoding is FFmpeg's.
source "$(dirname "$0")/common.sh"

configure_options() {
    printf '%s\n' OS=mingw_nt "ARCH=${arch/i686/i386}" DECODER_OBJS= BUILDTYPE=Release
}

build() {
    make -j"$jobs" "${options[@]}" CC="$cc" CXX="$cxx" AR="$triple-ar" PREFIX="$prefix" \
        libopenh264.a
    mkdir -p "$prefix/lib" "$prefix/include/wels"
    cp libopenh264.a "$prefix/lib/"
    cp codec/api/wels/*.h "$prefix/include/wels/"
}

third_party_main openh264 "$@"
