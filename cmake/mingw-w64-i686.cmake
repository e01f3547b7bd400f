# Cross build for 32-bit Windows with mingw-w64 (posix thread model): the
# shipped vortBexScanner.dll.  These machines cannot execute 32-bit x86 code,
# so its test programs run under Wine's 32-bit loader emulated by qemu-i386
# (scripts/wine32.sh sets that up).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(VBS_MINGW_TRIPLET i686-w64-mingw32)
set(VBS_WINE_RUN_ARGS --i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
