#!/usr/bin/env bash
# FFmpeg (LGPL, shared DLLs): the H.264, H.263 and MJPEG decoders, the H.263 encoder, their
# parsers, swscale and swresample; Windows threads, x86 assembly on. Linked with -static so that
# the DLLs need no compiler runtime DLL beside them.
source "$(dirname "$0")/common.sh"

configure_options() {
    printf '%s\n' --enable-shared --disable-static --disable-autodetect \
        --disable-programs --disable-doc --disable-debug \
        --disable-avdevice --disable-avformat --disable-avfilter --disable-postproc \
        --disable-network --enable-w32threads --disable-pthreads \
        --disable-everything \
        --enable-decoder=h264,h263,h263p,mjpeg --enable-encoder=h263 \
        --enable-parser=h264,h263,mjpeg \
        --enable-swscale --enable-swresample
}

build() {
    ./configure --prefix="$prefix" --enable-cross-compile --target-os=mingw32 --arch="$arch" \
        --cross-prefix="$triple-" --cc="$cc" --cxx="$cxx" --extra-ldflags=-static "${options[@]}"
    make -j"$jobs" install
}

third_party_main ffmpeg "$@"
