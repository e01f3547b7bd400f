# Cross build for 64-bit Windows with mingw-w64 (posix thread model).  Its
# test programs run under 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VBS_MINGW_TRIPLET x86_64-w64-mingw32)
set(VBS_WINE_RUN_ARGS "")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
