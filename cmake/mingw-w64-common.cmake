# The part of the mingw-w64 cross builds that the two Windows toolchains
# share; each sets VBS_MINGW_TRIPLET and CMAKE_SYSTEM_PROCESSOR, then
# includes this file.
set(CMAKE_SYSTEM_NAME Windows)

# Debian's plain mingw g++ uses the win32 thread model, which has no
# std::thread or std::mutex in GCC 12: name the -posix compilers.  The root
# CMakeLists links the C++ runtime statically, so the DLL needs system DLLs only.
set(CMAKE_C_COMPILER ${VBS_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VBS_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VBS_MINGW_TRIPLET}-windres)
# The Message Compiler for message-table sources (no CMake language of its own).
set(VBS_MC_COMPILER ${VBS_MINGW_TRIPLET}-windmc)

# Libraries, headers and packages of the target only; programs of the host.
set(CMAKE_FIND_ROOT_PATH /usr/${VBS_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs (and try_run) run under Wine through wine-run.sh, which keeps
# the Wine prefix in the build folder and silences Wine's debug channels.
# VBS_WINE_RUN_ARGS picks the loader for the pointer width.
set(CMAKE_CROSSCOMPILING_EMULATOR /bin/sh ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${VBS_WINE_RUN_ARGS})
