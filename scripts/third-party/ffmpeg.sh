#!/usr/bin/env bash
# FFmpeg (LGPL, shared DLLs), built once for every user:
# - the codec libraries: the H.264, H.263 and MJPEG decoders, the H.263 encoder, their parsers;
# - the media library's recorder: the mp4 muxer with the mpeg4 and aac encoders;
# - the media library's movie player: the demuxers, decoders and parsers of common movie files
#   (mp4/mov, avi, asf/wmv, mkv, flv, MPEG-PS/TS, wav, mp3, ogg), reading local files only;
# swscale and swresample; Windows threads, x86 assembly on. No GPL part and no network. Linked
# with -static so that the DLLs need no compiler runtime DLL beside them.
source "$(dirname "$0")/common.sh"

configure_options() {
    printf '%s\n' --enable-shared --disable-static --disable-autodetect \
        --disable-programs --disable-doc --disable-debug \
        --disable-avdevice --disable-avfilter --disable-postproc \
        --disable-network --enable-w32threads --disable-pthreads \
        --disable-everything \
        --enable-avformat --enable-protocol=file \
        --enable-muxer=mp4 --enable-encoder=h263,mpeg4,aac \
        --enable-demuxer=mov,avi,asf,matroska,flv,mpegps,mpegts,wav,mp3,ogg \
        --enable-decoder=h264,h263,h263p,mjpeg,mpeg4,msmpeg4v2,msmpeg4v3,wmv1,wmv2,mpeg1video,mpeg2video,flv \
        --enable-decoder=aac,mp3float,mp2float,wmav1,wmav2,vorbis,pcm_s16le,pcm_s16be,pcm_u8 \
        --enable-parser=h264,h263,mjpeg,mpeg4video,mpegvideo,aac,mpegaudio,vorbis \
        --enable-swscale --enable-swresample
}

build() {
    ./configure --prefix="$prefix" --enable-cross-compile --target-os=mingw32 --arch="$arch" \
        --cross-prefix="$triple-" --cc="$cc" --cxx="$cxx" --extra-ldflags=-static "${options[@]}"
    make -j"$jobs" install
}

third_party_main ffmpeg "$@"
