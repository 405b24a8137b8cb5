#!/usr/bin/env bash
# libopus (BSD), static, with its run-time choice of SSE/AVX code paths. Built by its own CMake
# project: its autotools configure alone cost more than the whole compile.
source "$(dirname "$0")/common.sh"

configure_options() {
    # The stack protector would need libssp beside every program that links it.
    printf '%s\n' -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DOPUS_STACK_PROTECTOR=OFF \
        -DOPUS_BUILD_PROGRAMS=OFF -DBUILD_TESTING=OFF -DOPUS_INSTALL_PKG_CONFIG_MODULE=OFF
}

build() {
    # The release tarball leaves out this file, which only picks a default build type.
    [ -f opus_buildtype.cmake ] || : >opus_buildtype.cmake
    cmake -S . -B build -G Ninja -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR="$arch" \
        -DCMAKE_C_COMPILER="$cc" -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}"
    cmake --build build -j "$jobs"
    cmake --install build
}

third_party_main opus "$@"
