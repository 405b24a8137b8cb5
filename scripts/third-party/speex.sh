#!/usr/bin/env bash
# libspeex (BSD), static, floating point as Debian builds it for x86. Its sources are compiled
# directly, with the settings its configure script chooses for mingw-w64: running that script
# would cost more than the whole compile.
source "$(dirname "$0")/common.sh"

configure_options() {
    printf '%s\n' -O2 -Wall -DHAVE_CONFIG_H -Iinclude -Iinclude/speex -I.
}

# The library's sources, as libspeex/Makefile.am lists them without the psychoacoustic model.
speex_sources() {
    printf 'libspeex/%s.c\n' cb_search exc_10_32_table exc_8_128_table filters gain_table \
        hexc_table high_lsp_tables lsp ltp speex stereo vbr vq bits exc_10_16_table exc_20_32_table \
        exc_5_256_table exc_5_64_table gain_table_lbr hexc_10_32_table lpc lsp_tables_nb modes \
        modes_wb nb_celp quant_lsp sb_celp speex_callbacks speex_header window
}

build() {
    # What configure writes for this target: floating point, the small FFT, C99 arrays, and SSE
    # where the compiler has it by default (x86_64).
    local sse=()
    [ "$arch" = x86_64 ] && sse=(_USE_SSE)
    printf '#define %s\n' FLOATING_POINT USE_SMALLFT VAR_ARRAYS "${sse[@]}" EXPORT \
        'restrict __restrict__' >config.h
    sed -e 's/@INCLUDE_STDINT@/#include <stdint.h>/' -e 's/@SIZE16@/int16_t/' \
        -e 's/@USIZE16@/uint16_t/' -e 's/@SIZE32@/int32_t/' -e 's/@USIZE32@/uint32_t/' \
        include/speex/speex_config_types.h.in >include/speex/speex_config_types.h
    speex_sources | xargs -P "$jobs" -I{} "$cc" "${options[@]}" -c {} -o {}.o
    mkdir -p "$prefix/lib" "$prefix/include/speex"
    "$triple-ar" rcs "$prefix/lib/libspeex.a" libspeex/*.c.o
    cp include/speex/*.h "$prefix/include/speex/"
}

third_party_main speex "$@"
