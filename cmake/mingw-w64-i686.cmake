# Cross build for 32-bit Windows with mingw-w64 (posix thread model): the
# shipped vortBexScanner.dll.  Its programs cannot run on these machines (no
# 32-bit kernel support), so no emulator is set.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

# Debian's plain mingw g++ uses the win32 thread model, which has no
# std::thread or std::mutex in GCC 12: name the -posix compilers.  The root
# CMakeLists links the C++ runtime statically, so the DLL needs system DLLs only.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
# The Message Compiler for message-table sources (no CMake language of its own).
set(VBS_MC_COMPILER i686-w64-mingw32-windmc)

# Libraries, headers and packages of the target only; programs of the host.
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
