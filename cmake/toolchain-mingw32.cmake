# 32-bit Windows binaries (i686): the windows32 tree.
set(QUILLON_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
