# Cross build for 64-bit Windows with mingw-w64 (posix thread model).
# Its test programs run under 64-bit Wine through wine-run.sh, which CTest
# (and try_run) use as the emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# Debian's plain mingw g++ uses the win32 thread model, which has no
# std::thread or std::mutex in GCC 12: name the -posix compilers.  The root
# CMakeLists links the C++ runtime statically, so the DLL needs system DLLs only.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
# The Message Compiler for message-table sources (no CMake language of its own).
set(VBS_MC_COMPILER x86_64-w64-mingw32-windmc)

# Libraries, headers and packages of the target only; programs of the host.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under 64-bit Wine; the wrapper keeps the Wine prefix in
# the build folder and silences Wine's debug channels.
set(CMAKE_CROSSCOMPILING_EMULATOR /bin/sh ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
