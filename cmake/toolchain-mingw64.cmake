# 64-bit Windows binaries (x86_64): the windows tree.
set(QUILLON_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
